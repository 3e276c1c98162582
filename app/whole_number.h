// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A whole number typed by a person: an option's value on the command line, or an argument of
// the simulated phone's script. Nothing of the phone's answers is read with it.

#include <QString>

#include <optional>

/// `text` as a whole number from `minimum` to `maximum`; nullopt for anything else.
inline std::optional<int> wholeNumber(const QString &text, int minimum, int maximum)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (!isNumber || number < minimum || number > maximum)
        return std::nullopt;
    return number;
}
