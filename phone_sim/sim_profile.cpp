// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_profile.h"

namespace {

// The result codes that V0 sends as numbers (V.250); the others stay words.
int numericCode(const QByteArray &code)
{
    static const QByteArrayList kCodes{"OK", "CONNECT",     "RING", "NO CARRIER", "ERROR",
                                       "",   "NO DIALTONE", "BUSY", "NO ANSWER"};
    return code.isEmpty() ? -1 : int(kCodes.indexOf(code));
}

} // namespace

QByteArray SimProfile::info(const QByteArrayList &lines) const
{
    if (lines.isEmpty())
        return {};
    // V1 frames information text with CR LF on both sides, V0 only ends it with one.
    return (verbose ? QByteArray("\r\n") : QByteArray()) + lines.join("\r\n") + "\r\n";
}

QByteArray SimProfile::resultCode(const QByteArray &code) const
{
    if (quiet)
        return {};
    if (verbose)
        return "\r\n" + code + "\r\n";
    const int number = numericCode(code);
    return number >= 0 ? QByteArray::number(number) + '\r' : code + "\r\n";
}
