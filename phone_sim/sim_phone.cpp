// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_phone.h"

#include <QMutexLocker>

#include <optional>

SimPhone::SimPhone(QObject *parent) : QObject(parent)
{
    connect(&m_pty, &SimPty::received, this, &SimPhone::onReceived);
    connect(&m_output, &SimOutput::finalWritten, this, &SimPhone::finalWritten);
    connect(&m_output, &SimOutput::ringWritten, this,
            [this](int index, quint64 callId, qint64 steadyNs) {
                m_calls.ringWentOut(index, callId);
                emit ringWritten(index, steadyNs);
            });
    m_hangTimer.setSingleShot(true);
    connect(&m_hangTimer, &QTimer::timeout, this, [this] { hang(0); });
}

SimPhone::~SimPhone()
{
    closeLine();
}

bool SimPhone::start(const QString &linkPath)
{
    if (m_pty.isOpen())
        hangUpLine();
    if (!m_pty.open(linkPath))
        return false;
    emit linePlugged(m_pty.devicePath());
    return true;
}

void SimPhone::hangUpLine()
{
    if (!m_pty.isOpen())
        return;
    closeLine();
    qCInfo(lcPhoneSim).noquote() << simStamp() << "line hung up";
    emit lineHungUp();
}

void SimPhone::closeLine()
{
    if (!m_pty.isOpen())
        return;
    m_pty.close();
    m_output.clear();
    m_reader.clear();
    m_calls.lineClosed();
}

void SimPhone::onReceived(const QByteArray &bytes, qint64 steadyNs)
{
    if (m_output.isHung()) {
        qCDebug(lcPhoneSim).noquote() << simStamp() << "hung: swallowed" << simPrintable(bytes);
        return;
    }
    // A command may unplug the line (or plug a new one): the rest of the bytes were for the old.
    const quint64 line = m_pty.generation();
    for (qsizetype i = 0; i < bytes.size() && m_pty.generation() == line; ++i) {
        const char c = bytes[i];
        // On a phone any character aborts a call still being set up; a line feed after the
        // dial's own CR is not one.
        if (m_calls.isDialPending() && c != '\n')
            m_calls.abortDial();
        if (const std::optional<QByteArray> done = m_reader.take(c))
            onLine(*done, steadyNs);
    }
}

void SimPhone::onLine(const QByteArray &rawLine, qint64 steadyNs)
{
    const std::optional<QByteArray> line = SimLineReader::commandLine(rawLine);
    if (!line)
        return;
    const QString text = QString::fromLatin1(*line);
    {
        QMutexLocker lock(&m_mutex);
        m_received << text;
    }
    qCInfo(lcPhoneSim).noquote() << simStamp() << "<-" << simPrintable(*line);
    const quint64 generation = m_pty.generation();
    m_calls.commandArrived(*line);
    emit commandReceived(text, steadyNs);
    if (m_silent || m_pty.generation() != generation)
        return;

    // The echo follows the setting in force when the line came in: "ATE0" is still echoed. The
    // result code follows the settings the line leaves: "ATQ0" is answered, "ATV0" with a number.
    const QByteArray echo = m_profile.echo ? SimLineReader::echo(*line) : QByteArray();
    const SimCommands::Answer answer = m_commands.execute(line->mid(2));
    const QByteArray result =
        answer.info + (answer.deferred ? QByteArray() : m_profile.resultCode(answer.final));
    m_output.answer(echo, result, !answer.deferred, answer.final);
    qCDebug(lcPhoneSim).noquote() << simStamp() << "->" << simPrintable(answer.info)
                                  << answer.final;
    // A command that changed the registration (AT+CFUN, AT+CPIN) has it reported after its OK.
    reportRegistration();
}

void SimPhone::reportRegistration()
{
    const std::optional<int> stat = m_network.takeRegistrationReport();
    if (!stat)
        return;
    const QByteArray report = "+CREG: " + QByteArray::number(*stat);
    qCInfo(lcPhoneSim).noquote() << simStamp() << "->" << report;
    // Framed as the rings are: an unsolicited result code.
    m_output.sendResult(m_profile.resultCode(report), false, {});
}

void SimPhone::setRadio(SimNetwork::Radio radio)
{
    m_network.setRadio(radio);
    reportRegistration();
}

void SimPhone::setSimCard(SimNetwork::Card card)
{
    m_network.setCard(card);
    reportRegistration();
}

void SimPhone::setNetwork(SimNetwork::Network network)
{
    m_network.setNetwork(network);
    reportRegistration();
}

void SimPhone::hang(int ms)
{
    m_hangTimer.stop();
    const bool hung = ms != 0;
    if (hung != m_output.isHung())
        qCInfo(lcPhoneSim).noquote()
            << simStamp() << (hung ? "hung: no answer to anything, no ring" : "answering again");
    // What the phone had heard of a line before it hung is lost with the hang.
    m_reader.clear();
    m_output.setHung(hung);
    if (ms > 0)
        m_hangTimer.start(ms);
}

QStringList SimPhone::receivedCommands() const
{
    QMutexLocker lock(&m_mutex);
    return m_received;
}

void SimPhone::sendRaw(const QByteArray &bytes)
{
    if (!m_pty.isOpen()) {
        qCWarning(lcPhoneSim) << "line is down; dropping" << bytes.size() << "raw bytes";
        return;
    }
    qCInfo(lcPhoneSim).noquote() << simStamp() << "->" << bytes.size() << "raw bytes";
    m_output.sendRaw(bytes);
}

void SimPhone::sendNotice(const QByteArray &text)
{
    qCInfo(lcPhoneSim).noquote() << simStamp() << "->" << simPrintable(text);
    m_output.sendResult(m_profile.info({text}), false, {});
}
