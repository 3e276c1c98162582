// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One phone session: the serial line, the AT exchange over it, port control (the open/close
// button, the start-up dialogue and the watch for a lost device), the call monitor and the phone
// watch (can calls arrive?), put together once. It is handed the line (which it keeps), the clock,
// the event pump and the two views; the window gives it the real line, clock and event loop, the
// tests and the bench give it theirs. Nothing else wires these four together. The exchange hands
// the ring reports it reads to the monitor, which the link itself never knows; the monitor's idle
// passes ask the phone watch's questions, after each start-up dialogue.
//
// The session also holds what every owner of it does alike: Timer1, which runs the monitor's
// pass; the end, which stops every wait and releases the port; and the listing of an event line
// in the journal. The window and the run without one keep only what is theirs: the widgets, or
// the journal's view and the quit signals.
//
// The parts are built in the order they use each other and taken apart in the reverse order: the
// line goes last, and port control takes its lost-handler back from the line when it goes, so a
// line that closes while the session is taken apart calls nothing that is gone.

#include "call_log/call_record.h"
#include "call_monitor.h"
#include "pass_timer.h"
#include "phone_link/at_exchange.h"
#include "phone_link/phone_watch.h"
#include "phone_link/port_control.h"

#include <memory>

class CallBackHistory;
class Clock;
class StateFolder;
class EventPump;
class SerialLine;

class PhoneSession
{
public:
    PhoneSession(std::unique_ptr<SerialLine> line, Clock &clock, EventPump &pump,
                 PortView &portView, MonitorView &monitorView);
    ~PhoneSession();

    PhoneSession(const PhoneSession &) = delete;
    PhoneSession &operator=(const PhoneSession &) = delete;

    SerialLine &line() { return *m_line; }
    AtExchange &exchange() { return m_exchange; }
    PortControl &portControl() { return m_portControl; }
    CallMonitor &monitor() { return m_monitor; }
    PhoneWatch &phoneWatch() { return m_watch; }
    /// Keeps the call-backs dialled in `folder`, and takes back those of earlier runs: call it
    /// once the monitor has its rules.
    void keepCallBacksIn(const StateFolder &folder);

    /// Timer1: runs the monitor's pass (Timer1_Timer) when the phone speaks or one of the
    /// monitor's deadlines comes, and lets the program sleep in between. The owner starts it
    /// once its view is ready.
    PassTimer &timer1() { return Timer1; }
    /// Ends the session, once: Timer1 stops, the waits and exchanges still running below the
    /// caller return at once (a call-back's seconds are not waited for), and the port is
    /// released. False when it had ended already.
    bool end();
    bool hasEnded() const { return m_ended; }
    /// Lists an event line outside the view: its record, stamped with the clock's wall time,
    /// goes to the journal. The view shows the line and hands the record on.
    CallRecord listEvent(const QString &line) const;

private:
    std::unique_ptr<SerialLine> m_line;
    AtExchange m_exchange;
    PortControl m_portControl;
    CallMonitor m_monitor;
    PhoneWatch m_watch;
    PassTimer Timer1;
    Clock &m_clock;
    EventPump &m_pump;
    std::unique_ptr<CallBackHistory> m_history;
    bool m_ended = false;
};
