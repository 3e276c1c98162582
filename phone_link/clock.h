// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class Clock;

/// A single-shot wake-up at a moment of a clock: how the program sleeps until its next deadline
/// instead of looking at the clock over and over. It calls its handler once, from the event loop,
/// when the clock reads the moment or later.
class ClockTimer
{
public:
    virtual ~ClockTimer() = default;
    /// Arms the timer for `at` (the clock's seconds), replacing the moment armed before; a moment
    /// already past is due at once.
    virtual void start(double at) = 0;
    virtual void stop() = 0;
    /// The moment armed, while the timer has not fired.
    virtual std::optional<double> dueAt() const = 0;
};

/// Seconds on a clock that only moves forward. Deadlines and waits are measured on it, so an
/// exchange or a call-back that spans midnight (or a change of the wall clock) lasts as long as
/// it should.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double seconds() const = 0;
    /// The wall clock's time, to tell a person when something happened or will happen; nothing
    /// is measured on it.
    virtual QDateTime wallTime() const = 0;
    /// A timer on this clock that calls `due`. The clock's seconds must pass as the machine's
    /// monotonic clock does; a clock that moves otherwise gives timers of its own.
    virtual std::unique_ptr<ClockTimer> newTimer(std::function<void()> due);
};

/// A clock timer on a precise Qt timer, for a clock whose seconds pass in real time.
class QtClockTimer : public ClockTimer
{
public:
    QtClockTimer(const Clock &clock, std::function<void()> due);
    void start(double at) override;
    void stop() override;
    std::optional<double> dueAt() const override { return m_at; }

    /// Arms the Qt timer again for the moment armed, after the clock jumped.
    void restart();

private:
    const Clock &m_clock;
    QTimer m_timer;
    std::optional<double> m_at;
};

/// The machine's monotonic clock.
class SteadyClock final : public Clock
{
public:
    double seconds() const override;
    QDateTime wallTime() const override { return QDateTime::currentDateTime(); }
};
