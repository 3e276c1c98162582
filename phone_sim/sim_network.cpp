// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_network.h"

#include "sim_command_line.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// The +CME ERROR codes of 3GPP TS 27.007 that the SIM gives.
constexpr int kNotAllowed = 3;
constexpr int kSimNotInserted = 10;
constexpr int kSimPinRequired = 11;
constexpr int kSimPukRequired = 12;
constexpr int kIncorrectPassword = 16;

using Card = SimNetwork::Card;
using Network = SimNetwork::Network;
using Radio = SimNetwork::Radio;

/// The +CREG stat of each network.
const std::pair<Network, int> kNetworkStat[] = {{Network::Home, 1},
                                                {Network::Roaming, 5},
                                                {Network::Searching, 2},
                                                {Network::Denied, 3},
                                                {Network::None, 0}};
/// The +CFUN value of each radio state.
const std::pair<Radio, int> kFunctionality[] = {{Radio::On, 1}, {Radio::Off, 4}, {Radio::Min, 0}};
/// What +CPIN? answers for each card that is there.
const std::pair<Card, const char *> kPinStates[] = {
    {Card::Ready, "READY"}, {Card::Pin, "SIM PIN"}, {Card::Puk, "SIM PUK"}};
/// Why a card keeps calls away, for the log.
const std::pair<Card, const char *> kCardTroubles[] = {{Card::Ready, ""},
                                                       {Card::Pin, "the SIM wants its PIN"},
                                                       {Card::Puk, "the SIM wants its PUK"},
                                                       {Card::Absent, "no SIM"}};

/// The value a table gives `key`; the value-type's empty one when it has no row for it.
template<class Key, class Value, std::size_t N>
Value valueOf(const std::pair<Key, Value> (&table)[N], Key key)
{
    const auto row = std::find_if(std::begin(table), std::end(table),
                                  [key](const auto &entry) { return entry.first == key; });
    return row == std::end(table) ? Value{} : row->second;
}

bool isCode(const QByteArray &code, qsizetype minLength, qsizetype maxLength)
{
    if (code.size() < minLength || code.size() > maxLength)
        return false;
    return std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

void SimNetwork::setCard(Card card)
{
    m_card = card;
    // A SIM that wants its PUK has spent its PIN's tries; one that is back has them again.
    if (card == Card::Puk)
        m_pinTries = 0;
    else if (m_pinTries == 0)
        m_pinTries = kPinTries;
}

void SimNetwork::setPinTries(int tries)
{
    m_pinTries = qBound(1, tries, kPinTries);
}

int SimNetwork::functionality() const
{
    return valueOf(kFunctionality, m_radio);
}

bool SimNetwork::setFunctionality(int cfun)
{
    const auto row = std::find_if(std::begin(kFunctionality), std::end(kFunctionality),
                                  [cfun](const auto &entry) { return entry.second == cfun; });
    if (row == std::end(kFunctionality))
        return false;
    m_radio = row->first;
    return true;
}

int SimNetwork::registration() const
{
    if (m_card != Card::Ready || m_radio != Radio::On)
        return 0;
    return valueOf(kNetworkStat, m_network);
}

bool SimNetwork::takesCalls() const
{
    const int stat = registration();
    return stat == 1 || stat == 5;
}

QByteArray SimNetwork::whyNoCalls() const
{
    if (m_card != Card::Ready)
        return valueOf(kCardTroubles, m_card);
    if (m_radio != Radio::On)
        return "the radio is off (+CFUN: " + QByteArray::number(functionality()) + ')';
    if (!takesCalls())
        return "not registered (+CREG stat " + QByteArray::number(registration()) + ')';
    return {};
}

int SimNetwork::simRefusal(bool needsUnlocked) const
{
    switch (m_card) {
    case Card::Absent:
        return kSimNotInserted;
    case Card::Pin:
        return needsUnlocked ? kSimPinRequired : 0;
    case Card::Puk:
        return needsUnlocked ? kSimPukRequired : 0;
    case Card::Ready:
        break;
    }
    return 0;
}

QByteArrayList SimNetwork::pinState() const
{
    return {QByteArray("+CPIN: ") + valueOf(kPinStates, m_card)};
}

int SimNetwork::enterPin(const QByteArray &parameters)
{
    QByteArrayList codes = parameters.split(',');
    for (QByteArray &code : codes)
        code = SimCommandLine::unquote(code);
    if (codes.size() > 2 || !isCode(codes[0], 4, 16) ||
        (codes.size() == 2 && !isCode(codes[1], 4, 8)))
        return -1;
    if (m_card == Card::Ready)
        return kNotAllowed;
    if (m_card == Card::Puk)
        return codes.size() == 2 ? enterPuk(codes[0], codes[1]) : kSimPukRequired;
    if (codes.size() != 1)
        return -1;
    if (codes[0] == m_pin) {
        m_card = Card::Ready;
        m_pinTries = kPinTries;
        return 0;
    }
    if (--m_pinTries == 0)
        m_card = Card::Puk;
    return kIncorrectPassword;
}

int SimNetwork::enterPuk(const QByteArray &puk, const QByteArray &newPin)
{
    // A PUK without tries left is a SIM for the bin: it refuses every one.
    if (m_pukTries == 0 || puk != m_puk) {
        m_pukTries = qMax(0, m_pukTries - 1);
        return kIncorrectPassword;
    }
    m_pin = newPin;
    m_card = Card::Ready;
    m_pinTries = kPinTries;
    m_pukTries = kPukTries;
    return 0;
}

std::optional<QByteArrayList> SimNetwork::retries(const QByteArray &selection) const
{
    if (!m_retriesAnswered)
        return std::nullopt;
    const QByteArray wanted = SimCommandLine::unquote(selection).toUpper();
    // A selection may end in a wildcard: "SIM*" is every code whose name starts "SIM".
    const auto selected = [&wanted](const QByteArray &code) {
        if (wanted.isEmpty() || wanted == code)
            return true;
        return wanted.endsWith('*') && code.startsWith(wanted.chopped(1));
    };
    QByteArrayList lines;
    const auto add = [&](const QByteArray &code, int left, int fresh) {
        if (selected(code))
            lines << "+CPINR: " + code + ',' + QByteArray::number(left) + ',' +
                         QByteArray::number(fresh);
    };
    add("SIM PIN", m_pinTries, kPinTries);
    add("SIM PUK", m_pukTries, kPukTries);
    if (lines.isEmpty())
        return std::nullopt;
    return lines;
}

std::optional<int> SimNetwork::takeRegistrationReport()
{
    const int stat = registration();
    if (stat == m_reportedStat)
        return std::nullopt;
    m_reportedStat = stat;
    if (m_reportMode == 0)
        return std::nullopt;
    return stat;
}
