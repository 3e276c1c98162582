// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_state.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

struct StateText
{
    PhoneState state;
    const char *panel; ///< the window's own text
    const char *sentence;
};

constexpr StateText kStates[] = {
    {PhoneState::Ready, "",
     QT_TRANSLATE_NOOP("PhoneState", "the phone is ready: calls can arrive")},
    {PhoneState::SimPin, "SIM: serve il PIN",
     QT_TRANSLATE_NOOP("PhoneState", "the SIM wants its PIN")},
    {PhoneState::PinRefused, "PIN rifiutato: correggere il file del PIN",
     QT_TRANSLATE_NOOP("PhoneState", "the SIM refused the PIN of %1: it is not entered again "
                                     "until the file changes")},
    {PhoneState::SimPuk, "SIM bloccata: serve il PUK",
     QT_TRANSLATE_NOOP("PhoneState", "the SIM is locked: it wants its PUK")},
    {PhoneState::SimMissing, "SIM assente o guasta",
     QT_TRANSLATE_NOOP("PhoneState", "no SIM, or the SIM failed")},
    {PhoneState::SimCode, "SIM: serve un codice",
     QT_TRANSLATE_NOOP("PhoneState", "the phone wants a code other than the SIM's PIN (%1)")},
    {PhoneState::RadioOff, "Radio spenta: la accendo",
     QT_TRANSLATE_NOOP("PhoneState", "the phone's radio is off")},
    {PhoneState::NoNetwork, "Nessuna rete",
     QT_TRANSLATE_NOOP("PhoneState", "no network (registration state %1)")},
    {PhoneState::Denied, "Registrazione rifiutata",
     QT_TRANSLATE_NOOP("PhoneState", "no network (registration state %1)")},
    {PhoneState::Silent, "Il telefono non risponde",
     QT_TRANSLATE_NOOP("PhoneState", "the phone does not answer")},
};

const StateText &textOf(PhoneState state)
{
    for (const StateText &text : kStates) {
        if (text.state == state)
            return text;
    }
    return kStates[0];
}

/// What a +CME ERROR says of the SIM (3GPP TS 27.007 9.2.1), by number and, for a phone set to
/// verbose errors (AT+CMEE=2), in words.
struct SimError
{
    int code;
    QStringView words;
    PhoneState state;
};

constexpr SimError kSimErrors[] = {
    {10, u"SIM NOT INSERTED", PhoneState::SimMissing},
    {11, u"SIM PIN REQUIRED", PhoneState::SimPin},
    {12, u"SIM PUK REQUIRED", PhoneState::SimPuk},
    {13, u"SIM FAILURE", PhoneState::SimMissing},
    {15, u"SIM WRONG", PhoneState::SimMissing},
};

} // namespace

QString phoneStatePanel(PhoneState state)
{
    return QString::fromLatin1(textOf(state).panel);
}

QString phoneStateSentence(PhoneState state, const QString &detail)
{
    const QString sentence = QCoreApplication::translate("PhoneState", textOf(state).sentence);
    return sentence.contains(u"%1") ? sentence.arg(detail) : sentence;
}

std::optional<int> leadingNumber(QStringView value)
{
    qsizetype end = 0;
    while (end < value.size() && value[end].isDigit())
        ++end;
    bool ok = false;
    const int number = value.first(end).toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

QString unquoted(QStringView text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.sliced(1, text.size() - 2);
    return text.toString();
}

MessageRouting messageRouting(QStringView cnmiValue)
{
    QStringList fields;
    for (const QStringView field : cnmiValue.split(u','))
        fields << field.trimmed().toString();
    MessageRouting routing{fields.size() >= 2 ? leadingNumber(fields[1]) : std::nullopt, {}};
    if (routing.mt == 2 || routing.mt == 3) {
        fields[1] = QStringLiteral("1");
        routing.storeCommand = QStringLiteral("+CNMI=") + fields.join(u',');
    }
    return routing;
}

std::optional<PhoneState> simState(const QString &final, QStringView code)
{
    if (final.startsWith(u"+CME ERROR:")) {
        const QStringView error = QStringView(final).sliced(11).trimmed();
        for (const SimError &known : kSimErrors) {
            if (leadingNumber(error) == known.code ||
                error.compare(known.words, Qt::CaseInsensitive) == 0)
                return known.state;
        }
        return std::nullopt;
    }
    if (final != u"OK" || code.isEmpty())
        return std::nullopt;
    const QString upper = code.trimmed().toString().toUpper().remove(u'"');
    // SIM PIN2 and SIM PUK2 guard only the fixed dialling numbers: calls still arrive.
    if (upper == u"READY" || upper == u"SIM PIN2" || upper == u"SIM PUK2")
        return PhoneState::Ready;
    if (upper == u"SIM PIN")
        return PhoneState::SimPin;
    if (upper == u"SIM PUK")
        return PhoneState::SimPuk;
    return PhoneState::SimCode;
}

PhoneState networkState(int stat)
{
    if (stat == 1 || stat == 5)
        return PhoneState::Ready;
    return stat == 3 ? PhoneState::Denied : PhoneState::NoNetwork;
}

bool isRadioOff(int fun)
{
    return fun == 0 || fun == 4;
}
