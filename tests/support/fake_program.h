// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "at_exchange.h"
#include "call_monitor.h"
#include "fake_clock.h"
#include "fake_line.h"
#include "fake_monitor_view.h"
#include "fake_pump.h"

#include <tuple>

/// The exchange and the monitor on a fake line, clock and pump, with an open line: the test is
/// the phone and the window.
template<class View = FakeMonitorView>
struct FakeProgram
{
    explicit FakeProgram(double start = 1000.0) : clock(start)
    {
        line.open(1);
        // What the phone just sent wakes the pump at once, as data on a real port does.
        pump.ready = [this, seen = 0]() mutable {
            const bool arrived = line.queuedTotal != seen;
            seen = line.queuedTotal;
            return arrived;
        };
    }

    FakeClock clock;
    FakeLine line;
    FakePump pump{clock};
    AtExchange exchange{line, clock, pump};
    View view;
    CallMonitor monitor{exchange, line, clock, pump, view};
};
