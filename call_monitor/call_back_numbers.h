// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which numbers the responder calls back. The caller's number comes from the phone, that is from
// whoever rang, and a call-back is an outgoing call that the operator pays for: one-ring scams
// ring once from foreign or premium-rate numbers precisely so that they are called back. So the
// number is judged before every dial:
// - it must be a number a person can be called on: digits, with an optional leading "+". A "*"
//   or "#" makes ATD a supplementary-service code (call forwarding, for one), not a call;
// - it is never an emergency number or a public help line: an automatic call to one is a false
//   alarm, and takes the line from someone who needs it;
// - it is at most 15 digits long, as every phone number is;
// - by default it is an ordinary Italian number, mobile (3 and 8 to 10 digits) or geographic
//   (0, then 1 to 9, and 4 to 9 more digits), written nationally, with +39 or with 0039. The
//   operator's own list of prefixes (--call-back-to) replaces that, and "any" takes every number
//   made of digits.

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

class CallBackNumbers
{
    Q_DECLARE_TR_FUNCTIONS(CallBackNumbers)

public:
    /// What --call-back-to takes instead of prefixes: every number made of digits.
    static constexpr QStringView kAny = u"any";

    enum class Verdict {
        Allowed,
        NotANumber, ///< holds more than digits and a leading "+": never dialled
        Emergency,  ///< an emergency or public help line: never dialled
        TooLong,    ///< more digits than a phone number has (15): never dialled
        NotListed   ///< a number, but not one the responder calls back; --call-back-to adds it
    };
    struct Judgement
    {
        Verdict verdict = Verdict::Allowed;
        /// For NotListed: what kind of number it is ("foreign", "premium-rate...").
        QString kind;
    };

    /// The default: ordinary Italian numbers.
    CallBackNumbers() = default;
    /// From --call-back-to's value: "any", or prefixes in international form separated by commas
    /// ("+393,+390,+41"; a whole number is a prefix too). nullopt, with *error saying why, for
    /// anything else.
    static std::optional<CallBackNumbers> fromOption(const QString &value, QString *error);

    Judgement judge(const QString &number) const;
    /// The option's value that gives these numbers again; empty for the default.
    QString option() const;

private:
    enum class Kind { ItalianOrdinary, Any, Prefixes };

    Kind m_kind = Kind::ItalianOrdinary;
    QStringList m_prefixes;
};
