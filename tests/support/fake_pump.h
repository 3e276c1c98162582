// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fake_clock.h"
#include "phone_link/event_pump.h"

#include <functional>

/// An event pump that runs no real events: each call lets the test's hook run (a nested
/// handler, a slider moved, a port closed) and moves the fake clock on by the time the caller
/// was prepared to block, so long waits cost a test no real time.
class FakePump final : public EventPump
{
public:
    explicit FakePump(FakeClock &clock) : m_clock(clock) {}

    std::function<void()> onPump;
    /// Whether something arrived since the last pump (new data on the line): then the pump
    /// returns at once, as the real one does, and no time passes.
    std::function<bool()> ready;
    /// What the program asked to run before the loop waits, as the real loop runs it.
    std::function<void()> beforeSleep;

    void pumpEvents(int maxWaitMs) override
    {
        ++calls;
        totalWaitMs += maxWaitMs;
        if (onPump)
            onPump();
        if (beforeSleep && maxWaitMs > 0)
            beforeSleep();
        if (!(ready && ready()))
            m_clock.advance(maxWaitMs / 1000.0);
    }

    bool isStopping() const override { return stopping; }
    void requestStop() override { stopping = true; }
    void setBeforeSleep(std::function<void()> handler) override
    {
        beforeSleep = std::move(handler);
    }

    bool stopping = false;
    int calls = 0;
    long long totalWaitMs = 0;

private:
    FakeClock &m_clock;
};
