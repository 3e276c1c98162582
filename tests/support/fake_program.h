// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "call_monitor/phone_session.h"
#include "fake_clock.h"
#include "fake_line.h"
#include "fake_monitor_view.h"
#include "fake_port_view.h"
#include "fake_pump.h"

/// The phone session on a fake line, clock and pump: the test is the phone and the window. The
/// line starts open (port 1), as the monitor finds it, or closed, as port control finds it.
template<class View = FakeMonitorView>
struct FakeProgram
{
    enum LineAtStart { Opened, Closed };

    explicit FakeProgram(double start = 1000.0, LineAtStart atStart = Opened) : clock(start)
    {
        if (atStart == Opened)
            line.open(1);
        // What the phone just sent wakes the pump at once, as data on a real port does.
        pump.ready = [this, seen = 0]() mutable {
            const bool arrived = line.queuedTotal != seen;
            seen = line.queuedTotal;
            return arrived;
        };
    }

    FakeClock clock;
    FakePump pump{clock};
    View view;
    FakePortView portView;
    PhoneSession session{std::make_unique<FakeLine>(), clock, pump, portView, view};
    FakeLine &line = static_cast<FakeLine &>(session.line());
    AtExchange &exchange = session.exchange();
    PortControl &control = session.portControl();
    CallMonitor &monitor = session.monitor();

    /// The phone reports a ring, and the monitor's next tick comes.
    void ring()
    {
        line.queue(QStringLiteral("\r\nRING\r\n"));
        monitor.Timer1_Timer();
    }
    /// Lets `seconds` pass, the monitor ticking every `step`.
    void run(double seconds, double step = 0.1)
    {
        const double end = clock.seconds() + seconds;
        while (clock.seconds() < end) {
            clock.advance(step);
            monitor.Timer1_Timer();
        }
    }
};
