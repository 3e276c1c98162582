// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>

// How the phone hears its line: characters gather until a CR ends a command line, a backspace
// takes the last one back, line feeds and NULs are ignored, and a line too long for the phone's
// buffer is thrown away whole. What comes before the "AT" of a line is noise; what follows it is
// the command line, echoed back as it came in.
class SimLineReader
{
public:
    /// The line that `c` ends, if it ends one that was not thrown away.
    std::optional<QByteArray> take(char c);
    void clear();

    /// The command line that starts at the first "AT" (in any case) of `line`, if there is one.
    static std::optional<QByteArray> commandLine(const QByteArray &line);
    /// What the phone sends back for a command line while echo is on.
    static QByteArray echo(const QByteArray &commandLine) { return commandLine + '\r'; }

private:
    QByteArray m_line;
    bool m_discarding = false;
};
