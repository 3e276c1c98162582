// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_control.h"

#include "at_exchange.h"
#include "serial_line.h"

PortControl::PortControl(SerialLine &line, AtExchange &exchange, PortView &view)
    : m_line(line), m_exchange(exchange), m_view(view)
{
    m_line.setLostHandler([this] { showClosed(); });
}

void PortControl::Command1_Click()
{
    if (!m_line.isOpen())
        m_commPort = m_view.isOption3Selected() ? 1 : 2;

    if (m_line.isOpen())
        m_line.close();
    else
        m_line.open(m_commPort); // a refusal is logged by the line and leaves it closed

    if (m_line.isOpen()) {
        m_view.setPanelText(1, QStringLiteral("CONNESSO"));
        m_view.setFrame2Enabled(false);
        ICC();
        m_view.setPanelText(2, QStringLiteral("CONNESSO A ") +
                                   m_exchange.IOP(QStringLiteral("+CGMM")));
    } else {
        showClosed();
    }
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
}
