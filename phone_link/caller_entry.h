// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the phone's answers say of a caller: an entry of its missed-call list (+CPBR) and the
// caller line that comes with the rings (+CLIP), read by one rule for the monitor and the phone
// check alike; and what may be done with the number (dialled, lined up in the event line).

#include <QString>

#include <optional>

/// The caller as the phone's missed-call list gives it.
struct CallerEntry
{
    /// Numbering type of an international number (3GPP TS 24.008): the country code is part of
    /// the number whether or not a "+" stands before it.
    static constexpr int kInternational = 145;

    QString number;
    QString name;
    /// The numbering type after the number (129 national, 145 international); 0 when the answer
    /// gives none.
    int type = 0;
};

/// Cuts number, type and name out of an answer to "+CPBR=1" such as
/// +CPBR: 1,"+393331234567",145,"Mario Rossi": the number lies between the first pair of double
/// quotes, the type is the field after it, and the name lies between the second pair. Without a
/// first pair there is no number and the lookup has failed (nullopt); without a second pair the
/// name is empty.
std::optional<CallerEntry> readCallerEntry(const QString &answer);

/// The number to dial for a caller: as listed, with a "+" put before an international number
/// that some phones (Sony Ericsson ones, oFono's phone simulator) list without it. Dialled as
/// listed, "393331234567" would be taken for a national number.
QString numberToDial(const CallerEntry &entry);

/// Left-aligns a text in a field of `width` characters: pads with spaces or cuts it.
QString fitField(const QString &text, qsizetype width);

/// Whether a number can go into a dial command as a call: digits, and '+' only as its first
/// character. Anything else would make the dial something other than a call to a person: '*' and
/// '#' a supplementary-service code (call forwarding, say), ',' a pause before more digits, and
/// letters, ';', CR or another "AT" would put text or commands of the caller's choosing on the
/// line.
bool isDialable(const QString &number);

/// The caller as a caller line that came with the rings gives it:
/// +CLIP: "<number>",<type>[,<subaddress>,<subaddress type>[,<name>[,<validity>]]]. The name is
/// the fifth field when it is there and quoted. A withheld number ("" or no quotes) gives none.
std::optional<CallerEntry> readCallerLine(const QString &line);

/// Whether a caller line says that the number is withheld or not available: CLI validity 1
/// (withheld by the caller) or 2 (not available from the network), or an empty number of type
/// 128 (unknown) where the phone gives no validity.
bool isWithheldCallerLine(const QString &line);

/// Whether two numbers reach the same phone, as a person reading them would tell:
/// +393331234567, 00393331234567 and 3331234567 are one number. Only digits are compared, with
/// the international or trunk prefix ("+", "00", "0") left out and the country code allowed to
/// be missing from one of them; texts that are not numbers are the same only when equal.
bool isSameNumber(const QString &a, const QString &b);
