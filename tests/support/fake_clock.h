// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phone_link/clock.h"

/// A clock that moves only when a test (or the fake pump) says so.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double start = 1000.0) : m_now(start) {}
    double seconds() const override { return m_now; }
    void advance(double seconds) { m_now += seconds; }
    void set(double seconds) { m_now = seconds; }

private:
    double m_now;
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
    void skip(double seconds) { m_skipped += seconds; }

    mutable long long reads = 0;

private:
    SteadyClock m_steady;
    double m_skipped = 0;
};
