// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One call as it is recorded outside the window: the moment its event line was listed, in
// ISO 8601 with the UTC offset, and the line itself on one line. The journal (logging category
// tornasquillo.calls) and the file of --log both take this record.

#include <QDateTime>
#include <QString>

struct CallRecord
{
    /// The record of an event line listed at `when`.
    static CallRecord of(const QString &line, const QDateTime &when);

    /// "2026-12-08T12:43:23+01:00": the offset is always written out ("+00:00" rather than
    /// "Z"), so every record reads the same way whatever zone the machine is set to.
    QString stamp;
    /// The event line with each control character turned into a space.
    QString line;
    /// The moment itself, for a view that shows it in its own way.
    QDateTime when;
};

/// Writes the record to the journal: standard error, after the moment, through the logging
/// category tornasquillo.calls.
void journalCall(const CallRecord &record);

/// The text with each control character turned into a space. A record of a call is one line,
/// and so is what the desktop is told of it: the name cut from a malformed phonebook answer can
/// hold the CR LF of the next entry, which would split the record or forge a second one.
QString onOneLine(QString text);
