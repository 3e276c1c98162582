// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary answers to "+CPBR=1" through the caller lookup's parsing and the event line's fields,
// and the same text as the caller line that comes with a ring.
#include "phone_link/caller_entry.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString answer =
        QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<CallerEntry> entry = readCallerEntry(answer);
    const qsizetype quotes = answer.count(u'"');
    if (entry.has_value() != (quotes >= 2))
        std::abort();
    if (entry) {
        // Number and name are what lies inside quotes, never a quote themselves.
        if (entry->number.contains(u'"') || entry->name.contains(u'"'))
            std::abort();
        if (!entry->name.isEmpty() && quotes < 4)
            std::abort();
        if (fitField(entry->number, 15).size() != 15 || fitField(entry->name, 15).size() != 15)
            std::abort();
        if (isDialable(entry->number)) {
            for (const QChar c : entry->number)
                if (!(c.isDigit() || c == u'+' || c == u'*' || c == u'#'))
                    std::abort();
        }
    }

    const std::optional<CallerEntry> caller = readCallerLine(QStringLiteral("+CLIP: ") + answer);
    if (caller) {
        if (caller->number.isEmpty() || fitField(caller->name, 15).size() != 15)
            std::abort();
        // Whether two numbers are one does not depend on which is asked about first.
        if (entry && isSameNumber(entry->number, caller->number) !=
                         isSameNumber(caller->number, entry->number))
            std::abort();
    }
    return 0;
}
