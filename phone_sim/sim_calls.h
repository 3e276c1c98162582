// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;
class SimNetwork;
class SimOutput;
struct SimProfile;

// The calls, from the phone's side. An incoming call rings a number of times and, unless it is
// answered (S0) or hung up (ATH), ends up in the missed-call list once its last ring is out. A
// dial is answered as the script says (set up or refused); a call set up is dialling, then
// alerting once the far end rings, and the callee acts after a while: answers (the call is
// active), is busy, does not answer, or never does anything. Under +COLP=1 that is the dial's final
// result, so a character from the line aborts the dial until then; under +COLP=0 a busy or
// unanswered call is reported on its own, and an answered one not at all. AT+CLCC lists the calls
// with their state. A call may also be set to ring once a
// given command comes in, so its rings cross an exchange or the wait after it. The lists may be
// read from any thread. No call reaches a phone that is not registered (SimNetwork), nor its
// rings a hung one: such a call rings nowhere.
//
// A caller may withhold the number, or the network may not have it (CLI validity 1 or 2): the
// caller line then gives no number ("+CLIP: \"\",128,,,,1") and, as on most phones, the call
// leaves nothing in the missed-call list, whose first entry stays the caller before. A call may
// ring in while the call made stands (call waiting): it is announced once with +CCWA, not with
// RING, listed by AT+CLCC as waiting (stat 5), and rings on its own once the call made is gone;
// AT+CHLD=1<index> ends one call and leaves the other.
class SimCalls : public QObject
{
    Q_OBJECT
public:
    /// How many calls each list keeps, newest first.
    static constexpr int kListCapacity = 10;

    /// How the phone answers a dial before the call is set up.
    enum class DialAnswer { Ok, Busy, NoCarrier, NoAnswer, NoDialtone, CmeError };
    /// What the called party does once the call is set up.
    enum class Callee { Answers, Busy, NoAnswer, NoCarrier, Never };
    struct Caller
    {
        QString number;
        QString name;
        /// CLI validity: 0 the number is given, 1 withheld by the caller, 2 not available.
        int validity = 0;
    };
    /// How a dial went: set up (its "OK" maybe held back for the callee) or refused.
    struct DialResult
    {
        bool setUp = false;
        QByteArray final;
        bool deferred = false;
    };

    SimCalls(const SimProfile &profile, const SimNetwork &network, SimOutput *output,
             QObject *parent = nullptr);

    void setNextCaller(const Caller &caller);
    void ring(int times, int intervalMs);
    /// A call from `caller` rings in; while the call made stands it waits, announced by +CCWA.
    void ringWaiting(const Caller &caller, int times, int intervalMs);
    /// A call rings `times` times, `afterMs` after the next command line that starts with
    /// `command` (letter case aside); with 0 its first ring comes before that command's answer.
    void ringAfterCommand(const QByteArray &command, int afterMs, int times, int intervalMs);
    /// A command line has come in: the calls waiting for it start ringing.
    void commandArrived(const QByteArray &line);
    /// "RING" framed CR LF "RING" CR CR LF, as some modules send it.
    void setExtraCrAfterRing(bool extra) { m_extraCrAfterRing = extra; }
    /// A ring has reached the line; after the last one of a call the caller has given up.
    void ringWentOut(int index, quint64 callId);

    void setDialAnswer(DialAnswer answer, int cmeCode);
    void setCallee(Callee callee, int afterMs);
    /// A dial while a call rings in is answered "NO CARRIER", as some phones do.
    void setRefuseDialWhileRinging(bool refuse) { m_refuseDialWhileRinging = refuse; }
    DialResult dial(const QByteArray &number);
    bool isDialPending() const { return m_dialPending; }
    void abortDial();
    /// ATH: a ringing call is rejected, a call made is ended unless +CVHU=1 keeps it; a waiting
    /// call ends as a missed one.
    void hangUp();
    /// AT+CHLD=1<index>: ends that call only; false if there is no such call.
    bool releaseCall(int index);
    /// AT+CHLD=0: the waiting call (or one ringing in) is rejected; false if there is none.
    bool releaseWaitingCall();
    /// The calls as AT+CLCC lists them: the call made, then a call ringing in.
    QByteArrayList callList() const;
    void lineClosed();

    void setBareInternational(bool bare);
    /// A number as the phone lists it, and its type (145 international, 129 other).
    QByteArray listedNumber(const QString &number, int *type) const;
    /// The calls a phonebook storage lists: "MC" missed, "DC" dialled; other storages are empty.
    QList<Caller> list(const QByteArray &storage) const;
    QStringList missedCalls() const;

private:
    struct RingTrigger
    {
        QByteArray command;
        int afterMs = 0;
        int times = 1;
        int intervalMs = 0;
    };

    void startRinging(const Caller &caller, bool waits, int times, int intervalMs);
    void ringTick();
    void waitTick();
    static QString shownNumber(const Caller &caller);
    QByteArray whyNoRing() const;
    void endIncomingCall(bool missed);
    void calleeActs();
    void endCall();
    QByteArray callLine(int id, bool outgoing, int stat, const Caller &caller) const;
    /// The caller line of the call ringing in: prefix, number and type, `middle`, and the CLI
    /// validity after `fieldsBeforeValidity` empty fields when there is no number.
    QByteArray callerLine(const char *prefix, const QByteArray &middle,
                          int fieldsBeforeValidity) const;
    int incomingIndex() const;

    const SimProfile &m_profile;
    const SimNetwork &m_network;
    SimOutput *m_output;
    QTimer *m_ringTimer;
    QTimer *m_calleeTimer;
    QTimer *m_alertTimer;

    Caller m_nextCaller{QStringLiteral("+393331234567"), QStringLiteral("Mario Rossi")};
    Caller m_ringingCaller;
    bool m_ringing = false;
    /// The call ringing in came while the call made stood: announced by +CCWA, listed second.
    bool m_waiting = false;
    bool m_waitingAnnounced = false;
    quint64 m_callId = 0;
    int m_ringsLeft = 0;
    int m_ringIndex = 0;
    bool m_extraCrAfterRing = false;
    QList<RingTrigger> m_ringTriggers;

    DialAnswer m_dialAnswer = DialAnswer::Ok;
    int m_dialCmeCode = 0;
    /// A squillo's call-back is a signal: by default nobody picks it up.
    Callee m_callee = Callee::Never;
    int m_calleeAfterMs = 0;
    bool m_dialPending = false;
    bool m_refuseDialWhileRinging = false;
    QString m_activeCall;
    /// Of the call made, as AT+CLCC gives it: 2 dialling, 3 alerting, 0 active.
    int m_activeStat = 2;
    bool m_bareInternational = false;

    // Guards the lists, which the getters may read from other threads.
    mutable QMutex m_mutex;
    QList<Caller> m_missed;
    QList<Caller> m_dialled;
};
