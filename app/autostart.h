// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Start at login. --autostart writes an XDG autostart entry, $XDG_CONFIG_HOME/autostart/ (else
// ~/.config/autostart/), that starts this program with the other options of the same command
// line; --no-autostart removes it. Only the user who runs the command gets an entry: the package
// installs none.

#include <QCommandLineOption>
#include <QCoreApplication>
#include <QStringList>

class QCommandLineParser;
class QTextStream;

class Autostart
{
    Q_DECLARE_TR_FUNCTIONS(Autostart)

public:
    /// The program's desktop id: its desktop entry's name, and the autostart entry's.
    static constexpr const char *kDesktopId = "org.example.tornasquillo";

    Autostart();

    /// --autostart and --no-autostart.
    QList<QCommandLineOption> options() const { return {m_write, m_remove}; }

    /// Writes the entry for `command` (the program, then its arguments) with --autostart, or
    /// removes it with --no-autostart, and tells `out` which file; the exit status. A failure is
    /// told in *error.
    int run(const QCommandLineParser &parser, const QStringList &command, QTextStream &out,
            QString *error) const;

private:
    /// Where the entry goes.
    static QString entryPath();
    /// The entry that runs `command`.
    static QString entryText(const QStringList &command);
    /// Exec's value for `command`: arguments quoted and escaped as desktop entries quote them,
    /// so that each comes back to the program as it was given.
    static QString execValue(const QStringList &command);

    QCommandLineOption m_write;
    QCommandLineOption m_remove;
};
