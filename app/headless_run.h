// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The run without a window (--headless), for a machine without a display and for the system
// service: the window's phone session on the real serial line, clock and event loop, with the
// journal's view in the widgets' place, under a QCoreApplication. Timer1 runs the monitor's pass
// when the phone speaks or one of the monitor's deadlines comes, as the window's does, and the run
// sleeps in between; it has no indicator to blink. At start the run does what the window's start
// options do, except that the port is always opened (COM 1, unless the start chooses COM 2) or,
// when its device is not there yet or is busy, waited for.
//
// A quit signal (SIGTERM, SIGINT, SIGHUP) ends the run as ESCI ends the window: the phone is
// reset with IOP("Z") and the run is over. A call-back standing on the line, or a dial the phone
// has not answered yet, is hung up first with IOP("H"), so that no call is left open. The signal
// may come in the middle of a wait or an exchange: the hang-up and the reset then run nested
// inside it, and the end stops every wait below them. However the phone answers, or does not,
// the run is over within kQuitLimitMs of the signal.

#include "journal_view.h"

#include "call_monitor/phone_session.h"
#include "phone_link/clock.h"
#include "phone_link/event_pump.h"

#include <QObject>
#include <QTimer>

class PortMap;

class HeadlessRun final : public QObject
{
    Q_OBJECT

public:
    /// From a quit signal to the run's end at most, whatever the phone does: a service manager
    /// waits no longer for the program than for the phone's answer.
    static constexpr int kQuitLimitMs = 1500;
    /// The exit status after SIGHUP: 128 + the signal's number, as a shell reports it. A service
    /// manager that restarts a failed run (Restart=on-failure) starts it again, and the new run
    /// reads its options anew; SIGTERM and SIGINT end it with status 0, and it stays down.
    static constexpr int kRestartStatus = 128 + 1;
    /// The status the program ends with, once ended() was emitted.
    int exitStatus() const { return m_exitStatus; }

    /// ports says which device stands for COM 1 and which for COM 2.
    HeadlessRun(const PortMap &ports, const StartState &start, QObject *parent = nullptr);
    ~HeadlessRun() override;

    JournalView &view() { return m_view; }
    PhoneSession &session() { return m_session; }

    /// Says what runs, starts Timer1 and opens the port, or waits for its device. Call it from
    /// the event loop: the port's start-up dialogue lets events run.
    void start();
    /// A quit signal came (its number): hang up a call-back, reset the phone, end.
    void quit(int signal);

signals:
    /// The run is over: the port is released and every wait has stopped; the application should
    /// leave its event loop.
    void ended();

private:
    void end();

    SteadyClock m_clock;
    QtEventPump m_pump;
    JournalView m_view;
    /// The phone session, with Timer1, which runs the call monitor's pass when there is
    /// something for it to do.
    PhoneSession m_session;
    QTimer m_quitLimit;
    bool m_quitting = false;
    int m_exitStatus = 0;
};
