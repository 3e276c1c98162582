// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The phone readiness check: will this phone work with Tornasquillo? It talks to the phone as
// the program will find it, after the ATZ sent at every open (so with its stored profile), and
// prints one line per item: "ok", "warning" (works, with a cost) or "problem" (calls would be
// missed, miscounted or not called back), each saying what it means for the program and the AT
// command that fixes it where there is one. With fixing on, it says what it will change, sends
// the fixes, stores them with AT&W and checks again after ATZ.
//
// It only asks, never re-sends, waits a few seconds per command and ends within kRunLimit
// seconds however the phone behaves (silent, slow, "+CME ERROR" to everything).

#include "check_exchange.h"
#include "device_probe.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

class Clock;
class EventPump;
class QTextStream;
class SerialLine;

class PhoneCheck
{
    Q_DECLARE_TR_FUNCTIONS(PhoneCheck)

public:
    /// How a line of the report judges what it found.
    enum class Level { Ok, Warning, Problem };

    static constexpr double kAnswerWait = 3.0; ///< seconds a command may take to answer
    static constexpr double kProbeWait = 1.0;  ///< the same while looking for the phone's port
    static constexpr double kRunLimit = 30.0;  ///< seconds for the whole run

    /// `device` names the port in the report; every wait ends by `runEnd` on `clock`.
    PhoneCheck(SerialLine &line, Clock &clock, EventPump &pump, QTextStream &out,
               const QString &device, double runEnd);

    /// Whether anything that talks AT is on the line: "AT", then "ATQ0" in case its result codes
    /// are off. Reports what it found unless `quiet`. Any final answer counts: a phone may refuse
    /// a bare "AT", which Tornasquillo never sends, and answer every command it does send.
    CheckReply answersAt(double wait, bool quiet);

    /// The whole check; with `fix`, then the fixes and the check again. Returns the exit status:
    /// 0 when nothing is a problem, 1 otherwise.
    int run(bool fix);

    /// A line of the report, without its end: the level's word, then `text`.
    static QString reportLine(Level level, const QString &text);

private:
    struct Fix
    {
        QString command; ///< without "AT"
        QString what;
    };
    /// What the +CLIP setting means for the caller's number when the missed-call list gives none.
    enum class CallerId {
        On,     ///< +CLIP=1: Tornasquillo takes the number from the +CLIP line of the rings
        Off,    ///< +CLIP=0: AT+CLIP=1 switches it on
        Absent, ///< the phone has none, the network gives none, or the setting cannot be read
    };

    CheckReply ask(const QString &cmdat, bool numericToo = false);
    /// True once the line is gone or the time is up: nothing more can be asked.
    bool stopped() const { return m_stop != CheckReply::End::Final; }
    /// With `stored`, the fix is a setting of the profile that AT&W must store; otherwise the
    /// phone keeps it as it is (the radio's state).
    void say(Level level, const QString &text, const QString &fixCommand = {},
             const QString &fixWhat = {}, bool stored = true);

    bool checkAfterReset(bool first);
    void checkIdentity();
    void checkMissedCalls();
    /// Entry 1 of the missed-call list, once the list is selected: the caller of the last call.
    void checkFirstMissedCall();
    /// The settings read as one number each (ring reports, dialling, auto-answer, errors).
    void checkSettings();
    using Item = void (PhoneCheck::*)();
    /// The items of a check, in the order they are checked.
    static const Item kItems[];
    struct Setting;
    static const Setting kSettings[];
    void checkSetting(const Setting &setting, const CheckReply &reply);
    void checkHangUp(const CheckReply &cvhu);
    void checkCallList();
    void checkCallerId(const CheckReply &clip);
    /// Without the missed-call list, the caller's number can come only from caller ID; with
    /// `noList` the phone has no such list at all, which no setting adds.
    void reportNoLookup(const QString &why, bool noList);
    void checkSim();
    void checkNetwork();
    void checkMessages();
    void checkCharacterSet();
    void applyFixes();
    void reportStop();
    /// Two whole sentences of one report line, in the translation's order and spacing.
    static QString twoSentences(const QString &first, const QString &second);

    CheckExchange m_exchange;
    QTextStream &m_out;
    QString m_device;
    /// Final while the check can go on; Lost or OutOfTime once it cannot.
    CheckReply::End m_stop = CheckReply::End::Final;
    int m_problems = 0;
    int m_warnings = 0;
    QList<Fix> m_fixes;
    CallerId m_callerId = CallerId::Absent;
    QString m_callerIdRead; ///< what the phone said of its +CLIP, for the report
};

/// The check on a real device: `com1`, or else the first of `candidates` that answers "AT" (all
/// are probed and named; serialDevices() gives them). Returns the exit status: 0 no problem, 1 a
/// problem, 2 the device (or every candidate) cannot be opened.
int checkPhone(const QString &com1, bool fix, QTextStream &out, const QStringList &candidates);
