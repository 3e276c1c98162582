// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim_profile.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QMutex>
#include <QString>

class SimCalls;
class SimNetwork;

// The AT command interpreter. A command line is split into its commands (basic ones run
// together as "E0V1", extended ones separated by ';', a dial taking the rest of the line), and
// each command is looked up by name in one table: a row per command or family of commands, with
// a handler for each of its forms. The read form "NAME?" and the test form "NAME=?" answer
// information lines; every other form ("NAME", "NAME1", "NAME=VALUE", a dial string) is run.
// A row also says whether its setting belongs to the stored profile (AT&W, ATZ). The line's
// answer is its information text and one final result: the first command that fails ends it.
// A row may need the SIM (SimNetwork): without it, or while it is locked, the phone refuses the
// command with the SIM's +CME ERROR.
class SimCommands
{
public:
    static constexpr int kNumberLength = 40;
    static constexpr int kNameLength = 20;

    struct Answer
    {
        QByteArray info;
        QByteArray final = "OK";
        bool deferred = false; ///< the final result comes later (a dial waiting for its callee)
    };

    SimCommands(SimProfile &profile, SimCalls &calls, SimNetwork &network);

    /// Runs the body of a command line, what follows its "AT".
    Answer execute(const QByteArray &body);

    /// The stored profile and the settings in force become the factory's with `commands` applied,
    /// as the body of an AT command line ("+CRC=1;+CLIP=1", "E0Q1V0S0=2"); false, and nothing
    /// changed, if one of them is not a setting of the profile.
    bool setStoredProfile(const QByteArray &commands);
    /// Every command but those of the start-up dialogue answers "+CME ERROR: code"; -1: none.
    void setCmeError(int code);
    /// Whether the missed-call list "MC" is there to list and select.
    void setMissedCallList(bool present);
    /// Whether AT+CPBS takes only a quoted storage (+CPBS="MC"), as 3GPP TS 27.007 writes it.
    void setQuotedStorageOnly(bool quotedOnly) { m_quotedStorageOnly = quotedOnly; }
    /// Whether a bare "AT" is answered ERROR while the commands themselves work, as some
    /// phones and modem emulators do.
    void setBareAtRefused(bool refused) { m_bareAtRefused = refused; }
    /// Whether AT+CLCC is answered ERROR, as by phones that do not list their calls.
    void setCallListRefused(bool refused) { m_callListRefused = refused; }
    /// An unsolicited line the phone slips into every AT+CLCC answer, after the calls and before
    /// the OK, as some phones do with a notice that comes meanwhile; empty: none.
    void setCallListNotice(const QByteArray &notice) { m_callListNotice = notice; }
    /// Whether AT+CHLD is answered ERROR in every form, as by phones that cannot hold calls.
    void setHoldRefused(bool refused) { m_holdRefused = refused; }
    QString model() const;
    void setModel(const QString &model);

private:
    // The table's handlers, in sim_commands.cpp, read and change the phone's state.
    friend struct SimCommandHandlers;

    bool executeOne(const QByteArray &command, Answer &answer);
    bool isProfileSetting(const QByteArray &command) const;

    SimProfile &m_profile;
    SimProfile m_stored;
    SimCalls &m_calls;
    SimNetwork &m_network;
    int m_cmeError = -1;
    QByteArray m_storage = "SM";
    bool m_hasMissedCalls = true;
    bool m_quotedStorageOnly = false;
    bool m_bareAtRefused = false;
    bool m_callListRefused = false;
    QByteArray m_callListNotice;
    bool m_holdRefused = false;

    // Guards the model, which may be read and set from other threads.
    mutable QMutex m_mutex;
    QString m_model = QStringLiteral("TS-GSM 900/1800 simulato");
};
