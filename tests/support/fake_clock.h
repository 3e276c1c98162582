// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phone_link/clock.h"

/// A clock that moves only when a test (or the fake pump) says so. Its wall clock starts at noon
/// of 8 December 2026 and moves with it.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double start = 1000.0) : m_start(start), m_now(start) {}
    double seconds() const override { return m_now; }
    QDateTime wallTime() const override
    {
        return QDateTime(QDate(2026, 12, 8), QTime(12, 0))
            .addMSecs(qint64((m_now - m_start) * 1000));
    }
    void advance(double seconds) { m_now += seconds; }
    void set(double seconds) { m_now = seconds; }

private:
    double m_start;
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
    QDateTime wallTime() const override
    {
        return QDateTime::currentDateTime().addMSecs(qint64(m_skipped * 1000));
    }
    void skip(double seconds) { m_skipped += seconds; }

    mutable long long reads = 0;

private:
    SteadyClock m_steady;
    double m_skipped = 0;
};
