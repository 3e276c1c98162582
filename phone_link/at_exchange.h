// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The AT command exchange: every conversation of the program's with the phone (the start-up
// dialogue, the monitor's lookup and call-back, ESCI's reset) goes through IOP; only the phone
// check (phone_check/) writes its commands itself, framed by atFrame(), because it never re-sends
// and waits for more final result codes. IOP frames one command as "AT" + command + CR, writes it,
// and collects the phone's answer until a final result code (CR LF "OK" CR LF or CR LF "ERROR"
// CR LF, in any letter case) is in the buffer. The deadline is taken once, 20 seconds from the
// start: a phone silent until then gets the command again up to 100 times, back to back (each
// wait has nothing left of the deadline), and the exchange then answers "ERROR", about 20 seconds
// after it began. A question (ask()) and a dial are written once. A dial is the exception here:
// it is written once and answers "ERROR" at the deadline, because on a phone any character aborts
// a call being set up and a second dial can put the first call on hold, so re-sending it would
// call the number over and over. The collected answer is cleaned of its framing by ForDat's
// routine.
//
// The exchange blocks its caller but pumps events on every pass of its wait, so the window's
// other handlers (and nested exchanges) run meanwhile. A call may ring in during any exchange:
// each complete ring report that arrives with the answer is taken out of it and handed to the
// ring sink the session gave, so a dial answered with a "RING" before its "OK" is still "OK". The
// answer ends at its final result code: a ring that has only begun to arrive after it is left to
// whoever reads the line next.

#include <QString>
#include <QStringList>
#include <QStringView>

class Clock;
class EventPump;
class RingSink;
class SerialLine;

/// Strips the framing around a text from the phone: spaces (only spaces) at both ends, then one
/// CR LF at the start and one at the end.
QString stripFraming(QString text);

/// The frame of a command on the wire: "AT", the command without spaces around it, and one CR
/// (no line feed).
QString atFrame(const QString &cmdat);

/// Whether a command is a dial ("D" or "d" first, spaces around it ignored).
bool isDialCommand(const QString &cmdat);

/// Cleans an answer in place and returns it: strips spaces at both ends, one CR LF at each end,
/// and (unless the answer is exactly "OK" or "ERROR") the 6 characters CR LF CR LF "OK" that
/// separate an information line from its final result.
QString ForDat(QString &TMP3TxT);

/// The answer to a question (AtExchange::ask): its final result code in words ("OK",
/// "+CME ERROR: 10"), empty when none came, and the information lines before it.
struct AtAnswer
{
    QString final;
    QStringList info;

    bool answered() const { return !final.isEmpty(); }
    /// The first information line that starts with `prefix` (letter case aside), the prefix and
    /// spaces cut off; a null string when there is none.
    QString value(QStringView prefix) const;
};

class AtExchange
{
public:
    static constexpr double kDeadline = 20.0;    ///< seconds from IOP's start, taken once
    static constexpr int kRetransmitLimit = 100; ///< re-sends after the deadline, then "ERROR"
    static constexpr int kPumpSliceMs = 5;       ///< longest block between two looks at the port
    /// An answer is never longer than a few hundred characters; a line that floods the exchange
    /// keeps only this much of its latest text.
    static constexpr int kMaxAnswer = 64 * 1024;

    AtExchange(SerialLine &line, Clock &clock, EventPump &pump);

    /// Sends one command and returns its cleaned answer; "ERROR" when the port is closed (at once,
    /// nothing written), closes during the exchange, or the phone never gives a final result
    /// (for a dial: none within the deadline, which the phone's "BUSY" or "NO CARRIER" is not).
    QString IOP(const QString &cmdat);
    /// As IOP, for a question whose wait must stay short (one asked while a call-back stands):
    /// written once, and "ERROR" (gaveUp()) when no final result came within `deadline` seconds.
    QString IOP(const QString &cmdat, double deadline);

    /// A question about the phone's state, asked while nothing else is under way: written once,
    /// and over at any final result code of V.250 or 3GPP TS 27.007 ("+CME ERROR: 10" as much as
    /// "OK"), or at `deadline` seconds with none (gaveUp()). Ring reports go to the sink as in
    /// IOP.
    AtAnswer ask(const QString &cmdat, double deadline);

    /// True while an exchange (or one nested inside it) is waiting for the phone.
    bool inProgress() const { return m_depth > 0; }
    /// True while a dial waits for its answer: the phone may be setting a call up, and whoever
    /// ends the program meanwhile hangs it up first.
    bool isDialing() const { return m_dials > 0; }

    /// Whether the last exchange ended without a final result from the phone (port closed, line
    /// lost, no answer in time): its "ERROR" is the exchange's, not the phone's.
    bool gaveUp() const { return m_gaveUp; }
    /// Whether the last exchange ended with the phone's OK (its last final result code), however
    /// its answer reads otherwise: an echo or a report of the phone's inside it changes nothing.
    bool endedWithOk() const { return m_endedWithOk; }

    /// Where ring reports found in an answer go; without a sink they stay in the answer.
    void setRingSink(RingSink *sink) { m_ringSink = sink; }

private:
    /// How a wait for the answer ended; Abandoned: the line closed or the program is ending.
    enum class Wait { Final, Expired, Abandoned };
    /// Which final result codes end an answer: OK and ERROR (IOP), or any (a question).
    enum class Finals { OkOrError, Any };
    /// Writes the command, re-sent after each expiry when `resend`, and returns its answer as it
    /// came, up to its final result code; `answered` tells whether one came.
    QString exchange(const QString &cmdat, double deadline, bool resend, Finals finals,
                     bool &answered);
    Wait collectAnswer(double deadline, Finals finals, QString &buffer);

    SerialLine &m_line;
    Clock &m_clock;
    EventPump &m_pump;
    RingSink *m_ringSink = nullptr;
    int m_depth = 0;
    int m_dials = 0; ///< dials under way, counting those below a nested exchange
    bool m_gaveUp = false;
    bool m_endedWithOk = false;
};
