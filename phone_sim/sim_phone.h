// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim_calls.h"
#include "sim_commands.h"
#include "sim_line_reader.h"
#include "sim_log.h"
#include "sim_messages.h"
#include "sim_network.h"
#include "sim_output.h"
#include "sim_profile.h"
#include "sim_pty.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// A GSM phone on the far side of a pseudo-terminal, answering AT commands the way a real handset
// does. Everything it does happens in the thread that owns it: other threads reach it through
// queued slot calls (QMetaObject::invokeMethod), the getters are safe from any thread.
//
// It plays the phones people have, not only the friendly ones: a stored profile (AT&W stores the
// settings, ATZ restores them) that may have result codes off (Q1) or numeric (V0), auto-answer
// (S0), "+CRING: VOICE" (+CRC=1), a caller line after each ring (+CLIP=1), dials answered only
// when the callee picks up (+COLP=1) or refused, a dial refused while a call rings in, no
// missed-call list or one selected only by its quoted name (+CPBS="MC"), international numbers
// listed without their "+", rings framed with an extra CR, a radio that is off (+CFUN=4) or at
// its minimum (+CFUN=0), a bare "AT" refused. A call can be set to ring once a given command
// comes in, so its rings cross an exchange or the wait that follows it. A caller may withhold
// the number; a call may ring in while the call made stands (+CCWA, AT+CLCC stat 5, AT+CHLD);
// text messages come in, delivered to the port or stored as +CNMI says (SimMessages); a notice
// may slip into every AT+CLCC answer.
//
// It plays the phones that cannot take a call too: a SIM that wants its PIN or PUK (AT+CPIN,
// AT+CPINR) or is missing, a network lost and found again (with +CREG=1 reports, which ATZ turns
// off), a radio that is off from power-on, and a phone that stops answering for a while. While
// it is not registered it sends no rings and refuses dials; while its SIM is locked or missing
// it refuses the phonebook too (SimNetwork).
//
// Bytes from the pty (SimPty) gather into command lines (SimLineReader); each line is echoed and
// run by the interpreter (SimCommands), which reaches the calls (SimCalls) for dials, hang-ups
// and the call lists, and the SIM and network (SimNetwork) that both of them ask. Echoes, answers
// and rings go out through one queue (SimOutput). The settings in force (SimProfile) frame every
// answer, so all of them read the one profile here.
class SimPhone : public QObject
{
    Q_OBJECT
public:
    using DialAnswer = SimCalls::DialAnswer;
    using Callee = SimCalls::Callee;

    explicit SimPhone(QObject *parent = nullptr);
    ~SimPhone() override;

    Q_INVOKABLE bool start(const QString &linkPath = {});
    QString devicePath() const { return m_pty.devicePath(); }
    QString linkPath() const { return m_pty.linkPath(); }
    bool isLineUp() const { return !m_pty.devicePath().isEmpty(); }
    QString model() const { return m_commands.model(); }
    void setModel(const QString &model) { m_commands.setModel(model); }
    QStringList missedCalls() const { return m_calls.missedCalls(); }
    QStringList receivedCommands() const;

    /// The stored profile, and the settings in force, become the factory's with `commands`
    /// applied ("+CRC=1;+CLIP=1"); see SimCommands::setStoredProfile.
    bool setStoredProfile(const QByteArray &commands)
    {
        return m_commands.setStoredProfile(commands);
    }
    void setDialAnswer(DialAnswer answer, int cmeCode = 0)
    {
        m_calls.setDialAnswer(answer, cmeCode);
    }
    /// The callee's part in the next dials, `afterMs` after the dial.
    void setCallee(Callee callee, int afterMs) { m_calls.setCallee(callee, afterMs); }
    /// Without it AT+CPBS=? lists only "SM" and "MC" cannot be selected.
    void setMissedCallList(bool present) { m_commands.setMissedCallList(present); }
    /// International numbers listed without their "+", type 145 telling what they are.
    void setBareInternational(bool bare) { m_calls.setBareInternational(bare); }
    /// Rings framed CR LF "RING" CR CR LF, as some modules send them.
    void setExtraCrAfterRing(bool extra) { m_calls.setExtraCrAfterRing(extra); }
    /// A dial while a call rings in is answered "NO CARRIER".
    void setRefuseDialWhileRinging(bool refuse) { m_calls.setRefuseDialWhileRinging(refuse); }
    /// AT+CPBS takes only a quoted storage: +CPBS="MC" selects the list, +CPBS=MC is an ERROR.
    void setQuotedStorageOnly(bool quotedOnly) { m_commands.setQuotedStorageOnly(quotedOnly); }
    /// A bare "AT" answered ERROR, every command with a name answered as before.
    void setBareAtRefused(bool refused) { m_commands.setBareAtRefused(refused); }
    /// Off, the phone is in flight mode (+CFUN: 4) and registered nowhere (+CREG stat 0) until
    /// AT+CFUN=1.
    void setRadioOn(bool on) { setRadio(on ? SimNetwork::Radio::On : SimNetwork::Radio::Off); }
    void setRadio(SimNetwork::Radio radio);
    void setSimCard(SimNetwork::Card card);
    void setPin(const QByteArray &pin) { m_network.setPin(pin); }
    void setPuk(const QByteArray &puk) { m_network.setPuk(puk); }
    void setPinTries(int tries) { m_network.setPinTries(tries); }
    /// Without, AT+CPINR is answered ERROR, as by phones that cannot tell the tries left.
    void setPinRetriesAnswered(bool answered) { m_network.setRetriesAnswered(answered); }
    void setNetwork(SimNetwork::Network network);
    /// Whether the phone is hung now (SimPhone::hang).
    bool isHung() const { return m_output.isHung(); }
    void setCallListRefused(bool refused) { m_commands.setCallListRefused(refused); }
    /// An unsolicited line slipped into every AT+CLCC answer before its OK; empty: none.
    void setCallListNotice(const QByteArray &notice) { m_commands.setCallListNotice(notice); }
    /// AT+CHLD answered ERROR in every form.
    void setHoldRefused(bool refused) { m_commands.setHoldRefused(refused); }

public slots:
    void ring(int times, int intervalMs) { m_calls.ring(times, intervalMs); }
    /// A call rings `times` times `afterMs` after the next command line that starts with
    /// `command` ("AT+CPBS", "ATD"); with 0 its first ring comes ahead of that command's answer.
    void ringAfterCommand(const QString &command, int afterMs, int times, int intervalMs)
    {
        m_calls.ringAfterCommand(command.toLatin1(), afterMs, times, intervalMs);
    }
    /// The caller of the next calls; a `validity` of 1 (withheld) or 2 (not available) gives
    /// no number at all.
    void setNextCaller(const QString &number, const QString &name, int validity = 0)
    {
        m_calls.setNextCaller({validity > 0 ? QString() : number, name, validity});
    }
    /// A call rings in `times` times; while the call made stands it waits, announced by +CCWA.
    void ringWaiting(const QString &number, int validity, int times, int intervalMs)
    {
        m_calls.ringWaiting({validity > 0 ? QString() : number, {}, validity}, times, intervalMs);
    }
    /// A text message from `number` comes in, to the port or to the storage as +CNMI says.
    void receiveMessage(const QString &number, const QByteArray &text)
    {
        m_messages.receive(number, text);
    }
    /// An unsolicited line, framed as the phone frames its information text.
    void sendNotice(const QByteArray &text);
    void setSilent(bool silent) { m_silent = silent; }
    void setChunking(int chunkSize, int delayMs) { m_output.setChunking(chunkSize, delayMs); }
    void setCmeError(int code) { m_commands.setCmeError(code); }
    void setAnswerDelay(int ms) { m_output.setAnswerDelay(ms); }
    /// The phone answers nothing, sends nothing and swallows what it hears, for `ms`
    /// milliseconds; with a negative `ms` until it is told 0, which ends a hang.
    void hang(int ms);
    void sendRaw(const QByteArray &bytes);
    void hangUpLine();

signals:
    void commandReceived(const QString &line, qint64 steadyNs);
    void finalWritten(const QByteArray &finalCode, qint64 steadyNs);
    void ringWritten(int index, qint64 steadyNs);
    void lineHungUp();
    void linePlugged(const QString &devicePath);

private:
    void closeLine();
    void onReceived(const QByteArray &bytes, qint64 steadyNs);
    void onLine(const QByteArray &line, qint64 steadyNs);
    void reportRegistration();

    // The rooms are children of the phone, so they move with it to the thread that owns it.
    SimProfile m_profile;
    SimNetwork m_network;
    SimPty m_pty{this};
    SimOutput m_output{&m_pty, this};
    SimCalls m_calls{m_profile, m_network, &m_output, this};
    SimCommands m_commands{m_profile, m_calls, m_network};
    SimMessages m_messages{m_profile, m_network, &m_output};
    SimLineReader m_reader;
    bool m_silent = false;
    QTimer m_hangTimer{this};

    // Guards what the getters may read from other threads.
    mutable QMutex m_mutex;
    QStringList m_received;
};
