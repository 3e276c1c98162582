// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_session.h"

#include "phone_link/serial_line.h"

PhoneSession::PhoneSession(std::unique_ptr<SerialLine> line, Clock &clock, EventPump &pump,
                           PortView &portView, MonitorView &monitorView)
    : m_line(std::move(line)), m_exchange(*m_line, clock, pump),
      m_portControl(*m_line, m_exchange, portView),
      m_monitor(m_exchange, *m_line, clock, pump, monitorView)
{
}

PhoneSession::~PhoneSession() = default;
