// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

/// The caller as the phone's missed-call list gives it.
struct CallerEntry
{
    QString number;
    QString name;
};

/// Cuts number and name out of an answer to "+CPBR=1" such as
/// +CPBR: 1,"+393331234567",145,"Mario Rossi": the number lies between the first pair of double
/// quotes and the name between the second pair. Without a first pair there is no number and
/// the lookup has failed (nullopt); without a second pair the name is empty.
std::optional<CallerEntry> readCallerEntry(const QString &answer);

/// Left-aligns a text in a field of `width` characters: pads with spaces or cuts it.
QString fitField(const QString &text, qsizetype width);

/// Whether a number can go into a dial command as it stands: digits, '*' and '#', and '+' only
/// as its first character. Anything else (letters, ';', CR, another "AT") would let the phone's
/// answer put its own text or commands onto the line.
bool isDialable(const QString &number);
