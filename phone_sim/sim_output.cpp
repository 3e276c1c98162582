// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_output.h"

#include "sim_log.h"
#include "sim_pty.h"

#include <QTimer>

#include <utility>

namespace {
// Caps what may wait for a reader that never comes, so an unread pty cannot eat the memory.
constexpr qint64 kMaxPendingBytes = 64 * 1024 * 1024;
// Bytes written per turn of the event loop, so a fast reader of a flood cannot starve it.
constexpr qint64 kWriteBudget = 64 * 1024;
} // namespace

SimOutput::SimOutput(SimPty *pty, QObject *parent)
    : QObject(parent), m_pty(pty), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (!m_queue.empty())
            m_queue.front().delayDone = true;
        pump();
    });
    connect(pty, &SimPty::writable, this, &SimOutput::pump);
}

bool SimOutput::isLineUp() const
{
    return m_pty->isOpen();
}

void SimOutput::setHung(bool hung)
{
    m_hung = hung;
    if (hung)
        clear();
}

void SimOutput::setChunking(int chunkSize, int delayMs)
{
    m_chunkSize = qMax(0, chunkSize);
    m_chunkDelayMs = qMax(0, delayMs);
}

void SimOutput::setAnswerDelay(int ms)
{
    m_answerDelayMs = qMax(0, ms);
}

void SimOutput::answer(const QByteArray &echo, const QByteArray &result, bool isFinal,
                       const QByteArray &finalCode)
{
    if (!echo.isEmpty())
        enqueueChunks(echo, 0, Event::None, {});
    // The result is the next chunk after the echo's: the same pause comes before it.
    int resultDelay = m_answerDelayMs;
    if (resultDelay == 0 && !echo.isEmpty() && m_chunkSize > 0)
        resultDelay = m_chunkDelayMs;
    enqueueChunks(result, resultDelay, isFinal ? Event::Final : Event::None, finalCode);
}

void SimOutput::sendResult(const QByteArray &bytes, bool isFinal, const QByteArray &finalCode)
{
    enqueueChunks(bytes, 0, isFinal ? Event::Final : Event::None, finalCode);
}

void SimOutput::sendRing(const QByteArray &bytes, int ringIndex, quint64 callId)
{
    Output out;
    out.bytes = bytes;
    out.event = Event::Ring;
    out.ringIndex = ringIndex;
    out.callId = callId;
    enqueue(std::move(out));
}

void SimOutput::sendRaw(const QByteArray &bytes)
{
    Output out;
    out.bytes = bytes;
    enqueue(std::move(out));
}

void SimOutput::clear()
{
    m_timer->stop();
    m_queue.clear();
    m_pendingBytes = 0;
}

void SimOutput::enqueueChunks(const QByteArray &bytes, int firstDelayMs, Event event,
                              const QByteArray &finalCode)
{
    const qsizetype piece = m_chunkSize > 0 ? m_chunkSize : bytes.size();
    for (qsizetype offset = 0; offset < bytes.size(); offset += piece) {
        Output out;
        out.bytes = bytes.mid(offset, piece);
        out.delayMs = offset == 0 ? firstDelayMs : m_chunkDelayMs;
        if (offset + piece >= bytes.size()) {
            out.event = event;
            out.finalCode = finalCode;
        }
        enqueue(std::move(out));
    }
}

void SimOutput::enqueue(Output output)
{
    if (!m_pty->isOpen() || m_hung)
        return;
    if (m_pendingBytes + output.bytes.size() > kMaxPendingBytes) {
        qCWarning(lcPhoneSim) << "nobody reads the line:" << m_pendingBytes
                              << "bytes waiting; dropping" << output.bytes.size() << "more";
        return;
    }
    m_pendingBytes += output.bytes.size();
    m_queue.push_back(std::move(output));
    pump();
}

void SimOutput::pump()
{
    // Signals emitted below may call back into us; the loop picks up whatever they queued.
    if (m_pumping)
        return;
    m_pumping = true;
    qint64 budget = kWriteBudget;
    while (!m_queue.empty() && m_pty->isOpen()) {
        Output &out = m_queue.front();
        if (out.delayMs > 0 && !out.delayDone) {
            if (!m_timer->isActive())
                m_timer->start(out.delayMs);
            break;
        }
        if (!writeOut(out, budget))
            break;
        const qint64 ns = simSteadyNs();
        const Output done = std::move(out);
        m_queue.pop_front();
        if (done.event == Event::Final)
            emit finalWritten(done.finalCode, ns);
        else if (done.event == Event::Ring)
            emit ringWritten(done.ringIndex, done.callId, ns);
    }
    m_pumping = false;
}

bool SimOutput::writeOut(Output &out, qint64 &budget)
{
    while (out.written < out.bytes.size()) {
        if (budget <= 0) {
            m_pty->waitWritable();
            return false;
        }
        const qint64 n =
            m_pty->write(out.bytes.constData() + out.written, out.bytes.size() - out.written);
        if (n == 0)
            return false;
        if (n < 0) {
            m_queue.clear();
            m_pendingBytes = 0;
            return false;
        }
        out.written += n;
        m_pendingBytes -= n;
        budget -= n;
    }
    return true;
}
