// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes from the phone through the answer clean-up.
#include "at_exchange.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString answer =
        QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    QString inOut = answer;
    const QString cleaned = ForDat(inOut);
    // The clean-up only ever removes characters, and returns what it left in place.
    if (cleaned != inOut || cleaned.size() > answer.size() || !answer.contains(cleaned))
        std::abort();
    // A bare final code is returned as it is.
    if ((cleaned == u"OK" || cleaned == u"ERROR") && !answer.contains(cleaned))
        std::abort();
    return 0;
}
