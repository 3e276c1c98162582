// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

#include <array>
#include <functional>

/// Lets the program's other handlers run while an exchange or a wait blocks its caller.
class EventPump
{
public:
    virtual ~EventPump() = default;
    /// Runs the events that are pending. When none are, blocks until one arrives (a byte on the
    /// port, a click, a timer) or maxWaitMs has passed, so a waiting loop never spins.
    virtual void pumpEvents(int maxWaitMs) = 0;
    /// True once the program is ending: waits stop waiting, so the exit is not held up by a
    /// call-back that was counting down its seconds.
    virtual bool isStopping() const = 0;
    /// Called when the program ends; from then on pumpEvents() returns at once.
    virtual void requestStop() = 0;
    /// Runs `handler` each time the event loop is about to wait for events (in a wait of the
    /// program's or in the application's own loop), and each time it runs without waiting: the
    /// moment to say when it must wake next.
    virtual void setBeforeSleep(std::function<void()> handler) = 0;
};

/// Pumps the Qt event loop of the calling thread.
class QtEventPump final : public EventPump
{
public:
    QtEventPump();
    ~QtEventPump() override;
    void pumpEvents(int maxWaitMs) override;
    bool isStopping() const override { return m_stopping; }
    void requestStop() override { m_stopping = true; }
    void setBeforeSleep(std::function<void()> handler) override;

private:
    bool m_stopping = false;
    QTimer m_wake; ///< bounds the blocking wait when nothing else happens
    std::array<QMetaObject::Connection, 2> m_beforeSleep;
};
