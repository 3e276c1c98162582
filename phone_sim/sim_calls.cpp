// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_calls.h"

#include "sim_log.h"
#include "sim_network.h"
#include "sim_output.h"
#include "sim_profile.h"

#include <QMutexLocker>
#include <QTimer>

#include <utility>

namespace {

/// How long a call made is dialling before the far end rings.
constexpr int kDiallingMs = 1000;

void addNewest(QList<SimCalls::Caller> &list, const SimCalls::Caller &caller)
{
    list.prepend(caller);
    while (list.size() > SimCalls::kListCapacity)
        list.removeLast();
}

/// How a caller without a number is shown, by its CLI validity: 1 withheld, 2 unavailable.
const QString kHiddenCallers[] = {QString(), QStringLiteral("(withheld)"),
                                  QStringLiteral("(unavailable)")};

} // namespace

SimCalls::SimCalls(const SimProfile &profile, const SimNetwork &network, SimOutput *output,
                   QObject *parent)
    : QObject(parent), m_profile(profile), m_network(network), m_output(output),
      m_ringTimer(new QTimer(this)), m_calleeTimer(new QTimer(this)), m_alertTimer(new QTimer(this))
{
    m_calleeTimer->setSingleShot(true);
    connect(m_calleeTimer, &QTimer::timeout, this, &SimCalls::calleeActs);
    m_alertTimer->setSingleShot(true);
    m_alertTimer->setInterval(kDiallingMs);
    connect(m_alertTimer, &QTimer::timeout, this, [this] {
        if (!m_activeCall.isEmpty() && m_activeStat == 2)
            m_activeStat = 3;
    });
    connect(m_ringTimer, &QTimer::timeout, this, &SimCalls::ringTick);
}

void SimCalls::setNextCaller(const Caller &caller)
{
    m_nextCaller = caller;
}

void SimCalls::ring(int times, int intervalMs)
{
    startRinging(m_nextCaller, false, times, intervalMs);
}

void SimCalls::ringWaiting(const Caller &caller, int times, int intervalMs)
{
    startRinging(caller, true, times, intervalMs);
}

void SimCalls::startRinging(const Caller &caller, bool waits, int times, int intervalMs)
{
    if (times <= 0)
        return;
    if (const QByteArray why = whyNoRing(); !why.isEmpty()) {
        qCInfo(lcPhoneSim).noquote()
            << simStamp() << "a call from" << caller.number << "not delivered:" << why;
        return;
    }
    // A ring() during a call keeps that call ringing instead of starting another one.
    if (!m_ringing) {
        m_ringing = true;
        ++m_callId;
        m_ringIndex = 0;
        m_ringingCaller = caller;
        m_waiting = waits && !m_activeCall.isEmpty();
        m_waitingAnnounced = false;
        qCInfo(lcPhoneSim).noquote()
            << simStamp() << (m_waiting ? "waiting call from" : "incoming call from")
            << shownNumber(m_ringingCaller) << m_ringingCaller.name;
    }
    m_ringsLeft = times;
    m_ringTimer->stop();
    m_ringTimer->setInterval(qMax(0, intervalMs));
    ringTick();
    if (m_ringing && m_ringsLeft > 0)
        m_ringTimer->start();
}

void SimCalls::ringAfterCommand(const QByteArray &command, int afterMs, int times, int intervalMs)
{
    m_ringTriggers.append({command.toUpper(), qMax(0, afterMs), times, intervalMs});
}

void SimCalls::commandArrived(const QByteArray &line)
{
    const QByteArray upper = line.toUpper();
    for (qsizetype i = 0; i < m_ringTriggers.size();) {
        if (!upper.startsWith(m_ringTriggers[i].command)) {
            ++i;
            continue;
        }
        const RingTrigger trigger = m_ringTriggers.takeAt(i);
        qCInfo(lcPhoneSim).noquote()
            << simStamp() << "a call rings in" << trigger.afterMs << "ms after" << line;
        // At once, the ring is queued ahead of the command's echo and answer.
        if (trigger.afterMs == 0)
            ring(trigger.times, trigger.intervalMs);
        else
            QTimer::singleShot(trigger.afterMs, this,
                               [this, trigger] { ring(trigger.times, trigger.intervalMs); });
    }
}

void SimCalls::ringTick()
{
    if (!m_ringing || m_ringsLeft <= 0) {
        m_ringTimer->stop();
        return;
    }
    --m_ringsLeft;
    ++m_ringIndex;
    if (m_ringsLeft == 0)
        m_ringTimer->stop();
    // The network lost, or the phone hung, while the call rang: the ring goes nowhere, and the
    // call ends with its last one all the same.
    const QByteArray why = m_output->isLineUp() ? whyNoRing() : QByteArray("line down");
    if (!why.isEmpty()) {
        qCInfo(lcPhoneSim).noquote() << simStamp() << "-> RING" << m_ringIndex << '(' + why + ')';
        if (m_ringsLeft == 0)
            endIncomingCall(true);
        return;
    }
    if (m_waiting && !m_activeCall.isEmpty()) {
        waitTick();
        return;
    }
    // A phone set to answer by itself takes the call at its S0th ring: the caller is connected,
    // the call is not missed, and no further ring comes.
    const bool answersItself = m_profile.s0 > 0 && m_ringIndex >= m_profile.s0;
    if (answersItself) {
        m_ringTimer->stop();
        m_ringing = false;
        m_ringsLeft = 0;
    }
    qCInfo(lcPhoneSim).noquote() << simStamp() << "->" << (m_profile.crc ? "+CRING" : "RING")
                                 << m_ringIndex << (answersItself ? "and answered (S0)" : "");
    QByteArray bytes =
        m_profile.resultCode(m_profile.crc ? QByteArray("+CRING: VOICE") : QByteArray("RING"));
    if (m_extraCrAfterRing && bytes.endsWith("\r\n"))
        bytes.insert(bytes.size() - 1, '\r');
    if (m_profile.clip && !m_profile.quiet)
        bytes += m_profile.info({callerLine("+CLIP: ", {}, 4)});
    m_output->sendRing(bytes, m_ringIndex, m_callId);
}

void SimCalls::waitTick()
{
    // While the call made stands the caller waits: the phone says so once, with +CCWA (voice,
    // class 1) and no RING, and the rings the caller hears pass in silence.
    if (!std::exchange(m_waitingAnnounced, true) && !m_profile.quiet) {
        qCInfo(lcPhoneSim).noquote() << simStamp() << "-> +CCWA" << shownNumber(m_ringingCaller);
        m_output->sendResult(m_profile.info({callerLine("+CCWA: ", ",1", 2)}), false, {});
    }
    if (m_ringsLeft == 0)
        endIncomingCall(true);
}

QByteArray SimCalls::callerLine(const char *prefix, const QByteArray &middle,
                                int fieldsBeforeValidity) const
{
    int type = 0;
    const QByteArray number = listedNumber(m_ringingCaller.number, &type);
    QByteArray line = prefix + ('"' + number + "\"," + QByteArray::number(type)) + middle;
    // The fields between the type and the CLI validity are left empty.
    if (m_ringingCaller.validity > 0)
        line +=
            QByteArray(fieldsBeforeValidity, ',') + QByteArray::number(m_ringingCaller.validity);
    return line;
}

QString SimCalls::shownNumber(const Caller &caller)
{
    return caller.validity > 0 ? kHiddenCallers[qBound(1, caller.validity, 2)] : caller.number;
}

QByteArray SimCalls::whyNoRing() const
{
    return m_output->isHung() ? QByteArray("the phone is hung") : m_network.whyNoCalls();
}

void SimCalls::ringWentOut(int index, quint64 callId)
{
    if (m_ringing && callId == m_callId && m_ringsLeft == 0 && index == m_ringIndex)
        endIncomingCall(true);
}

void SimCalls::endIncomingCall(bool missed)
{
    m_ringTimer->stop();
    m_ringing = false;
    m_waiting = false;
    m_ringsLeft = 0;
    const QString number = shownNumber(m_ringingCaller);
    if (!missed) {
        qCInfo(lcPhoneSim).noquote() << simStamp() << "incoming call from" << number << "hung up";
        return;
    }
    // A call without a number leaves nothing to call back in the list, as on most phones.
    if (m_ringingCaller.validity > 0) {
        qCInfo(lcPhoneSim).noquote() << simStamp() << "missed call" << number << "not listed";
        return;
    }
    qCInfo(lcPhoneSim).noquote() << simStamp() << "missed call from" << number;
    QMutexLocker lock(&m_mutex);
    addNewest(m_missed, m_ringingCaller);
}

void SimCalls::setDialAnswer(DialAnswer answer, int cmeCode)
{
    m_dialAnswer = answer;
    m_dialCmeCode = qMax(0, cmeCode);
}

void SimCalls::setCallee(Callee callee, int afterMs)
{
    m_callee = callee;
    m_calleeAfterMs = qMax(0, afterMs);
}

SimCalls::DialResult SimCalls::dial(const QByteArray &number)
{
    // One call at a time.
    if (!m_activeCall.isEmpty())
        return {false, "ERROR"};
    {
        QMutexLocker lock(&m_mutex);
        addNewest(m_dialled, {QString::fromLatin1(number), QString()});
    }
    if (m_ringing && m_refuseDialWhileRinging) {
        qCInfo(lcPhoneSim).noquote()
            << simStamp() << "dial to" << number << "refused: a call is ringing in";
        return {false, "NO CARRIER"};
    }
    // Keyed by the answer, so that the order of the enum cannot shift the words.
    static const std::pair<DialAnswer, const char *> kRefusals[] = {
        {DialAnswer::Busy, "BUSY"},
        {DialAnswer::NoCarrier, "NO CARRIER"},
        {DialAnswer::NoAnswer, "NO ANSWER"},
        {DialAnswer::NoDialtone, "NO DIALTONE"},
        {DialAnswer::CmeError, "+CME ERROR: "},
    };
    if (m_dialAnswer != DialAnswer::Ok) {
        QByteArray refusal;
        for (const auto &[answer, words] : kRefusals) {
            if (answer == m_dialAnswer)
                refusal = words;
        }
        if (m_dialAnswer == DialAnswer::CmeError)
            refusal += QByteArray::number(m_dialCmeCode);
        qCInfo(lcPhoneSim).noquote() << simStamp() << "dial to" << number << "refused:" << refusal;
        return {false, refusal};
    }
    m_activeCall = QString::fromLatin1(number);
    m_activeStat = 2;
    m_alertTimer->start();
    qCInfo(lcPhoneSim).noquote() << simStamp() << "calling" << m_activeCall;
    // Under +COLP=1 the dial's result waits for the callee (with the connected line before the
    // OK); otherwise OK comes at once and how the call fares is reported on its own.
    m_dialPending = m_profile.colp == 1;
    if (m_callee != Callee::Never)
        m_calleeTimer->start(m_calleeAfterMs);
    return {true, "OK", m_dialPending};
}

void SimCalls::calleeActs()
{
    if (m_activeCall.isEmpty())
        return;
    const bool pending = std::exchange(m_dialPending, false);
    QByteArray bytes;
    QByteArray code;
    if (m_callee == Callee::Answers) {
        qCInfo(lcPhoneSim).noquote() << simStamp() << m_activeCall << "answered";
        m_alertTimer->stop();
        m_activeStat = 0;
        if (!pending)
            return;
        int type = 0;
        const QByteArray number = listedNumber(m_activeCall, &type);
        bytes = m_profile.info({"+COLP: \"" + number + "\"," + QByteArray::number(type)});
        code = "OK";
    } else {
        static const std::pair<Callee, const char *> kEnds[] = {{Callee::Busy, "BUSY"},
                                                                {Callee::NoAnswer, "NO ANSWER"},
                                                                {Callee::NoCarrier, "NO CARRIER"}};
        code.clear();
        for (const auto &[callee, words] : kEnds) {
            if (callee == m_callee)
                code = words;
        }
        qCInfo(lcPhoneSim).noquote() << simStamp() << m_activeCall << "did not answer:" << code;
        endCall();
    }
    m_output->sendResult(bytes + m_profile.resultCode(code), pending, code);
}

void SimCalls::abortDial()
{
    // The call attempt ends with NO CARRIER, the dial's final result; the line that aborted it
    // is then run as any other, so an ATH is answered OK.
    qCInfo(lcPhoneSim).noquote() << simStamp() << "dial to" << m_activeCall
                                 << "aborted by a character from the line";
    m_dialPending = false;
    endCall();
    m_output->sendResult(m_profile.resultCode("NO CARRIER"), true, "NO CARRIER");
}

void SimCalls::hangUp()
{
    // A waiting call cut with the call made is lost to its caller: a missed call.
    if (m_ringing)
        endIncomingCall(m_waiting && !m_activeCall.isEmpty());
    // Under +CVHU=1 the phone says OK and keeps the voice call up.
    if (!m_activeCall.isEmpty() && m_profile.cvhu != 1)
        endCall();
}

bool SimCalls::releaseCall(int index)
{
    if (index == 1 && !m_activeCall.isEmpty()) {
        endCall();
        return true;
    }
    if (m_ringing && index == incomingIndex()) {
        endIncomingCall(false);
        return true;
    }
    return false;
}

bool SimCalls::releaseWaitingCall()
{
    if (!m_ringing)
        return false;
    endIncomingCall(false);
    return true;
}

int SimCalls::incomingIndex() const
{
    // A call keeps its index while it lasts: a waiting call stays 2 once the call made is gone.
    return m_waiting || !m_activeCall.isEmpty() ? 2 : 1;
}

QByteArrayList SimCalls::callList() const
{
    QByteArrayList lines;
    if (!m_activeCall.isEmpty())
        lines << callLine(1, true, m_activeStat, {m_activeCall, {}});
    // A call ringing in while another one stands is a waiting call (5), else an incoming one (4).
    if (m_ringing)
        lines << callLine(incomingIndex(), false, lines.isEmpty() ? 4 : 5, m_ringingCaller);
    return lines;
}

QByteArray SimCalls::callLine(int id, bool outgoing, int stat, const Caller &caller) const
{
    int type = 0;
    const QByteArray listed = listedNumber(caller.number, &type);
    return "+CLCC: " + QByteArray::number(id) + (outgoing ? ",0," : ",1,") +
           QByteArray::number(stat) + ",0,0,\"" + listed + "\"," + QByteArray::number(type);
}

void SimCalls::endCall()
{
    m_calleeTimer->stop();
    m_alertTimer->stop();
    m_dialPending = false;
    if (m_activeCall.isEmpty())
        return;
    qCInfo(lcPhoneSim).noquote() << simStamp() << "call to" << m_activeCall << "ended";
    m_activeCall.clear();
}

void SimCalls::lineClosed()
{
    // Nobody is left to hear how the call attempt ends.
    m_dialPending = false;
    // The last RING of the call was lost with the line: the call is over all the same.
    if (m_ringing && m_ringsLeft == 0)
        endIncomingCall(true);
}

void SimCalls::setBareInternational(bool bare)
{
    m_bareInternational = bare;
}

QByteArray SimCalls::listedNumber(const QString &number, int *type) const
{
    const QByteArray bytes = number.toUtf8();
    const bool international = bytes.startsWith('+');
    // 128: no number, as for a withheld caller.
    *type = international ? 145 : bytes.isEmpty() ? 128 : 129;
    return international && m_bareInternational ? bytes.mid(1) : bytes;
}

QList<SimCalls::Caller> SimCalls::list(const QByteArray &storage) const
{
    QMutexLocker lock(&m_mutex);
    if (storage == "MC")
        return m_missed;
    if (storage == "DC")
        return m_dialled;
    return {};
}

QStringList SimCalls::missedCalls() const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const Caller &c : m_missed)
        out << c.number + QLatin1Char('|') + c.name;
    return out;
}
