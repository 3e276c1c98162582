// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_back_hold.h"

#include <QStringList>

#include <optional>

namespace {

struct ListedCall
{
    bool outgoing = false;
    int stat = 0;
};

/// One +CLCC line; nullopt when it is not one.
std::optional<ListedCall> readListedCall(QStringView line)
{
    constexpr QStringView kPrefix = u"+CLCC:";
    if (!line.startsWith(kPrefix))
        return std::nullopt;
    const QList<QStringView> fields = line.sliced(kPrefix.size()).split(u',');
    if (fields.size() < 5)
        return std::nullopt;
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = fields[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const int dir = values[1];
    const int stat = values[2];
    if (dir < 0 || dir > 1 || stat < 0 || stat > 5)
        return std::nullopt;
    return ListedCall{dir == 0, stat};
}

} // namespace

CallBackProgress readCallList(const QString &answer)
{
    if (answer == u"OK")
        return CallBackProgress::Gone;
    bool ringing = false;
    bool answered = false;
    bool any = false;
    for (const QStringView line : QStringView(answer).split(u"\r\n", Qt::SkipEmptyParts)) {
        const std::optional<ListedCall> call = readListedCall(line);
        if (!call)
            return CallBackProgress::Unknown;
        any = true;
        if (!call->outgoing)
            continue;
        answered = answered || call->stat == 0 || call->stat == 1;
        ringing = ringing || call->stat == 2 || call->stat == 3;
    }
    if (!any)
        return CallBackProgress::Unknown;
    if (answered)
        return CallBackProgress::Answered;
    return ringing ? CallBackProgress::Ringing : CallBackProgress::Gone;
}
