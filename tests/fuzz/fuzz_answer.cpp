// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes from the phone through the answer clean-up.
#include "phone_link/at_exchange.h"

#include <QRegularExpression>

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
    // A bare final code, in its framing of spaces and CR LF, is returned as it is.
    static const QRegularExpression bare(
        QRegularExpression::anchoredPattern(QStringLiteral(" *(?:\r\n)?(OK|ERROR)(?:\r\n)? *")));
    const QRegularExpressionMatch match = bare.match(answer);
    if (match.hasMatch() && cleaned != match.captured(1))
        std::abort();
    return 0;
}
