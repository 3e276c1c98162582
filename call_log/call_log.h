// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The record of calls on disk (--log FILE). The window hands over each event line it lists,
// with the moment it was logged; the log appends "moment TAB line LF" to the file, one write and
// one sync a line. A file that stops taking lines (a full disk, a removed medium) is reported
// once; the window and the journal go on listing the calls, and every later line tries the file
// again, reopening it, until one is written and the log says so.

#include <QString>

class LogFile;

class CallLog
{
public:
    explicit CallLog(LogFile &file);

    /// Opens the file at start-up; false, with the reason, when it cannot be opened.
    bool open(QString *reason);
    /// Appends one record. stamp and line must be free of line breaks.
    void record(const QString &stamp, const QString &line);

private:
    void failed(const QString &reason);

    LogFile &m_file;
    /// Records that did not reach the file since the last one that did.
    int m_missed = 0;
    /// The last record reached the file only in part: the next one starts with a line break so
    /// it stands on a line of its own.
    bool m_cut = false;
};
