// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "call_monitor/phone_session.h"
#include "fake_clock.h"
#include "fake_monitor_view.h"
#include "fake_port_view.h"
#include "phone_link/event_pump.h"
#include "phone_link/qt_serial_line.h"

/// The phone session on a real device (a pseudo-terminal) and the real event loop, with fake
/// views, the monitor's pass run by Timer1 as in the window. The tests' clock
/// skips the seconds the program waits by design; the bench gives the machine's clock and a view
/// of its own.
template<class View = FakeMonitorView, class SessionClock = SkippingClock>
struct BasicPtyProgram
{
    enum Ticking { Ticks, NoTicks };

    explicit BasicPtyProgram(const QString &com1, Ticking ticking = Ticks)
        : session(
              std::make_unique<QtSerialLine>(PortMap{com1, QStringLiteral("/nonexistent/com2")}),
              clock, pump, portView, view),
          line(static_cast<QtSerialLine &>(session.line()))
    {
        if (ticking == Ticks)
            session.timer1().start();
    }

    SessionClock clock;
    QtEventPump pump;
    FakePortView portView;
    View view;
    PhoneSession session;
    QtSerialLine &line;
    AtExchange &exchange = session.exchange();
    PortControl &control = session.portControl();
    CallMonitor &monitor = session.monitor();
};

using PtyProgram = BasicPtyProgram<>;
