// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_back_numbers.h"

#include "phone_link/caller_entry.h"

#include <algorithm>

namespace {

constexpr QStringView kItaly = u"+39";

// Italy's emergency and public help lines, in their national form: the emergency services, the
// child emergency line (114), the environmental (1515), anti-violence (1522) and coast guard (1530)
// lines; and the European help lines of 116, each six digits (116000, 116117...). GSM phones also
// take 112 and 911 as an emergency call whatever the network, and, without a SIM, 000, 08, 110,
// 118, 119 and 999: those are refused as dialled, whatever the options.
constexpr QStringView kItalianEmergency[] = {u"112", u"113",  u"114",  u"115", u"117",
                                             u"118", u"1515", u"1522", u"1530"};
constexpr QStringView kEuropeanHelpLines = u"116";
constexpr qsizetype kEuropeanHelpLineSize = 6;
/// E.164: a number is at most 15 digits, its country code included.
constexpr qsizetype kMaxDigits = 15;
constexpr QStringView kHandsetEmergency[] = {u"112", u"911", u"000", u"08",
                                             u"110", u"118", u"119", u"999"};

/// What an Italian number that is neither mobile nor geographic is, by its first digit.
struct ItalianRange
{
    char16_t first;
    const char *kind;
};
constexpr ItalianRange kItalianRanges[] = {
    {u'1', QT_TRANSLATE_NOOP("CallBackNumbers", "short code or directory service")},
    {u'4', QT_TRANSLATE_NOOP("CallBackNumbers", "network service number")},
    {u'7', QT_TRANSLATE_NOOP("CallBackNumbers", "internet access number")},
    {u'8', QT_TRANSLATE_NOOP("CallBackNumbers", "free, shared-cost or premium-rate number")},
};

/// A number made of digits in international form: "+" kept, "00" made "+", and +39 put before a
/// national number. Anything that is not digits with an optional "+" is returned as it is.
QString international(const QString &number)
{
    if (!isDialable(number) || number.startsWith(u'+'))
        return number;
    if (number.startsWith(u"00"))
        return u'+' + number.sliced(2);
    return kItaly.toString() + number;
}

bool isPrefix(QStringView text)
{
    return text.size() >= 2 && text.startsWith(u'+') && isDialable(text.toString());
}

/// Mobile numbers are 3 and 8 to 10 digits, geographic ones 0, a digit from 1 to 9 (an area's
/// code never starts 00), and 4 to 9 more digits.
bool isOrdinaryItalian(QStringView national)
{
    const qsizetype size = national.size();
    if (national.startsWith(u'3'))
        return size >= 9 && size <= 11;
    if (national.startsWith(u'0'))
        return size >= 6 && size <= 11 && national[1] >= u'1' && national[1] <= u'9';
    return false;
}

/// The kind of a number that is not an ordinary Italian one; empty for an ordinary Italian one.
QString kindOutsideDefault(const QString &e164)
{
    if (!e164.startsWith(kItaly))
        return CallBackNumbers::tr("foreign");
    const QStringView national = QStringView(e164).sliced(kItaly.size());
    if (isOrdinaryItalian(national))
        return QString();
    for (const ItalianRange &range : kItalianRanges) {
        if (national.startsWith(range.first))
            return CallBackNumbers::tr(range.kind);
    }
    return CallBackNumbers::tr("not an Italian mobile or geographic number");
}

bool isEmergency(const QString &number, const QString &e164)
{
    const QStringView digits = QStringView(number).sliced(number.startsWith(u'+') ? 1 : 0);
    if (std::find(std::begin(kHandsetEmergency), std::end(kHandsetEmergency), digits) !=
        std::end(kHandsetEmergency))
        return true;
    if (!e164.startsWith(kItaly))
        return false;
    const QStringView national = QStringView(e164).sliced(kItaly.size());
    if (national.startsWith(kEuropeanHelpLines) && national.size() == kEuropeanHelpLineSize)
        return true;
    return std::find(std::begin(kItalianEmergency), std::end(kItalianEmergency), national) !=
           std::end(kItalianEmergency);
}

} // namespace

std::optional<CallBackNumbers> CallBackNumbers::fromOption(const QString &value, QString *error)
{
    CallBackNumbers numbers;
    if (value == kAny) {
        numbers.m_kind = Kind::Any;
        return numbers;
    }
    numbers.m_kind = Kind::Prefixes;
    for (const QString &item : value.split(u',')) {
        const QString prefix = item.trimmed();
        if (!isPrefix(prefix)) {
            *error = tr("--call-back-to takes \"any\" or prefixes in international form, \"+\" and "
                        "digits, separated by commas (such as +393,+390,+41), not \"%1\"")
                         .arg(prefix);
            return std::nullopt;
        }
        numbers.m_prefixes << prefix;
    }
    return numbers;
}

CallBackNumbers::Judgement CallBackNumbers::judge(const QString &number) const
{
    // isDialable() is the dial's own rule: digits, and "+" only first.
    if (!isDialable(number))
        return {Verdict::NotANumber, {}};
    const QString inInternational = international(number);
    if (isEmergency(number, inInternational))
        return {Verdict::Emergency, {}};
    // As written: a national number's +39 is the phone's to add, not a digit too many.
    const qsizetype digits = number.size() - (number.startsWith(u'+')    ? 1
                                              : number.startsWith(u"00") ? 2
                                                                         : 0);
    if (digits > kMaxDigits)
        return {Verdict::TooLong, {}};
    if (m_kind == Kind::Any)
        return {};
    const QString kind = kindOutsideDefault(inInternational);
    if (m_kind == Kind::ItalianOrdinary)
        return kind.isEmpty() ? Judgement{} : Judgement{Verdict::NotListed, kind};
    const bool listed = std::any_of(m_prefixes.begin(), m_prefixes.end(), [&](const QString &p) {
        return inInternational.startsWith(p);
    });
    if (listed)
        return {};
    return {Verdict::NotListed, kind.isEmpty() ? tr("not in the --call-back-to list") : kind};
}

QString CallBackNumbers::option() const
{
    switch (m_kind) {
    case Kind::ItalianOrdinary:
        return QString();
    case Kind::Any:
        return kAny.toString();
    case Kind::Prefixes:
        break;
    }
    return m_prefixes.join(u',');
}
