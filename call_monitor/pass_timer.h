// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Timer1 of a program that sleeps while nothing happens. It runs the monitor's pass when the pass
// has something to do, and at no other time: when the line has news (bytes from the phone, a held
// line released, the device gone), and when the monitor's next due time comes (nextPassDue(),
// armed on the clock's own timer). It is armed again each time the event loop is about to sleep,
// so whatever a handler changed meanwhile (a ring read by an exchange, the port opened or closed,
// the responder switched on) is seen before the loop sleeps. While a pass or an exchange is under
// way it stays unarmed: their waits read the line and look at the clock themselves, and when they
// return to the loop it is armed again.

#include <functional>
#include <memory>
#include <optional>

class AtExchange;
class CallMonitor;
class Clock;
class ClockTimer;
class EventPump;
class PhoneSession;
class SerialLine;

class PassTimer
{
public:
    /// Runs `pass` (the handler of the owner's Timer1, which runs the monitor's pass) for the
    /// session's monitor, on the clock's timers and the pump's loop.
    PassTimer(PhoneSession &session, Clock &clock, EventPump &pump, std::function<void()> pass);
    ~PassTimer();
    PassTimer(const PassTimer &) = delete;
    PassTimer &operator=(const PassTimer &) = delete;

    /// The first pass comes at once, then each one when it is due.
    void start();
    void stop();
    bool isActive() const { return m_active; }
    /// When the next pass is armed for, on the clock.
    std::optional<double> dueAt() const;

private:
    /// Arms the clock's timer for the next pass: at once when the line has news, else at the
    /// monitor's next due time; not at all while a pass or an exchange is under way.
    void arm();
    void fire();
    bool busy() const;

    CallMonitor &m_monitor;
    AtExchange &m_exchange;
    SerialLine &m_line;
    Clock &m_clock;
    EventPump &m_pump;
    std::function<void()> m_pass;
    std::unique_ptr<ClockTimer> m_timer;
    bool m_active = false;
    /// The line has had news since the last pass.
    bool m_news = false;
};
