// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

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
};

/// Pumps the Qt event loop of the calling thread.
class QtEventPump final : public EventPump
{
public:
    QtEventPump();
    void pumpEvents(int maxWaitMs) override;
    bool isStopping() const override { return m_stopping; }
    void requestStop() override { m_stopping = true; }

private:
    bool m_stopping = false;
    QTimer m_wake; ///< bounds the blocking wait when nothing else happens
};
