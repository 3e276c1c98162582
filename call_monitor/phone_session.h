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
// The parts are built in the order they use each other and taken apart in the reverse order: the
// line goes last, and port control takes its lost-handler back from the line when it goes, so a
// line that closes while the session is taken apart calls nothing that is gone.

#include "call_monitor.h"
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

private:
    std::unique_ptr<SerialLine> m_line;
    AtExchange m_exchange;
    PortControl m_portControl;
    CallMonitor m_monitor;
    PhoneWatch m_watch;
    Clock &m_clock;
    std::unique_ptr<CallBackHistory> m_history;
};
