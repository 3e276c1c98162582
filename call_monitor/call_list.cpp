// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_list.h"

#include <QStringList>

#include <optional>

namespace {

struct ListedCall
{
    int index = 0;
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
    return ListedCall{values[0], dir == 0, stat};
}

} // namespace

CallList readCallList(const QStringList &lines)
{
    CallList list;
    bool ringing = false;
    bool answered = false;
    for (const QString &line : lines) {
        const std::optional<ListedCall> call = readListedCall(line);
        if (!call)
            continue;
        if (!call->outgoing) {
            list.anotherRings = list.anotherRings || call->stat == 4 || call->stat == 5;
            continue;
        }
        list.ownIndex = call->index;
        answered = answered || call->stat == 0 || call->stat == 1;
        ringing = ringing || call->stat == 2 || call->stat == 3;
    }
    list.progress = answered  ? CallBackProgress::Answered
                    : ringing ? CallBackProgress::Ringing
                              : CallBackProgress::Gone;
    return list;
}
