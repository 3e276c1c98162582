// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_log.h"

#include "log_file.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCallLog, "tornasquillo.calllog", QtInfoMsg)

CallLog::CallLog(LogFile &file) : m_file(file) {}

bool CallLog::open(QString *reason)
{
    return m_file.open(reason);
}

void CallLog::record(const QString &stamp, const QString &line)
{
    QByteArray bytes;
    if (m_cut)
        bytes += '\n';
    bytes += stamp.toUtf8();
    bytes += '\t';
    bytes += line.toUtf8();
    bytes += '\n';

    QString reason;
    if (!m_file.isOpen() && !m_file.open(&reason)) {
        failed(reason);
        return;
    }
    const LogFile::Written written = m_file.append(bytes);
    if (written.bytes > 0)
        m_cut = written.bytes < bytes.size();
    if (!written.failure.isEmpty()) {
        // Reopened at the next line: a medium that comes back is a new file under the same path.
        m_file.close();
        failed(written.failure);
        return;
    }
    if (m_missed > 0) {
        qCInfo(lcCallLog).noquote()
            << QCoreApplication::translate(
                   "CallLog", "the call log %1 is written again; %2 call(s) may be missing from it")
                   .arg(m_file.path())
                   .arg(m_missed);
        m_missed = 0;
    }
}

void CallLog::failed(const QString &reason)
{
    if (m_missed++ == 0) {
        qCWarning(lcCallLog).noquote()
            << QCoreApplication::translate(
                   "CallLog", "cannot write the call log %1: %2; the calls are still listed in "
                              "the window and the journal, and the file is tried again at the "
                              "next call")
                   .arg(m_file.path(), reason);
    }
}
