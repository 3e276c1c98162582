// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests' phones and the program say to each other in every test: the caller that the
// simulated phone gives unless a test names another, and the program's start-up dialogue.

#include "phone_sim/sim_script.h"

#include <QString>
#include <QStringList>

/// The tests' caller, an international number, and the name the phonebook gives it: the
/// simulated phone's own.
inline const QString kCallerNumber = SimCommander::kDefaultCallerNumber;
inline const QString kCallerName = SimCommander::kDefaultCallerName;
/// The call-back's dial to that caller, as the phone hears it (without its CR).
inline const QString kCallerDial = QStringLiteral("ATD") + kCallerNumber + u';';

/// What the program says to the phone when it opens the port, command by command, as the phone
/// hears it (without the CRs).
inline const QStringList kStartUpCommands{"ATZ", "ATE0", "ATQ0", "ATV1", "AT+CGMM"};

/// The same commands without the questions that the idle program asks about the phone's state
/// (AT+CREG=1 and AT+CNMI? after each start-up dialogue, then AT+CPIN?, AT+CREG?, AT+CFUN?).
inline QStringList withoutStateQuestions(QStringList commands)
{
    commands.removeIf([](const QString &command) {
        return command == u"AT+CREG=1" || command == u"AT+CNMI?" || command == u"AT+CPIN?" ||
               command == u"AT+CREG?" || command == u"AT+CFUN?";
    });
    return commands;
}

/// The commands as the program writes them: each ends with CR.
inline QStringList framed(QStringList commands)
{
    for (QString &command : commands)
        command += u'\r';
    return commands;
}
