// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"

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
