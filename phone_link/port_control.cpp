// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_control.h"

#include "at_exchange.h"
#include "link_log.h"
#include "serial_line.h"

#include <utility>

PortControl::PortControl(SerialLine &line, AtExchange &exchange, PortView &view)
    : m_line(line), m_exchange(exchange), m_view(view)
{
    m_line.setLostHandler([this] { onLost(); });
    m_watch.setInterval(kWatchIntervalMs);
    QObject::connect(&m_watch, &QTimer::timeout, &m_watch, [this] { lookForDevice(); });
}

PortControl::~PortControl()
{
    m_line.setLostHandler({});
}

void PortControl::Command1_Click()
{
    if (m_line.isOpen()) {
        m_line.close();
        m_link = Link::Closed;
        m_sinceLost.invalidate();
        m_awaitedAtStart = false;
        m_watch.stop();
        showClosed();
    } else {
        openChosenPort(Attempt::Operator);
    }
}

void PortControl::openOrWait()
{
    if (m_line.isOpen() || openChosenPort(Attempt::Operator))
        return;
    m_link = Link::Lost;
    m_awaitedAtStart = true;
    m_sinceLost.start();
    // The line has said why it cannot open the device, once; repeated attempts stay quiet.
    qCInfo(lcLink).noquote()
        << tr("COM %1 is waited for: it opens by itself as soon as its device is there and free")
               .arg(m_commPort);
    m_watch.start();
}

bool PortControl::openChosenPort(Attempt attempt)
{
    m_commPort = m_view.isOption3Selected() ? 1 : 2;
    // A refusal is logged by the line and leaves it closed.
    if (attempt == Attempt::Watch)
        m_line.openAgain(m_commPort);
    else
        m_line.open(m_commPort);
    if (!m_line.isOpen()) {
        showClosed();
        return false;
    }
    m_watch.stop();
    m_view.setPanelText(1, QStringLiteral("CONNESSO"));
    m_view.setFrame2Enabled(false);
    startUp();
    if (m_link == Link::Open && m_sinceLost.isValid()) {
        const QString seconds = QString::number(m_sinceLost.elapsed() / 1000.0, 'f', 1);
        if (std::exchange(m_awaitedAtStart, false))
            qCInfo(lcLink).noquote()
                << tr("COM %1 is open, after %2 s of waiting for it").arg(m_commPort).arg(seconds);
        else if (attempt == Attempt::Watch)
            qCInfo(lcLink).noquote() << tr("COM %1 is back after %2 s and open again (by itself)")
                                            .arg(m_commPort)
                                            .arg(seconds);
        else
            qCInfo(lcLink).noquote()
                << tr("COM %1 is back after %2 s and open again (by the operator)")
                       .arg(m_commPort)
                       .arg(seconds);
        m_sinceLost.invalidate();
    }
    return true;
}

void PortControl::startUp()
{
    m_link = Link::StartingUp;
    ICC();
    const QString model = m_exchange.IOP(QStringLiteral("+CGMM"));
    if (!m_line.isOpen()) {
        // Lost again during the dialogue: the link already shows closed, and is watched for.
        // Closed by the operator or the program's end: nothing more to do.
        if (m_link == Link::Lost)
            m_watch.start();
        else
            m_link = Link::Closed;
        return;
    }
    m_link = Link::Open;
    m_model = model;
    m_view.setPanelText(2, QStringLiteral("CONNESSO A ") + model);
    if (m_started)
        m_started();
}

void PortControl::reopen()
{
    qCWarning(lcLink).noquote()
        << tr("COM %1 is closed and opened again: the phone does not answer").arg(m_commPort);
    m_line.close();
    m_line.openAgain(m_commPort);
    if (!m_line.isOpen()) {
        onLost();
        return;
    }
    m_link = Link::Open;
}

void PortControl::ICC()
{
    for (const char *command : {"Z", "E0", "Q0", "V1"})
        m_exchange.IOP(QString::fromLatin1(command));
}

void PortControl::showClosed()
{
    m_view.setPanelText(1, QStringLiteral("DISCONNESSO"));
    m_view.setPanelText(2, QStringLiteral(" "));
    m_view.setFrame2Enabled(true);
    if (m_shownClosed)
        m_shownClosed();
}

void PortControl::onLost()
{
    showClosed();
    if (!m_sinceLost.isValid()) {
        m_sinceLost.start();
        qCInfo(lcLink).noquote()
            << tr("COM %1 lost; it opens again by itself when the device is back").arg(m_commPort);
    }
    // A loss inside the start-up dialogue is watched for once the dialogue has returned.
    const bool inDialogue = m_link == Link::StartingUp;
    m_link = Link::Lost;
    if (!inDialogue)
        m_watch.start();
}

void PortControl::lookForDevice()
{
    if (m_line.isOpen()) { // opened by the operator in the meantime
        m_watch.stop();
        return;
    }
    const int port = m_view.isOption3Selected() ? 1 : 2;
    if (m_link != Link::Lost || !m_line.isPresent(port))
        return;
    openChosenPort(Attempt::Watch);
    if (m_link == Link::Lost && !m_line.isOpen())
        m_watch.start();
}
