// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The call monitor. Each tick of the window's timer runs one pass: it reads what the phone
// sent, counts the phone's "RING" reports, and once 8 seconds pass without one it classifies
// the call by its ring count (a squillo when it rang at most Slider3 times), reads the caller
// from the phone's missed-call list, calls a squillo back when the responder is on, and appends
// one line to the event list. A pass that calls back blocks for the two waits and the exchanges
// while events keep being pumped; no further pass starts until it ends.
//
// Calls overlap: a second caller may ring while the first is looked up or called back. Whoever
// reads the line meanwhile (an exchange, the waits around the call-back) hands each ring over
// with the moment it arrived, and the monitor counts it for the call ringing now, not the one
// being handled. A call that ends while another is handled waits its turn; calls are logged in
// the order they came. A call-back is not dialled while a call rings in, and a caller line that
// came with the rings names the caller when the missed-call list cannot.
//
// With a cool-down set, a number called back less than that long ago is not called back again;
// its line is logged all the same, and the journal says why no call-back went out and until when.

#include "call_back_cool_down.h"
#include "call_log/handled_call.h"
#include "phone_link/ring_reports.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <functional>

class AtExchange;
struct CallerEntry;
class Clock;
class EventPump;
class SerialLine;

/// What the monitor reads and writes in the window.
class MonitorView
{
public:
    virtual ~MonitorView() = default;
    /// Monitor enable flag, set when the window loads.
    virtual bool flgtok() const = 0;
    /// Responder active.
    virtual bool flgrisp() const = 0;
    /// Slider1: seconds the call-back stands before it is hung up.
    virtual int slider1Value() const = 0;
    /// Slider2: seconds after the call before calling back.
    virtual int slider2Value() const = 0;
    /// Slider3: the largest ring count that is still a squillo.
    virtual int slider3Value() const = 0;
    virtual void setPanel2Text(const QString &text) = 0;
    /// Label5 is the blinking "!ATTIVO!" indicator.
    virtual bool isLabel5Visible() const = 0;
    virtual void setLabel5Visible(bool visible) = 0;
    /// List2 is the event list.
    virtual void appendToList2(const QString &line) = 0;
    virtual void beep() = 0;
    /// The call whose line was just appended, as facts; a view that tells of calls elsewhere (the
    /// desktop's notifications) takes them from here.
    virtual void reportCall(const HandledCall &call) { (void)call; }
};

class CallMonitor final : public RingSink
{
public:
    static constexpr double kCallOver = 8.0;    ///< seconds without "RING" that end a call
    static constexpr double kBlinkPeriod = 1.0; ///< Label5 changes at most this often
    static constexpr int kFieldWidth = 15;      ///< number and name columns of an event line
    static constexpr int kWaitSliceMs = 50;     ///< longest block between two looks at the clock
    /// A call's text never comes near this; a flooding phone cannot grow LineBuffer past it.
    static constexpr qsizetype kMaxLineBuffer = 64 * 1024;

    CallMonitor(AtExchange &exchange, SerialLine &line, Clock &clock, EventPump &pump,
                MonitorView &view);

    /// One monitoring pass. Does nothing while a pass or any exchange is still under way (the
    /// timer keeps ticking inside their waits, and the exchange owns the port until it returns).
    void Timer1_Timer();

    bool isPassRunning() const { return m_inPass; }
    /// Whether a call-back stands on the line: from the phone's OK to its dial until the
    /// hang-up. Whoever ends the program meanwhile hangs it up first, so no call is left open.
    bool isCallBackStanding() const { return m_callBackStanding; }

    /// Minutes in which a number called back is not called back again; 0 (the default): none.
    void setCoolDown(int minutes) { m_coolDown.setMinutes(minutes); }

    /// Counts a ring, read by the pass or handed over by whoever else read it.
    void ringArrived(double at) override;
    /// Keeps the caller line of the call ringing now.
    void callerLineArrived(const QString &line, double at) override;

private:
    /// A call whose rings are over, waiting to be classified, looked up and logged.
    struct EndedCall
    {
        int rings = 0;
        QString callerLine; ///< the last +CLIP line that came with its rings, if any
    };

    void runPass();
    /// Reads what the phone sent: the rings are counted, an unfinished line stays in LineBuffer.
    void readLine();
    /// Panel 2: "Rilevata chiamata .. " with RingCount.
    void showRingCount();
    /// The call ringing now is over: it leaves RingCount for the queue of ended calls.
    void endCurrentCall();
    void logCall(const EndedCall &call, bool squillo);
    /// The caller as the missed-call list and the call's own caller line give it.
    CallerEntry lookUpCaller(const QString &callerLine);
    bool selectMissedCalls();
    /// Whether the cool-down holds the number back; the journal says until when.
    bool coolingDown(const QString &number);
    /// True when the phone accepted the dial.
    bool callBack(const QString &number);
    /// Pumps events and reads the line until the clock is past the mark, asked on every look.
    void waitPast(const std::function<double()> &mark);

    AtExchange &m_exchange;
    SerialLine &m_line;
    Clock &m_clock;
    EventPump &m_pump;
    MonitorView &m_view;
    bool m_inPass = false;

    /// LastInput: the chunk read from the port on this tick.
    QString LastInput;
    /// LineBuffer: the phone's line still arriving; the complete lines before it have been
    /// looked at for rings.
    QString LineBuffer;
    /// Set when a line outgrew kMaxLineBuffer: the rest of it, up to its end, can no longer be a
    /// ring and is dropped.
    bool m_lineBufferOverflow = false;
    /// RingCount: rings of the call ringing now.
    int RingCount = 0;
    /// LastRingTime: when the last ring arrived.
    double LastRingTime = 0;
    /// The caller line of the call ringing now.
    QString m_callerLine;
    /// Rings counted so far, of every call.
    long long m_ringsHeard = 0;
    /// Calls whose rings are over and that are not logged yet, oldest first.
    std::deque<EndedCall> m_endedCalls;
    /// BlinkTime: when Label5 last changed.
    double BlinkTime = 0;
    /// AnswerTime: when the phone accepted the call-back.
    double AnswerTime = 0;
    /// CallBackStart: the clock rounded to a whole second when the wait before calling back began.
    std::int32_t CallBackStart = 0;
    CallBackCoolDown m_coolDown;
    bool m_callBackStanding = false;
};
