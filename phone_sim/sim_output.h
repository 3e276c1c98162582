// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <deque>

class QTimer;
class SimPty;

// Everything the phone says goes through one queue to the pty, in order: echoes, answers, rings,
// raw bytes. Answers may be cut into chunks with a pause between them and held back by an answer
// delay, as a slow phone sends them. Writing never blocks: a full pty is waited on, a budget per
// turn of the event loop keeps a flood from starving it, and a cap drops what nobody reads.
// Once the last byte of a final result or a ring is out, a signal says so, with the moment.
// A hung phone sends nothing at all: what would go out meanwhile is dropped, not held back.
class SimOutput : public QObject
{
    Q_OBJECT
public:
    explicit SimOutput(SimPty *pty, QObject *parent = nullptr);

    bool isLineUp() const;
    /// Hung, everything queued and everything sent afterwards is dropped, until it is not.
    void setHung(bool hung);
    bool isHung() const { return m_hung; }
    void setChunking(int chunkSize, int delayMs);
    void setAnswerDelay(int ms);

    /// The answer to a command line: its echo (if any) at once, then `result` after the answer
    /// delay; `finalCode` is reported when `isFinal`.
    void answer(const QByteArray &echo, const QByteArray &result, bool isFinal,
                const QByteArray &finalCode);
    /// A result that comes later on its own (how a call fares), in chunks like an answer.
    void sendResult(const QByteArray &bytes, bool isFinal, const QByteArray &finalCode);
    void sendRing(const QByteArray &bytes, int ringIndex, quint64 callId);
    void sendRaw(const QByteArray &bytes);
    /// Forgets what was queued: the line it was for is gone.
    void clear();

signals:
    void finalWritten(const QByteArray &finalCode, qint64 steadyNs);
    void ringWritten(int index, quint64 callId, qint64 steadyNs);

private:
    enum class Event { None, Final, Ring };
    struct Output
    {
        QByteArray bytes;
        int delayMs = 0;
        bool delayDone = false;
        qsizetype written = 0;
        Event event = Event::None;
        QByteArray finalCode;
        int ringIndex = 0;
        quint64 callId = 0;
    };

    void enqueueChunks(const QByteArray &bytes, int firstDelayMs, Event event,
                       const QByteArray &finalCode);
    void enqueue(Output output);
    void pump();
    /// Writes as much of `out` as the pty and `budget` allow; false if it must wait.
    bool writeOut(Output &out, qint64 &budget);

    SimPty *m_pty;
    QTimer *m_timer;
    std::deque<Output> m_queue;
    qint64 m_pendingBytes = 0;
    bool m_pumping = false;
    /// Read by the phone's getters from any thread.
    std::atomic<bool> m_hung = false;
    int m_chunkSize = 0;
    int m_chunkDelayMs = 0;
    int m_answerDelayMs = 0;
};
