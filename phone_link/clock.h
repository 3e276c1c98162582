// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

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
};

/// The machine's monotonic clock.
class SteadyClock final : public Clock
{
public:
    double seconds() const override;
    QDateTime wallTime() const override { return QDateTime::currentDateTime(); }
};
