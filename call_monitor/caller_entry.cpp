// SPDX-License-Identifier: GPL-3.0-or-later
#include "caller_entry.h"

namespace {

/// One-based position of the first double quote at or after one-based position `from`; 0 if none.
qsizetype quoteFrom(const QString &text, qsizetype from)
{
    const qsizetype index = text.indexOf(u'"', std::max<qsizetype>(from, 1) - 1);
    return index < 0 ? 0 : index + 1;
}

} // namespace

std::optional<CallerEntry> readCallerEntry(const QString &answer)
{
    const qsizetype q1 = quoteFrom(answer, 1) + 1;
    const qsizetype q2 = q1 > 1 ? quoteFrom(answer, q1) : 0;
    if (q2 == 0)
        return std::nullopt;

    CallerEntry entry;
    entry.number = answer.mid(q1 - 1, q2 - q1);
    const qsizetype third = quoteFrom(answer, q2 + 1);
    const qsizetype q3 = third + 1;
    const qsizetype q4 = third > 0 ? quoteFrom(answer, q3) : 0;
    if (q4 > 0)
        entry.name = answer.mid(q3 - 1, q4 - q3);
    return entry;
}

QString fitField(const QString &text, qsizetype width)
{
    if (text.size() >= width)
        return text.left(width);
    return text + QString(width - text.size(), u' ');
}

bool isDialable(const QString &number)
{
    if (number.isEmpty())
        return false;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number[i];
        const bool ok = (c >= u'0' && c <= u'9') || c == u'*' || c == u'#' || (c == u'+' && i == 0);
        if (!ok)
            return false;
    }
    return number != u"+";
}
