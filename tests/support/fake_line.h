// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phone_link/serial_line.h"

#include <QList>
#include <QStringList>

#include <functional>

/// A serial line whose far end is the test: every frame written is recorded, and what the
/// "phone" sends is queued as chunks, one chunk handed out per read.
class FakeLine final : public SerialLine
{
public:
    /// Answers each frame written; whatever it returns is queued as one chunk (none if empty).
    std::function<QString(const QString &frame)> responder;
    bool refuseOpen = false;
    /// Whether the device is plugged in: an absent one never opens.
    bool present = true;

    bool open(int portNumber) override
    {
        ++opens;
        openedPort = portNumber;
        m_open = !refuseOpen && present;
        return m_open;
    }
    bool isPresent(int) const override { return present; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void write(const QString &text) override
    {
        written << text;
        if (responder) {
            const QString answer = responder(text);
            if (!answer.isEmpty())
                queue(answer);
        }
    }
    QString readAll() override
    {
        ++reads;
        return m_chunks.isEmpty() ? QString() : m_chunks.takeFirst();
    }

    void queue(const QString &chunk)
    {
        m_chunks << chunk;
        ++queuedTotal;
    }
    /// Queues text split into pieces of `size` characters, one per read.
    void queueSplit(const QString &text, int size)
    {
        for (qsizetype i = 0; i < text.size(); i += size)
            queue(text.mid(i, size));
    }
    /// The device vanishes: the line closes on its own and says so.
    void lose()
    {
        m_open = false;
        reportLost();
    }
    bool hasQueued() const { return !m_chunks.isEmpty(); }

    QStringList written;
    int reads = 0;
    int queuedTotal = 0; ///< chunks ever queued: a new one is an event for the pump
    int openedPort = 0;
    int opens = 0; ///< open attempts, the operator's and port control's own

private:
    bool m_open = false;
    QList<QString> m_chunks;
};
