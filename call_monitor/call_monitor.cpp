// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_monitor.h"

#include "call_log/call_record.h"
#include "phone_link/at_exchange.h"
#include "phone_link/caller_entry.h"
#include "phone_link/clock.h"
#include "phone_link/event_pump.h"
#include "phone_link/serial_line.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcMonitor, "tornasquillo.monitor", QtInfoMsg)

namespace {

/// Clears a flag when the scope ends, however it ends.
class FlagGuard
{
public:
    explicit FlagGuard(bool &flag) : m_flag(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard &) = delete;
    FlagGuard &operator=(const FlagGuard &) = delete;

private:
    bool &m_flag;
};

} // namespace

CallMonitor::CallMonitor(AtExchange &exchange, SerialLine &line, Clock &clock, EventPump &pump,
                         MonitorView &view)
    : m_exchange(exchange), m_line(line), m_clock(clock), m_pump(pump), m_view(view)
{
}

void CallMonitor::setCallBackRules(const CallBackRules &rules)
{
    m_coolDown.setMinutes(rules.coolDownMinutes);
    m_numbers = rules.numbers;
    m_limit.setCallBacks(rules.limit);
}

void CallMonitor::Timer1_Timer()
{
    if (m_inPass || m_exchange.inProgress())
        return;
    FlagGuard guard(m_inPass);
    runPass();
}

std::optional<double> CallMonitor::nextPassDue() const
{
    std::optional<double> due;
    const auto consider = [&due](std::optional<double> at) {
        if (at && (!due || *at < *due))
            due = at;
    };
    if (!(m_view.flgtok() && m_line.isOpen())) {
        if (m_closedToShow)
            consider(m_clock.seconds());
    } else if (!m_endedCalls.empty()) {
        consider(m_clock.seconds());
    } else if (RingCount > 0) {
        consider(LastRingTime + kCallOver);
    } else if (m_idleWorkDue) {
        consider(m_idleWorkDue());
    }
    for (const auto &dueTime : m_dueTimes)
        consider(dueTime());
    return due;
}

void CallMonitor::addDueTime(std::function<std::optional<double>()> due)
{
    m_dueTimes.push_back(std::move(due));
}

std::optional<double> CallMonitor::blinkDue() const
{
    if (!(m_view.flgrisp() && m_view.flgtok() && m_line.isOpen()))
        return std::nullopt;
    // The label changes once the clock is past the mark, and the design's tick comes a
    // millisecond after it.
    return BlinkTime + kBlinkPeriod + kPassAfterMark;
}

void CallMonitor::ringArrived(double at)
{
    // A ring 8 seconds or more after the last one is a new call, even when no pass has yet
    // looked at the clock in between (it was busy with an earlier call).
    if (RingCount > 0 && at >= LastRingTime + kCallOver)
        endCurrentCall();
    LastRingTime = at;
    ++RingCount;
    ++m_ringsHeard;
    showRingCount();
}

void CallMonitor::showRingCount()
{
    m_view.setPanel2Text(QStringLiteral("Rilevata chiamata .. ") + QString::number(RingCount) +
                         QStringLiteral(" squilli"));
}

void CallMonitor::callerLineArrived(const QString &line, double at)
{
    // The caller line follows its ring; one that comes with no call ringing names nobody.
    if (RingCount == 0 || at >= LastRingTime + kCallOver)
        return;
    // A phone rings one call at a time: a ring that names another caller than the rings before
    // it is a new call, however soon it came (one squillo right after another).
    const std::optional<CallerEntry> before = readCallerLine(m_callerLine);
    const std::optional<CallerEntry> now = readCallerLine(line);
    if (RingCount > 1 && before && now && !isSameNumber(before->number, now->number)) {
        --RingCount;
        endCurrentCall();
        RingCount = 1;
        showRingCount();
    }
    m_callerLine = line;
}

void CallMonitor::callEndedArrived(const QString &result, double at)
{
    Q_UNUSED(at);
    // Only the call-back is a call that the phone made; with none under way the result is a
    // stray one (an earlier call's, or an incoming call's on some phones).
    if (m_callBackPhase == CallBackPhase::None) {
        qCDebug(lcMonitor) << "a call-progress result with no call-back under way:" << result;
        return;
    }
    if (m_callBackEnd.isEmpty())
        m_callBackEnd = result;
}

void CallMonitor::registrationArrived(int stat, double at)
{
    Q_UNUSED(at);
    if (m_registrationHandler)
        m_registrationHandler(stat);
}

void CallMonitor::endCurrentCall()
{
    m_endedCalls.push_back({RingCount, m_callerLine});
    RingCount = 0;
    m_callerLine.clear();
}

void CallMonitor::readLine()
{
    LastInput = m_line.readAll();
    if (LastInput.isEmpty())
        return;
    qsizetype lineStart = 0;
    if (m_lineBufferOverflow) {
        // Drop the rest of the line that overflowed, up to its end.
        const qsizetype lineFeed = LastInput.indexOf(u'\n');
        if (lineFeed < 0)
            return;
        lineStart = lineFeed + 1;
        m_lineBufferOverflow = false;
    }
    LineBuffer += QStringView(LastInput).sliced(lineStart);
    const qsizetype unfinished = takeRingReports(LineBuffer, 0, m_clock.seconds(), *this);
    // The reports (rings, caller lines, call-progress results, registrations, messages) went to
    // their handlers; the other complete lines are stray text (a waiting call's +CCWA, noise)
    // and are discarded, as they always were. A message whose text is still to come stays, so
    // that its text is never read as lines of their own; any other unfinished line is one the
    // serial line stopped holding back (it holds a line still arriving until its end comes), and
    // is stray text as well.
    const QStringView rest = QStringView(LineBuffer).sliced(unfinished);
    const bool messageArriving =
        phoneReport(rest.first(std::max<qsizetype>(0, rest.indexOf(u'\r')))) ==
        PhoneReport::Message;
    const qsizetype stray = messageArriving ? unfinished : LineBuffer.size();
    if (stray > 0 && lcMonitor().isDebugEnabled())
        qCDebug(lcMonitor) << "discarded from the phone:" << LineBuffer.first(stray);
    LineBuffer.remove(0, stray);
    if (LineBuffer.size() > kMaxLineBuffer) {
        LineBuffer.clear();
        m_lineBufferOverflow = true;
    }
}

void CallMonitor::runPass()
{
    if (!(m_view.flgtok() && m_line.isOpen())) {
        m_view.setPanel2Text(QStringLiteral("Porta non aperta o occupata"));
        m_closedToShow = false;
        return;
    }
    m_closedToShow = true; // for the next time the port closes

    const long long ringsBefore = m_ringsHeard;
    readLine();

    if (m_view.flgrisp() && m_clock.seconds() > BlinkTime + kBlinkPeriod) {
        m_view.setLabel5Visible(!m_view.isLabel5Visible());
        BlinkTime = m_clock.seconds();
    }

    // A pass that counted a ring ends there.
    if (m_ringsHeard != ringsBefore)
        return;

    // The calls that ended while an earlier one was handled come first, then the call of the
    // last rings once 8 seconds have passed without one. Handling a call takes a while, and the
    // calls that ring meanwhile are handled in the same pass once they are over.
    for (;;) {
        if (m_endedCalls.empty()) {
            if (m_clock.seconds() < LastRingTime + kCallOver)
                return;
            if (RingCount == 0)
                break;
            endCurrentCall();
        }
        const EndedCall call = m_endedCalls.front();
        m_endedCalls.pop_front();
        const int squilliLimit = m_view.slider3Value();
        if (call.rings <= squilliLimit) {
            m_view.setPanel2Text(QStringLiteral("Squillo.."));
            logCall(call, true);
        } else {
            m_view.setPanel2Text(QStringLiteral("Chiamata.."));
            logCall(call, false);
        }
    }

    // Idle: the phone may be asked about its state. A ring that crosses the question is counted
    // as it arrives, and handled by the passes after this one.
    if (m_idleWork)
        m_idleWork();
}

void CallMonitor::logCall(const EndedCall &call, bool squillo)
{
    const CallerEntry caller = lookUpCaller(call.callerLine);

    // A withheld or unknown caller is logged but never dialled, and the number dialled is judged
    // first. The event line keeps the number as the phone gave it.
    const QString dialled = numberToDial(caller);
    bool calledBack = false;
    if (squillo && m_view.flgrisp() && isKnownCaller(caller.number) && !dialled.isEmpty() &&
        mayCallBack(dialled))
        calledBack = callBack(dialled);

    const QString event =
        squillo ? QStringLiteral("Ha squillato : ") : QStringLiteral("Ha ciamato   : ");
    const QString result = squillo ? QStringLiteral("Risposto") : QStringLiteral("Non risposto");
    m_view.appendToList2(event + fitField(caller.number, kFieldWidth) + QStringLiteral(" > ") +
                         fitField(caller.name, kFieldWidth) + QStringLiteral(" = ") + result);
    m_view.reportCall({squillo, caller.number, caller.name, calledBack});
}

CallerEntry CallMonitor::lookUpCaller(const QString &callerLine)
{
    // The missed-call list's newest entry is an earlier caller's: this one gave no number.
    if (isWithheldCallerLine(callerLine)) {
        qCInfo(lcMonitor).noquote()
            << QCoreApplication::translate(
                   "CallMonitor", "the caller withheld the number, or the network did not give it: "
                                  "logged as \"%1\", and nobody is called back")
                   .arg(kWithheldCaller);
        return {kWithheldCaller, QString(), 0};
    }
    CallerEntry listed{kUnknownCaller, QString(), 0};
    if (selectMissedCalls()) {
        // The answer's status is not examined: whatever holds a quoted number is the caller.
        if (const auto entry = readCallerEntry(m_exchange.IOP(QStringLiteral("+CPBR=1"))))
            listed = *entry;
    }

    // The phone said who rang when it rang; a withheld number says nothing.
    const std::optional<CallerEntry> own = readCallerLine(callerLine);
    if (!own)
        return listed;
    if (!isKnownCaller(listed.number))
        return *own;
    if (!isSameNumber(listed.number, own->number)) {
        qCWarning(lcMonitor).noquote()
            << QCoreApplication::translate("CallMonitor",
                                           "the missed-call list's newest entry is %1 but the "
                                           "call came from %2 (its caller line); logging the "
                                           "caller line's number")
                   .arg(listed.number, own->number);
        return *own;
    }
    return listed;
}

bool CallMonitor::selectMissedCalls()
{
    if (m_exchange.IOP(QStringLiteral("+CPBS=MC")) == u"OK")
        return true;
    // 3GPP TS 27.007 writes the storage as a quoted string, and some phones take only that. A
    // phone that said ERROR is asked once more; an exchange that gave up is not.
    return !m_exchange.gaveUp() && m_exchange.IOP(QStringLiteral("+CPBS=\"MC\"")) == u"OK";
}

bool CallMonitor::mayCallBack(const QString &number)
{
    if (coolingDown(number))
        return false;
    const CallBackNumbers::Judgement judged = m_numbers.judge(number);
    QString why;
    switch (judged.verdict) {
    case CallBackNumbers::Verdict::Allowed:
        break;
    case CallBackNumbers::Verdict::NotANumber:
        why = QCoreApplication::translate("CallMonitor",
                                          "not a number a person can be called back on (only "
                                          "digits and a leading + are); it is never dialled");
        break;
    case CallBackNumbers::Verdict::Emergency:
        why = QCoreApplication::translate("CallMonitor",
                                          "an emergency number; it is never called back");
        break;
    case CallBackNumbers::Verdict::TooLong:
        why = QCoreApplication::translate("CallMonitor",
                                          "longer than the 15 digits of any phone number; it is "
                                          "never dialled");
        break;
    case CallBackNumbers::Verdict::NotListed:
        why = QCoreApplication::translate("CallMonitor", "not a number the responder calls back "
                                                         "(%1); --call-back-to adds it")
                  .arg(judged.kind);
        break;
    }
    const double left = why.isEmpty() ? m_limit.expireAndSecondsLeft(m_clock.seconds()) : 0.0;
    if (left > 0)
        why = QCoreApplication::translate("CallMonitor",
                                          "%n call-back(s) in the last hour already, as many as "
                                          "--call-back-limit allows; the next may go out at %1",
                                          nullptr, m_limit.callBacks())
                  .arg(wallTimeIn(left));
    if (why.isEmpty())
        return true;
    qCInfo(lcMonitor).noquote() << QCoreApplication::translate("CallMonitor",
                                                               "no call-back to %1: %2")
                                       .arg(onOneLine(number), why);
    return false;
}

bool CallMonitor::coolingDown(const QString &number)
{
    const double left = m_coolDown.secondsLeft(number, m_clock.seconds());
    if (left <= 0)
        return false;
    qCInfo(lcMonitor).noquote() << QCoreApplication::translate(
                                       "CallMonitor",
                                       "no call-back to %1: it was called back less than %n "
                                       "minute(s) ago; the cool-down holds it until %2",
                                       nullptr, m_coolDown.minutes())
                                       .arg(number, wallTimeIn(left));
    return true;
}

QString CallMonitor::wallTimeIn(double seconds) const
{
    // Waits run on the monitor's clock; only their end is told by the wall clock.
    const QDateTime now = m_clock.wallTime();
    const QDateTime then = now.addMSecs(qint64(std::ceil(seconds * 1000)));
    return then.toString(then.date() == now.date() ? QStringLiteral("HH:mm:ss")
                                                   : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool CallMonitor::callBack(const QString &number)
{
    // Rounded to the nearest whole second, ties to even, as the call-back's timing always was:
    // the wait before dialing lasts between Slider2 - 0.5 and Slider2 + 0.5 seconds.
    CallBackStart = std::int32_t(std::nearbyint(m_clock.seconds()));
    waitPast([this] { return CallBackStart + m_view.slider2Value(); });

    // Not over a call ringing in: many phones refuse a dial then, and the hang-up after a failed
    // dial would reject that caller. The dial waits until the call is over.
    waitPast([this] { return RingCount > 0 ? LastRingTime + kCallOver : 0.0; });

    // The number passed mayCallBack() just before the waits: it is one the operator lets the
    // responder call, not held by the cool-down, and within the hour's limit, which this counts.
    // Every dial written counts, for the cool-down as for the limit, however the phone answers.
    m_limit.dialled(m_clock.seconds());
    m_coolDown.calledBack(number, m_clock.seconds());
    if (m_dialRecorder)
        m_dialRecorder(number);
    m_callBackEnd.clear();
    m_callList = {};
    m_askCalls = m_phoneListsCalls;
    m_callBackPhase = CallBackPhase::Dialled;
    // A phone that answers a dial only when the callee picks up (+COLP=1) lets it ring no longer
    // than the call-back would stand.
    m_exchange.IOP(QStringLiteral("D") + number + u';',
                   std::max<double>(m_view.slider1Value(), kAskCallsDeadline));
    if (!m_exchange.endedWithOk()) {
        // "BUSY", "NO CARRIER", an error, or no final result in time: the phone may still be
        // setting the call up, and one hang-up makes sure none is left standing. Its answer
        // changes nothing.
        m_callBackPhase = CallBackPhase::None;
        m_exchange.IOP(QStringLiteral("H"));
        return false;
    }

    AnswerTime = m_clock.seconds();
    m_callBackPhase = CallBackPhase::Standing;
    const QString howItEnded = holdCallBack(number);

    m_callBackPhase = CallBackPhase::None;
    if (hangUpCallBack(number)) {
        m_view.setPanel2Text(QStringLiteral("Risposto a squillo.."));
        m_view.beep();
    }
    if (!howItEnded.isEmpty())
        qCInfo(lcMonitor).noquote() << howItEnded;
    return true;
}

QString CallMonitor::holdCallBack(const QString &number)
{
    const auto holdEnd = [this] { return AnswerTime + m_view.slider1Value(); };
    const auto farEndEnded = [this] { return !m_callBackEnd.isEmpty(); };
    double nextAsk = AnswerTime + kAskCallsEvery;
    CallBackProgress progress = CallBackProgress::Ringing;
    for (;;) {
        waitPast([&] { return m_askCalls ? std::min(holdEnd(), nextAsk) : holdEnd(); },
                 farEndEnded);
        if (farEndEnded() || m_pump.isStopping() || m_clock.seconds() > holdEnd())
            break;
        progress = askCallList();
        if (progress == CallBackProgress::Answered || progress == CallBackProgress::Gone)
            break;
        // Once a second from the dial on, however long the phone took to answer.
        nextAsk = std::max(nextAsk + kAskCallsEvery, m_clock.seconds());
    }

    const QString after = QString::number(m_clock.seconds() - AnswerTime, 'f', 1);
    if (progress == CallBackProgress::Answered)
        return QCoreApplication::translate("CallMonitor",
                                           "call-back to %1 answered after %2 s and hung up")
            .arg(number, after);
    if (!m_callBackEnd.isEmpty())
        return QCoreApplication::translate("CallMonitor", "call-back to %1 ended by the phone's "
                                                          "%2 after %3 s and hung up")
            .arg(number, m_callBackEnd, after);
    if (progress == CallBackProgress::Gone)
        return QCoreApplication::translate("CallMonitor", "call-back to %1 gone from the phone's "
                                                          "calls after %2 s and hung up")
            .arg(number, after);
    return QString();
}

CallBackProgress CallMonitor::askCallList()
{
    const AtAnswer answer = m_exchange.ask(QStringLiteral("+CLCC"), kAskCallsDeadline);
    if (answer.final == u"OK") {
        m_callList = readCallList(answer.info);
        return m_callList.progress;
    }
    // The line closed, or the program is ending: that says nothing of the phone.
    if (!m_line.isOpen() || m_pump.isStopping())
        return CallBackProgress::Ringing;
    // Not asked again while this call-back stands. A time-out is tried again at the next one; a
    // refusal ends the asking for the run only when a second call-back meets it too.
    m_askCalls = false;
    if (!answer.answered()) {
        qCInfo(lcMonitor).noquote()
            << QCoreApplication::translate("CallMonitor",
                                           "AT+CLCC unanswered within %1 s: the phone is asked "
                                           "for its calls again at the next call-back")
                   .arg(kAskCallsDeadline);
        return CallBackProgress::Unknown;
    }
    if (++m_callListRefusals < kCallListRefusals)
        return CallBackProgress::Unknown;
    m_phoneListsCalls = false;
    qCWarning(lcMonitor).noquote()
        << QCoreApplication::translate(
               "CallMonitor", "the phone does not list its calls (AT+CLCC answered \"%1\" at two "
                              "call-backs): a call-back that is answered stands until it is hung "
                              "up as set; AT+CLCC is not asked again until the port opens again")
               .arg(answer.final);
    return CallBackProgress::Unknown;
}

void CallMonitor::restoreCallBacks(const std::vector<PastCallBack> &past)
{
    for (const PastCallBack &callBack : past) {
        const double at = m_clock.seconds() - callBack.secondsAgo;
        m_limit.dialled(at);
        m_coolDown.calledBack(callBack.number, at);
    }
}

void CallMonitor::phoneStarted()
{
    m_phoneListsCalls = true;
    m_callListRefusals = 0;
    m_releasesOneCall.reset();
}

bool CallMonitor::releasesOneCall()
{
    if (!m_releasesOneCall) {
        const AtAnswer answer = m_exchange.ask(QStringLiteral("+CHLD=?"), kAskCallsDeadline);
        m_releasesOneCall =
            answer.final == u"OK" && answer.value(u"+CHLD:").contains(u"1x", Qt::CaseInsensitive);
    }
    return *m_releasesOneCall;
}

bool CallMonitor::hangUpCallBack(const QString &number)
{
    // A call that rang in meanwhile is not the call-back's: only the call-back is released.
    if (m_callList.anotherRings && m_callList.ownIndex > 0) {
        if (releasesOneCall())
            return m_exchange.IOP(QStringLiteral("+CHLD=1%1").arg(m_callList.ownIndex)) == u"OK";
        qCWarning(lcMonitor).noquote()
            << QCoreApplication::translate(
                   "CallMonitor",
                   "a call rang in while the call-back to %1 stood, and the phone cannot "
                   "release one call alone (AT+CHLD=1x): the hang-up (ATH) cut it too")
                   .arg(number);
    }
    const bool firstHungUp = m_exchange.IOP(QStringLiteral("H")) == u"OK";
    const bool secondHungUp = m_exchange.IOP(QStringLiteral("H")) == u"OK";
    return firstHungUp && secondHungUp;
}

void CallMonitor::waitPast(const std::function<double()> &mark, const std::function<bool()> &over)
{
    // A wait whose mark has passed already does not pump at all.
    while (m_clock.seconds() <= mark() && !m_pump.isStopping()) {
        if (over && over())
            return;
        // Block until something happens (a byte from the phone, a slider moved, a click) or the
        // wait is nearly over; at least a millisecond while the clock has not yet passed the mark.
        const double left = mark() - m_clock.seconds();
        m_pump.pumpEvents(int(std::clamp(std::ceil(left * 1000), 1.0, double(kWaitSliceMs))));
        // A call may ring in meanwhile: its rings are counted as they come.
        if (m_line.isOpen())
            readLine();
    }
}
