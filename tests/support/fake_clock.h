// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phone_link/clock.h"

#include <algorithm>
#include <vector>

/// A clock that moves only when a test (or the fake pump) says so. Its wall clock starts at noon
/// of 8 December 2026 and moves with it. Its timers never fire by themselves: a test asks what is
/// armed, and fires what is due.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double start = 1000.0) : m_start(start), m_now(start) {}
    double seconds() const override { return m_now; }
    std::unique_ptr<ClockTimer> newTimer(std::function<void()> due) override
    {
        return std::make_unique<Timer>(*this, std::move(due));
    }
    /// The earliest moment a timer of this clock is armed for.
    std::optional<double> nextWake() const
    {
        std::optional<double> first;
        for (const Timer *timer : m_timers)
            if (timer->at && (!first || *timer->at < *first))
                first = timer->at;
        return first;
    }
    /// Fires the timers that are due now.
    void fireDue()
    {
        for (Timer *timer : std::vector<Timer *>(m_timers))
            if (timer->at && *timer->at <= m_now) {
                timer->at.reset();
                timer->due();
            }
    }
    QDateTime wallTime() const override
    {
        return QDateTime(QDate(2026, 12, 8), QTime(12, 0))
            .addMSecs(qint64((m_now - m_start) * 1000));
    }
    void advance(double seconds) { m_now += seconds; }
    void set(double seconds) { m_now = seconds; }

private:
    struct Timer final : ClockTimer
    {
        Timer(FakeClock &clock, std::function<void()> handler)
            : clock(clock), due(std::move(handler))
        {
            clock.m_timers.push_back(this);
        }
        ~Timer() override { std::erase(clock.m_timers, this); }
        void start(double moment) override { at = moment; }
        void stop() override { at.reset(); }
        std::optional<double> dueAt() const override { return at; }

        FakeClock &clock;
        std::function<void()> due;
        std::optional<double> at;
    };

    double m_start;
    double m_now;
    std::vector<Timer *> m_timers;
};

/// The machine's monotonic clock, which a test can move forward: the seconds the program waits
/// by design (a call's 8 seconds of silence, an exchange's deadline, the blinking) pass at once,
/// and everything else runs in real time, so no wait can hang. It counts its reads, so a test can
/// tell that the program has looked at it again.
class SkippingClock final : public Clock
{
public:
    double seconds() const override
    {
        ++reads;
        return m_steady.seconds() + m_skipped;
    }
    QDateTime wallTime() const override
    {
        return QDateTime::currentDateTime().addMSecs(qint64(m_skipped * 1000));
    }
    /// Timers on the real event loop, armed again when the clock skips: a deadline skipped past
    /// falls due at once.
    std::unique_ptr<ClockTimer> newTimer(std::function<void()> due) override
    {
        return std::make_unique<Timer>(*this, std::move(due));
    }
    void skip(double seconds)
    {
        m_skipped += seconds;
        for (Timer *timer : m_timers)
            timer->restart();
    }

    mutable long long reads = 0;

private:
    struct Timer final : QtClockTimer
    {
        Timer(SkippingClock &clock, std::function<void()> due)
            : QtClockTimer(clock, std::move(due)), clock(clock)
        {
            clock.m_timers.push_back(this);
        }
        ~Timer() override { std::erase(clock.m_timers, this); }
        SkippingClock &clock;
    };

    SteadyClock m_steady;
    double m_skipped = 0;
    std::vector<Timer *> m_timers;
};
