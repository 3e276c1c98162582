// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

class Clock;
class EventPump;
class SerialLine;

/// A phone's answer to one command of the readiness check.
struct CheckReply
{
    enum class End {
        Final,     ///< a final result code arrived
        Silent,    ///< none within the command's wait
        Lost,      ///< the line closed, or the program is ending
        OutOfTime, ///< the whole check's time is used up
    };
    End end = End::Silent;
    /// The final result code in words ("OK", "BUSY", "+CME ERROR: 10"); numeric ones translated.
    QString final;
    bool numeric = false; ///< the final result came as a number (V0)
    bool echoed = false;  ///< the phone echoed the command (E1)
    QStringList info;     ///< the information lines, without echo and rings

    bool isOk() const { return end == End::Final && final == u"OK"; }
    bool isFinal() const { return end == End::Final; }
    /// The first information line that starts with `prefix` (letter case aside), the prefix and
    /// spaces cut off; a null string when there is none.
    QString value(QStringView prefix) const;
    /// What the phone answered, for the report: the final code (a common "+CME ERROR" number
    /// with its meaning), or that nothing came.
    QString describe() const;
};

/// The check's own exchange: a command is written once (never re-sent), and its answer is
/// collected until any final result code of V.250 or 3GPP TS 27.007 arrives (OK, CONNECT...,
/// NO CARRIER, ERROR, NO DIALTONE, BUSY, NO ANSWER, +CME ERROR: n, +CMS ERROR: n) or its wait
/// ends. Echoed commands and ring reports that cross the answer are set aside. Every wait ends by
/// `runEnd` on the clock, so the whole check is bounded however the phone behaves.
class CheckExchange
{
public:
    static constexpr int kPumpSliceMs = 20;
    /// Nothing a phone says to one command comes near this; a flooding line is cut.
    static constexpr qsizetype kMaxAnswer = 64 * 1024;

    CheckExchange(SerialLine &line, Clock &clock, EventPump &pump, double runEnd);

    /// Sends "AT" + `cmdat` + CR and waits up to `wait` seconds. With `numericToo`, result codes
    /// sent as numbers (V0) count as final too; only right for commands without information text.
    CheckReply ask(const QString &cmdat, double wait, bool numericToo = false);

private:
    SerialLine &m_line;
    Clock &m_clock;
    EventPump &m_pump;
    double m_runEnd;
};
