// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_monitor.h"

#include "caller_entry.h"
#include "phone_link/at_exchange.h"
#include "phone_link/clock.h"
#include "phone_link/event_pump.h"
#include "phone_link/serial_line.h"

#include <algorithm>
#include <cmath>

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

void CallMonitor::Timer1_Timer()
{
    if (m_inPass || m_exchange.inProgress())
        return;
    FlagGuard guard(m_inPass);
    runPass();
}

void CallMonitor::runPass()
{
    if (!(m_view.flgtok() && m_line.isOpen())) {
        m_view.setPanel2Text(QStringLiteral("Porta non aperta o occupata"));
        return;
    }

    LastInput = m_line.readAll();
    if (!LastInput.isEmpty() && !m_lineBufferOverflow)
        LineBuffer += LastInput;
    if (!LineBuffer.isEmpty())
        LineBuffer = stripFraming(std::move(LineBuffer));
    if (LineBuffer.size() > kMaxLineBuffer) {
        LineBuffer.clear();
        m_lineBufferOverflow = true;
    }

    if (m_view.flgrisp() && m_clock.seconds() > BlinkTime + kBlinkPeriod) {
        m_view.setLabel5Visible(!m_view.isLabel5Visible());
        BlinkTime = m_clock.seconds();
    }

    if (!m_lineBufferOverflow && LineBuffer == u"RING") {
        LineBuffer.clear();
        LastRingTime = m_clock.seconds();
        ++RingCount;
        m_view.setPanel2Text(QStringLiteral("Rilevata chiamata .. ") + QString::number(RingCount) +
                             QStringLiteral(" squilli"));
        return;
    }

    if (m_clock.seconds() < LastRingTime + kCallOver)
        return;

    const int squilliLimit = m_view.slider3Value();
    if (RingCount > 0 && RingCount <= squilliLimit) {
        m_view.setPanel2Text(QStringLiteral("Squillo.."));
        logCall(true);
    } else if (RingCount > squilliLimit) {
        m_view.setPanel2Text(QStringLiteral("Chiamata.."));
        logCall(false);
    }

    RingCount = 0;
    LineBuffer.clear();
    m_lineBufferOverflow = false;
}

void CallMonitor::logCall(bool squillo)
{
    CallerEntry caller{QStringLiteral("errore"), QString(), 0};
    if (m_exchange.IOP(QStringLiteral("+CPBS=MC")) == u"OK") {
        // The answer's status is not examined: whatever holds a quoted number is the caller.
        if (const auto entry = readCallerEntry(m_exchange.IOP(QStringLiteral("+CPBR=1"))))
            caller = *entry;
    }

    // A withheld caller, or a number that is not one, is logged but never dialed. The event line
    // keeps the number as the phone gave it.
    const QString dialled = numberToDial(caller);
    if (squillo && m_view.flgrisp() && caller.number != u"errore" && isDialable(dialled))
        callBack(dialled);

    const QString event =
        squillo ? QStringLiteral("Ha squillato : ") : QStringLiteral("Ha ciamato   : ");
    const QString result = squillo ? QStringLiteral("Risposto") : QStringLiteral("Non risposto");
    m_view.appendToList2(event + fitField(caller.number, kFieldWidth) + QStringLiteral(" > ") +
                         fitField(caller.name, kFieldWidth) + QStringLiteral(" = ") + result);
}

void CallMonitor::callBack(const QString &number)
{
    // Rounded to the nearest whole second, ties to even, as the call-back's timing always was:
    // the wait before dialing lasts between Slider2 - 0.5 and Slider2 + 0.5 seconds.
    CallBackStart = std::int32_t(std::nearbyint(m_clock.seconds()));
    waitPast(CallBackStart, &MonitorView::slider2Value);

    if (m_exchange.IOP(QStringLiteral("D") + number + u';') != u"OK") {
        // "BUSY", "NO CARRIER", an error, or no final result within the deadline (a phone that
        // answers only when the callee picks up): the phone may still be setting the call up,
        // and one hang-up makes sure none is left standing. Its answer changes nothing.
        m_exchange.IOP(QStringLiteral("H"));
        return;
    }

    AnswerTime = m_clock.seconds();
    waitPast(AnswerTime, &MonitorView::slider1Value);

    const bool firstHungUp = m_exchange.IOP(QStringLiteral("H")) == u"OK";
    const bool secondHungUp = m_exchange.IOP(QStringLiteral("H")) == u"OK";
    if (firstHungUp && secondHungUp) {
        m_view.setPanel2Text(QStringLiteral("Risposto a squillo.."));
        m_view.beep();
    }
}

void CallMonitor::waitPast(double start, int (MonitorView::*slider)() const)
{
    for (;;) {
        // Block until something happens (a slider moved, a click) or the wait is nearly over;
        // at least a millisecond while the clock has not yet passed the mark.
        const double left = start + (m_view.*slider)() - m_clock.seconds();
        m_pump.pumpEvents(
            left < 0 ? 0 : int(std::clamp(std::ceil(left * 1000), 1.0, double(kWaitSliceMs))));
        if (m_clock.seconds() > start + (m_view.*slider)() || m_pump.isStopping())
            return;
    }
}
