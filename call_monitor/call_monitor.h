// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The call monitor. Each run of the window's Timer1 is one pass: it reads what the phone
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
// Before every dial the number is judged: a number that is not one the responder calls back
// (a service code, an emergency, foreign or premium-rate number, by default), one called back
// less than the cool-down ago, or one past the hour's call-back limit is not called back. Its
// line is logged all the same, and the journal says why no call-back went out and how to allow
// it. A call-back that is answered, rejected or gone from the phone's calls is hung up at once.
//
// Between passes nothing needs looking at but the line and the clock: nextPassDue() says when the
// next pass has something to do (a call's 8 seconds over, an ended call waiting its turn, a closed
// port to report), so whoever drives the monitor can sleep until then or until the phone speaks.
// Others whose work runs in the pass add their own due times with addDueTime().

#include "call_back_cool_down.h"
#include "call_back_history.h"
#include "call_back_limit.h"
#include "call_back_numbers.h"
#include "call_list.h"
#include "call_log/handled_call.h"
#include "phone_link/phone_reports.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

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

/// The operator's limits on the call-backs, as the command line gives them.
struct CallBackRules
{
    /// Minutes in which a number called back is not called back again; 0: no cool-down.
    int coolDownMinutes = CallBackCoolDown::kDefaultMinutes;
    /// The numbers the responder calls back; ordinary Italian numbers by default.
    CallBackNumbers numbers;
    /// At most this many call-backs in any hour; 0: no limit.
    int limit = 0;
};

class CallMonitor final : public RingSink
{
public:
    static constexpr double kCallOver = 8.0;    ///< seconds without "RING" that end a call
    static constexpr double kBlinkPeriod = 1.0; ///< Label5 changes at most this often
    static constexpr int kFieldWidth = 15;      ///< number and name columns of an event line
    static constexpr int kWaitSliceMs = 50;     ///< longest block between two looks at the clock
    /// A pass that waits for the clock to be past a mark comes this long after it, as the
    /// design's tick did.
    static constexpr double kPassAfterMark = 0.001;
    /// While a call-back stands, the phone is asked for its calls this often, from this long
    /// after the dial (a phone may not list a call it has only just begun to set up).
    static constexpr double kAskCallsEvery = 1.0;
    /// A phone answers AT+CLCC at once; one that has not within this long does not list calls.
    static constexpr double kAskCallsDeadline = 2.0;
    /// Call-backs whose AT+CLCC the phone refused, after which it is not asked again.
    static constexpr int kCallListRefusals = 2;
    /// A message's text never comes near this; a flooding phone cannot grow LineBuffer past it.
    static constexpr qsizetype kMaxLineBuffer = 64 * 1024;

    CallMonitor(AtExchange &exchange, SerialLine &line, Clock &clock, EventPump &pump,
                MonitorView &view);

    /// One monitoring pass. Does nothing while a pass or any exchange is still under way (the
    /// timer keeps ticking inside their waits, and the exchange owns the port until it returns).
    void Timer1_Timer();

    bool isPassRunning() const { return m_inPass; }

    /// When, on the monitor's clock, the next pass has something to do, if ever: the earliest of
    /// the monitor's own deadlines and of the due times added. A moment already past means now.
    /// Between two passes nothing else changes what a pass does, except what the phone sends.
    std::optional<double> nextPassDue() const;
    /// A due time of someone whose work runs in the pass (a question asked from the idle pass):
    /// `due` is asked by every nextPassDue(), on the monitor's clock; empty while nothing is due.
    void addDueTime(std::function<std::optional<double>()> due);
    /// When the next pass changes Label5, while the responder is on and the port open. Only the
    /// window adds it to the due times: a run without one shows no indicator.
    std::optional<double> blinkDue() const;
    /// Port control has written over panel 2 with the port closed: the next pass says again that
    /// the port is not open.
    void portShownClosed() { m_closedToShow = true; }
    /// Whether a call-back stands on the line: from the phone's OK to its dial until the
    /// hang-up. Whoever ends the program meanwhile hangs it up first, so no call is left open.
    bool isCallBackStanding() const { return m_callBackPhase == CallBackPhase::Standing; }

    void setCallBackRules(const CallBackRules &rules);
    /// The start-up dialogue has run: what the monitor learnt of the phone is learnt again.
    void phoneStarted();
    /// The call-backs of earlier runs count for the cool-down and the hour's limit, as if dialled
    /// by this one (after setCallBackRules()); oldest first.
    void restoreCallBacks(const std::vector<PastCallBack> &past);
    /// Told of every dial written, for the runs after this one.
    void setDialRecorder(std::function<void(const QString &number)> recorder)
    {
        m_dialRecorder = std::move(recorder);
    }
    /// What an idle pass does besides reading the line (no call counted, none waiting to be
    /// handled, no call-back under way): the phone watch's next question, and when it is due.
    /// That due time counts only while the monitor is idle: a call ringing puts it off.
    void setIdleWork(std::function<void()> work, std::function<std::optional<double>()> due)
    {
        m_idleWork = std::move(work);
        m_idleWorkDue = std::move(due);
    }
    /// Where the phone's registration reports go.
    void setRegistrationHandler(std::function<void(int)> handler)
    {
        m_registrationHandler = std::move(handler);
    }

    /// Counts a ring, read by the pass or handed over by whoever else read it.
    void ringArrived(double at) override;
    /// Keeps the caller line of the call ringing now.
    void callerLineArrived(const QString &line, double at) override;
    /// Ends the hold of a call-back whose far end hung up, rejected it or let it ring out.
    void callEndedArrived(const QString &result, double at) override;
    /// Hands the report to the registration handler.
    void registrationArrived(int stat, double at) override;

private:
    /// Where the call-back is: none, dialled (the phone has not accepted it yet), or standing.
    enum class CallBackPhase { None, Dialled, Standing };

    /// A call whose rings are over, waiting to be classified, looked up and logged.
    struct EndedCall
    {
        int rings = 0;
        QString callerLine; ///< the last +CLIP line that came with its rings, if any
    };

    void runPass();
    /// Reads what the phone sent: the reports are handed on, and a message whose text is still
    /// to come stays in LineBuffer; the rest is discarded.
    void readLine();
    /// Panel 2: "Rilevata chiamata .. " with RingCount.
    void showRingCount();
    /// The call ringing now is over: it leaves RingCount for the queue of ended calls.
    void endCurrentCall();
    void logCall(const EndedCall &call, bool squillo);
    /// The caller as the missed-call list and the call's own caller line give it.
    CallerEntry lookUpCaller(const QString &callerLine);
    bool selectMissedCalls();
    /// Whether the number may be called back now; the journal says why not and how to allow it.
    bool mayCallBack(const QString &number);
    /// Whether the cool-down holds the number back; the journal says until when.
    bool coolingDown(const QString &number);
    /// The wall clock's time `seconds` from now, as a person reads it.
    QString wallTimeIn(double seconds) const;
    /// True when the phone accepted the dial.
    bool callBack(const QString &number);
    /// Lets the call-back stand Slider1 seconds, or until it is answered or over; says, for the
    /// journal, how it ended when that was before Slider1.
    QString holdCallBack(const QString &number);
    /// The phone's list of calls, or Unknown when it gave none this time.
    CallBackProgress askCallList();
    /// Ends the call-back: the designed two ATH, or only its own call when another rings in and
    /// the phone can release one call (AT+CHLD=1x). True when the phone said OK.
    bool hangUpCallBack(const QString &number);
    /// Whether the phone releases one call alone (AT+CHLD=? lists 1x); asked once a start.
    bool releasesOneCall();
    /// Pumps events and reads the line until the clock is past the mark, asked on every look, or
    /// until `over` says the wait is over.
    void waitPast(const std::function<double()> &mark, const std::function<bool()> &over = {});

    AtExchange &m_exchange;
    SerialLine &m_line;
    Clock &m_clock;
    EventPump &m_pump;
    MonitorView &m_view;
    bool m_inPass = false;
    /// Panel 2 does not say yet that the port is closed (or the monitor stopped).
    bool m_closedToShow = true;
    std::vector<std::function<std::optional<double>()>> m_dueTimes;

    /// LastInput: the chunk read from the port on this tick.
    QString LastInput;
    /// LineBuffer: a message whose text is still to come. A line still arriving is the serial
    /// line's to hold back, for every reader of the line alike; the monitor keeps no half line.
    QString LineBuffer;
    /// Set when a message outgrew kMaxLineBuffer: the rest of its line, up to its end, is dropped.
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
    CallBackNumbers m_numbers;
    CallBackLimit m_limit;
    CallBackPhase m_callBackPhase = CallBackPhase::None;
    /// The call-progress result that ended the call-back, once one has arrived.
    QString m_callBackEnd;
    /// Cleared when the phone refused AT+CLCC at two call-backs: it is not asked again until
    /// the port opens again.
    bool m_phoneListsCalls = true;
    int m_callListRefusals = 0;
    /// Whether the call-back that stands is still asked for the calls.
    bool m_askCalls = true;
    /// The phone's list of calls as the call-back's hold last read it.
    CallList m_callList;
    std::optional<bool> m_releasesOneCall;
    std::function<void(const QString &)> m_dialRecorder;
    std::function<void()> m_idleWork;
    std::function<std::optional<double>()> m_idleWorkDue;
    std::function<void(int)> m_registrationHandler;
};
