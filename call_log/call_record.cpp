// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_record.h"

#include <QDateTime>
#include <QLoggingCategory>

#include <cstdlib>

// One line per call, for the journal of a desktop session or of systemd --user.
Q_LOGGING_CATEGORY(lcCalls, "tornasquillo.calls", QtInfoMsg)

namespace {

QString isoStamp(const QDateTime &when)
{
    const int offsetMinutes = when.offsetFromUtc() / 60;
    const int minutes = std::abs(offsetMinutes);
    return when.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) +
           QString::asprintf("%c%02d:%02d", offsetMinutes < 0 ? '-' : '+', minutes / 60,
                             minutes % 60);
}

} // namespace

QString onOneLine(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return text;
}

CallRecord CallRecord::of(const QString &line, const QDateTime &when)
{
    return {isoStamp(when), onOneLine(line), when};
}

void journalCall(const CallRecord &record)
{
    qCInfo(lcCalls).noquote() << record.stamp << record.line;
}
