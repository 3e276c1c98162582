// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "at_exchange.h"
#include "call_monitor.h"
#include "clock.h"
#include "event_pump.h"
#include "fake_monitor_view.h"
#include "fake_port_view.h"
#include "port_control.h"
#include "qt_serial_line.h"

#include <QTimer>

/// The program's link and monitor on a real device (a pseudo-terminal), with fake views, the
/// monitor ticking every millisecond as the window's timer makes it.
struct PtyProgram
{
    enum Ticking { Ticks, NoTicks };

    explicit PtyProgram(const QString &com1, Ticking ticking = Ticks)
        : line(PortMap{com1, QStringLiteral("/nonexistent/com2")})
    {
        timer.setInterval(1);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] { monitor.Timer1_Timer(); });
        if (ticking == Ticks)
            timer.start();
    }

    QtSerialLine line;
    SteadyClock clock;
    QtEventPump pump;
    AtExchange exchange{line, clock, pump};
    FakePortView portView;
    PortControl control{line, exchange, portView};
    FakeMonitorView view;
    CallMonitor monitor{exchange, line, clock, pump, view};
    QTimer timer;
};
