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

#include <QList>
#include <QString>
#include <QStringList>

class Clock;
class EventPump;
class QTextStream;
class SerialLine;

class PhoneCheck
{
public:
    static constexpr double kAnswerWait = 3.0; ///< seconds a command may take to answer
    static constexpr double kProbeWait = 1.0;  ///< the same while looking for the phone's port
    static constexpr double kRunLimit = 30.0;  ///< seconds for the whole run

    /// `device` names the port in the report; every wait ends by `runEnd` on `clock`.
    PhoneCheck(SerialLine &line, Clock &clock, EventPump &pump, QTextStream &out,
               const QString &device, double runEnd);

    /// Whether anything that talks AT is on the line: "AT", then "ATQ0" in case its result codes
    /// are off. Reports what it found unless `quiet`.
    bool answersAt(double wait, bool quiet);

    /// The whole check; with `fix`, then the fixes and the check again. Returns the exit status:
    /// 0 when nothing is a problem, 1 otherwise.
    int run(bool fix);

private:
    enum class Level { Ok, Warning, Problem };
    struct Fix
    {
        QString command; ///< without "AT"
        QString what;
    };

    CheckReply ask(const QString &cmdat, bool numericToo = false);
    /// True once the line is gone or the time is up: nothing more can be asked.
    bool stopped() const { return m_stop != CheckReply::End::Final; }
    void say(Level level, const QString &text, const QString &fixCommand = {},
             const QString &fixWhat = {});

    bool checkAfterReset(bool first);
    void checkIdentity();
    void checkMissedCalls();
    /// The settings read as one number each (ring reports, dialling, auto-answer, errors).
    void checkSettings();
    struct Setting;
    void checkSetting(const Setting &setting, const CheckReply &reply);
    void checkHangUp(const CheckReply &cvhu);
    void checkNetwork();
    void checkCharacterSet();
    void applyFixes();
    void reportStop();

    CheckExchange m_exchange;
    QTextStream &m_out;
    QString m_device;
    /// Final while the check can go on; Lost or OutOfTime once it cannot.
    CheckReply::End m_stop = CheckReply::End::Final;
    int m_problems = 0;
    int m_warnings = 0;
    QList<Fix> m_fixes;
};

/// The check on a real device: `com1`, or else the first of `candidates` that answers "AT" (all
/// are probed and named; serialDevices() gives them). Returns the exit status: 0 no problem, 1 a
/// problem, 2 the device (or every candidate) cannot be opened.
int checkPhone(const QString &com1, bool fix, QTextStream &out, const QStringList &candidates);
