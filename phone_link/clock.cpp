// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

std::unique_ptr<ClockTimer> Clock::newTimer(std::function<void()> due)
{
    return std::make_unique<QtClockTimer>(*this, std::move(due));
}

QtClockTimer::QtClockTimer(const Clock &clock, std::function<void()> due) : m_clock(clock)
{
    m_timer.setSingleShot(true);
    // A precise timer never fires before its interval, so the clock has reached the moment when
    // the handler runs.
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this, due = std::move(due)] {
        m_at.reset();
        due();
    });
}

void QtClockTimer::start(double at)
{
    m_at = at;
    restart();
}

void QtClockTimer::stop()
{
    m_at.reset();
    m_timer.stop();
}

void QtClockTimer::restart()
{
    if (!m_at)
        return;
    const double ms = std::ceil((*m_at - m_clock.seconds()) * 1000);
    m_timer.start(int(std::clamp(ms, 0.0, double(std::numeric_limits<int>::max()))));
}

double SteadyClock::seconds() const
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
