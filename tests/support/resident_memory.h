// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How much memory a process holds, as the kernel counts it: for the tests that watch the
// program's memory under a flood, and for the bench's figures.

#include <QByteArray>
#include <QFile>
#include <QString>

/// Resident memory in KiB of this process, or of the process `pid`; -1 if unknown.
inline long residentKb(qint64 pid = 0)
{
    QFile status(pid == 0 ? QStringLiteral("/proc/self/status")
                          : QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}
