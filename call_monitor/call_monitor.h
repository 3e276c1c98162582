// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The call monitor. Each tick of the window's timer runs one pass: it reads what the phone
// sent, counts the phone's "RING" reports, and once 8 seconds pass without one it classifies
// the call by its ring count (a squillo when it rang at most Slider3 times), reads the caller
// from the phone's missed-call list, calls a squillo back when the responder is on, and appends
// one line to the event list. A pass that calls back blocks for the two waits and the exchanges
// while events keep being pumped; no further pass starts until it ends.

#include <QString>

#include <cstdint>

class AtExchange;
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
};

class CallMonitor
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

private:
    void runPass();
    void logCall(bool squillo);
    void callBack(const QString &number);
    /// Pumps events until the clock is past start + the slider's value, read on every look.
    void waitPast(double start, int (MonitorView::*slider)() const);

    AtExchange &m_exchange;
    SerialLine &m_line;
    Clock &m_clock;
    EventPump &m_pump;
    MonitorView &m_view;
    bool m_inPass = false;

    /// LastInput: the chunk read from the port on this tick.
    QString LastInput;
    /// LineBuffer: the phone's text accumulated between passes, framing stripped.
    QString LineBuffer;
    /// Set when LineBuffer outgrew kMaxLineBuffer: its text can no longer be a "RING".
    bool m_lineBufferOverflow = false;
    /// RingCount: "RING" reports of the current call.
    int RingCount = 0;
    /// LastRingTime: when the last "RING" was seen.
    double LastRingTime = 0;
    /// BlinkTime: when Label5 last changed.
    double BlinkTime = 0;
    /// AnswerTime: when the phone accepted the call-back.
    double AnswerTime = 0;
    /// CallBackStart: the clock rounded to a whole second when the wait before calling back began.
    std::int32_t CallBackStart = 0;
};
