// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_line_reader.h"

#include "sim_log.h"

#include <utility>

namespace {
constexpr qsizetype kMaxLineLength = 1024;
}

std::optional<QByteArray> SimLineReader::take(char c)
{
    if (c == '\r') {
        const bool discarded = std::exchange(m_discarding, false);
        QByteArray line = std::exchange(m_line, {});
        if (discarded)
            return std::nullopt;
        return line;
    }
    if (c == '\n' || c == '\0' || m_discarding)
        return std::nullopt;
    if (c == '\b') {
        m_line.chop(1);
    } else if (m_line.size() >= kMaxLineLength) {
        qCWarning(lcPhoneSim) << "command line longer than" << kMaxLineLength << "bytes; discarded";
        m_line.clear();
        m_discarding = true;
    } else {
        m_line.append(c);
    }
    return std::nullopt;
}

void SimLineReader::clear()
{
    m_line.clear();
    m_discarding = false;
}

std::optional<QByteArray> SimLineReader::commandLine(const QByteArray &line)
{
    // Only ASCII letters change case, so the positions in the copy are those of the line.
    const qsizetype at = line.toUpper().indexOf("AT");
    if (at < 0) {
        if (!line.trimmed().isEmpty())
            qCDebug(lcPhoneSim).noquote() << simStamp() << "ignoring" << simPrintable(line);
        return std::nullopt;
    }
    return line.mid(at);
}
