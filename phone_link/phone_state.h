// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether a call can reach the phone, as its answers to AT+CPIN?, AT+CREG? and AT+CFUN? tell.
// One table says, for each state in which no call can arrive, what status bar panel 2 shows in
// place of "CONNESSO A <model>" and the sentence that the journal, the desktop's notification and
// the phone check (--check-phone) give for it. What each answer means is read here, once, for the
// run and for the check.

#include <QString>
#include <QStringView>

#include <optional>

enum class PhoneState {
    Ready,      ///< calls can arrive
    SimPin,     ///< the SIM wants its PIN
    PinRefused, ///< the SIM refused the PIN of the PIN file
    SimPuk,     ///< the SIM is locked: it wants its PUK
    SimMissing, ///< no SIM, or the SIM failed
    SimCode,    ///< the phone wants another code (PH-SIM PIN, a network lock...)
    RadioOff,   ///< the radio is off (AT+CFUN 0 or 4)
    NoNetwork,  ///< not registered on a network (searching, unknown, not searching)
    Denied,     ///< the network refused the registration
    Silent,     ///< the phone does not answer
};

/// Panel 2's text for `state`; empty for Ready (the panel then shows the phone's model).
QString phoneStatePanel(PhoneState state);
/// The state in a sentence, in the locale's language; `detail` fills its %1 where it has one
/// (the registration state, the code the phone wants).
QString phoneStateSentence(PhoneState state, const QString &detail = QString());

/// What an answer to AT+CPIN? says of the SIM: `final` its final result code, `code` the value
/// of its +CPIN: line. Nullopt when it says nothing (the SIM busy for a moment, a phone that does
/// not know the command).
std::optional<PhoneState> simState(const QString &final, QStringView code);
/// Ready for registration states 1 (home) and 5 (roaming), Denied for 3, NoNetwork otherwise.
PhoneState networkState(int stat);
/// The radio is off in functionality levels 0 (minimum) and 4 (flight mode).
bool isRadioOff(int fun);
/// The first whole number of a value ("1" of "1,0"); nullopt when it does not start with one.
std::optional<int> leadingNumber(QStringView value);
/// A value without the spaces and the one pair of double quotes around it.
QString unquoted(QStringView text);

/// What AT+CNMI? says of text messages: where they go (<mt>) and, for a phone that delivers them
/// to the port (mt 2 or 3), the setting that stores them with a notice instead (mt 1), the
/// other fields kept.
struct MessageRouting
{
    std::optional<int> mt;
    QString storeCommand; ///< "+CNMI=<mode>,1,..."; empty when they are not delivered to the port
};
MessageRouting messageRouting(QStringView cnmiValue);
