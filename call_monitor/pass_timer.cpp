// SPDX-License-Identifier: GPL-3.0-or-later
#include "pass_timer.h"

#include "phone_link/clock.h"
#include "phone_link/event_pump.h"
#include "phone_link/serial_line.h"
#include "phone_session.h"

PassTimer::PassTimer(PhoneSession &session, Clock &clock, EventPump &pump,
                     std::function<void()> pass)
    : m_monitor(session.monitor()), m_exchange(session.exchange()), m_line(session.line()),
      m_clock(clock), m_pump(pump), m_pass(std::move(pass)),
      m_timer(clock.newTimer([this] { fire(); }))
{
    m_line.setArrivalHandler([this] {
        m_news = true;
        arm();
    });
    m_pump.setBeforeSleep([this] { arm(); });
}

PassTimer::~PassTimer()
{
    m_pump.setBeforeSleep({});
    m_line.setArrivalHandler({});
}

void PassTimer::start()
{
    m_active = true;
    m_news = true;
    arm();
}

void PassTimer::stop()
{
    m_active = false;
    m_timer->stop();
}

std::optional<double> PassTimer::dueAt() const
{
    return m_timer->dueAt();
}

bool PassTimer::busy() const
{
    // The pass does nothing meanwhile; the exchange owns the port until it returns.
    return m_monitor.isPassRunning() || m_exchange.inProgress();
}

void PassTimer::arm()
{
    const std::optional<double> due = !m_active || busy() ? std::nullopt
                                      : m_news            ? std::optional<double>(m_clock.seconds())
                                                          : m_monitor.nextPassDue();
    const std::optional<double> armed = m_timer->dueAt();
    // Armed for a moment already come, the timer is due as it is; armed later than needed, it is
    // moved (and a wake-up earlier than needed is a pass that finds nothing to do).
    if (!due)
        m_timer->stop();
    else if (!armed || *due < *armed || (*due > *armed && *armed > m_clock.seconds()))
        m_timer->start(*due);
}

void PassTimer::fire()
{
    if (!m_active || busy())
        return;
    m_news = false;
    m_pass();
    arm();
}
