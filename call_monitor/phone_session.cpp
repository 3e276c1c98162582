// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_session.h"

#include "call_back_history.h"
#include "phone_link/clock.h"
#include "phone_link/event_pump.h"
#include "phone_link/serial_line.h"

#include <utility>

PhoneSession::PhoneSession(std::unique_ptr<SerialLine> line, Clock &clock, EventPump &pump,
                           PortView &portView, MonitorView &monitorView)
    : m_line(std::move(line)), m_exchange(*m_line, clock, pump),
      m_portControl(*m_line, m_exchange, portView),
      m_monitor(m_exchange, *m_line, clock, pump, monitorView),
      m_watch(m_exchange, *m_line, clock, pump, m_portControl, portView),
      Timer1(*this, clock, pump, [this] { m_monitor.Timer1_Timer(); }), m_clock(clock), m_pump(pump)
{
    // Rings that arrive inside an exchange are the monitor's, whoever started the exchange.
    m_exchange.setRingSink(&m_monitor);
    m_portControl.setStartedHandler([this] {
        m_monitor.phoneStarted();
        m_watch.started();
    });
    m_monitor.setIdleWork([this] { m_watch.idle(); }, [this] { return m_watch.nextQuestionDue(); });
    m_monitor.setRegistrationHandler([this](int stat) { m_watch.registrationArrived(stat); });
    // Port control writes over panel 2 when it shows the link closed; the monitor's next pass
    // says again that the port is not open.
    m_portControl.setShownClosedHandler([this] { m_monitor.portShownClosed(); });
}

void PhoneSession::keepCallBacksIn(const StateFolder &folder)
{
    m_history = std::make_unique<CallBackHistory>(folder, m_clock);
    m_monitor.restoreCallBacks(m_history->load());
    m_monitor.setDialRecorder([this](const QString &number) { m_history->dialled(number); });
}

bool PhoneSession::end()
{
    if (std::exchange(m_ended, true))
        return false;
    Timer1.stop();
    m_pump.requestStop();
    m_line->close();
    return true;
}

CallRecord PhoneSession::listEvent(const QString &line) const
{
    const CallRecord record = CallRecord::of(line, m_clock.wallTime());
    journalCall(record);
    return record;
}

PhoneSession::~PhoneSession()
{
    m_monitor.setDialRecorder({});
    m_portControl.setStartedHandler({});
}
