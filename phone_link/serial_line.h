// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

/// The phone's serial line as the exchange and the monitor see it. Nothing is delivered unless
/// readAll() is called; a line that can tell says when there is something to read. Text is one
/// character per byte on the wire.
class SerialLine
{
public:
    virtual ~SerialLine() = default;

    /// Opens COM 1 or COM 2; false (and the line stays closed) when the device cannot be opened.
    virtual bool open(int portNumber) = 0;
    /// As open(), for an attempt that repeats one that failed: a failure already reported is
    /// not reported again, so trying once a second does not fill the log.
    virtual bool openAgain(int portNumber) { return open(portNumber); }
    /// Whether the device of COM 1 or COM 2 is there to be opened. A line that cannot tell says
    /// yes, and whoever waits for the device simply tries to open it.
    virtual bool isPresent(int portNumber) const
    {
        Q_UNUSED(portNumber);
        return true;
    }
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const QString &text) = 0;
    /// Everything received since the last call; empty when nothing is waiting.
    virtual QString readAll() = 0;

    /// Called when the line closes on its own (device unplugged, I/O failure), never on close().
    void setLostHandler(std::function<void()> handler) { m_lost = std::move(handler); }
    /// Called from the event loop when readAll() has something new to hand out (or the device
    /// something to say about itself): whoever sleeps until the phone speaks wakes on it.
    void setArrivalHandler(std::function<void()> handler) { m_arrival = std::move(handler); }

protected:
    void reportLost()
    {
        if (m_lost)
            m_lost();
    }
    void reportArrival()
    {
        if (m_arrival)
            m_arrival();
    }

private:
    std::function<void()> m_lost;
    std::function<void()> m_arrival;
};
