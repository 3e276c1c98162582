// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <optional>

// Whether a call can reach the phone: its SIM, its radio and its registration on a network.
// The SIM may want its PIN (with the tries left counting down to its PUK) or be missing; the
// radio may be on, off (flight mode) or at minimum functionality; the network may be home,
// roaming, searched for, refusing the phone or not there. The phone is registered (stat 1 or 5)
// only while the SIM is unlocked, the radio is on and the network takes it; otherwise +CREG
// says stat 0 (or the network's own 2, 3, 0). Each change of stat is a "+CREG: <stat>" report
// when +CREG=1 (or 2) asks for them; the phone sends it once the change is taken.
class SimNetwork
{
public:
    enum class Card { Ready, Pin, Puk, Absent };
    enum class Radio { On, Off, Min };
    enum class Network { Home, Roaming, Searching, Denied, None };
    /// How many tries a PIN and a PUK have when fresh, as AT+CPINR tells them.
    static constexpr int kPinTries = 3;
    static constexpr int kPukTries = 10;

    void setCard(Card card);
    void setPin(const QByteArray &pin) { m_pin = pin; }
    void setPuk(const QByteArray &puk) { m_puk = puk; }
    void setPinTries(int tries);
    /// Whether AT+CPINR tells the tries left; without it, as on phones that cannot, ERROR.
    void setRetriesAnswered(bool answered) { m_retriesAnswered = answered; }
    void setRadio(Radio radio) { m_radio = radio; }
    void setNetwork(Network network) { m_network = network; }

    /// The +CFUN value: 1 on, 4 off, 0 minimum.
    int functionality() const;
    bool setFunctionality(int cfun);
    /// The +CREG value: 0 no reports, 1 or 2 a report at each change of stat.
    int &reportMode() { return m_reportMode; }
    int registration() const;
    /// Registered, so calls ring in and dials go out.
    bool takesCalls() const;
    /// Why calls cannot arrive, for the log; empty when they can.
    QByteArray whyNoCalls() const;
    /// The +CME ERROR of a command that needs the SIM unlocked (10 missing, 11 PIN, 12 PUK)
    /// or only there (10); 0 when it may run.
    int simRefusal(bool needsUnlocked) const;

    QByteArrayList pinState() const;
    /// AT+CPIN=<pin> or AT+CPIN=<puk>,<new pin>: 0 taken, a +CME ERROR code, or -1 for a
    /// malformed line (ERROR).
    int enterPin(const QByteArray &parameters);
    /// AT+CPINR's lines for a selection ("SIM PIN", "SIM*"; empty: every code); nothing if the
    /// phone cannot tell them.
    std::optional<QByteArrayList> retries(const QByteArray &selection) const;
    /// The stat, if it has changed since last asked and reports are on.
    std::optional<int> takeRegistrationReport();

private:
    int enterPuk(const QByteArray &puk, const QByteArray &newPin);

    Card m_card = Card::Ready;
    QByteArray m_pin = "1234";
    QByteArray m_puk = "12345678";
    int m_pinTries = kPinTries;
    int m_pukTries = kPukTries;
    bool m_retriesAnswered = true;
    Radio m_radio = Radio::On;
    Network m_network = Network::Home;
    int m_reportMode = 0;
    int m_reportedStat = 1;
};
