// SPDX-License-Identifier: GPL-3.0-or-later
#include "headless_run.h"

#include "app_log.h"
#include "phone_link/port_map.h"
#include "phone_link/qt_serial_line.h"
#include "quit_signals.h"

#include <csignal>
#include <utility>

HeadlessRun::HeadlessRun(const PortMap &ports, const StartState &start, QObject *parent)
    : QObject(parent), m_view(start),
      m_session(std::make_unique<QtSerialLine>(ports), m_clock, m_pump, m_view, m_view)
{
    m_view.listEventsOf(m_session);
    m_quitLimit.setSingleShot(true);
    m_quitLimit.setTimerType(Qt::PreciseTimer);
    connect(&m_quitLimit, &QTimer::timeout, this, [this] {
        qCWarning(lcApp).noquote()
            << tr("the phone did not answer within %1 s of the quit signal; the program ends "
                  "without its answer")
                   .arg(kQuitLimitMs / 1000.0);
        end();
    });
}

HeadlessRun::~HeadlessRun() = default;

void HeadlessRun::start()
{
    const int port = m_view.port();
    if (m_view.flgrisp())
        qCInfo(lcApp).noquote()
            << tr("no window: COM %1 is opened and watched, and the responder is on (call-back "
                  "%2 s after a squillo, hung up after %3 s; a squillo rings at most %n "
                  "time(s)); SIGTERM ends the program as ESCI does",
                  nullptr, m_view.slider3Value())
                   .arg(port)
                   .arg(m_view.slider2Value())
                   .arg(m_view.slider1Value());
    else
        qCInfo(lcApp).noquote()
            << tr("no window: COM %1 is opened and watched, and the responder is off: no squillo "
                  "is called back; SIGTERM ends the program as ESCI does")
                   .arg(port);
    m_session.timer1().start();
    m_session.portControl().openOrWait();
}

void HeadlessRun::quit(int signal)
{
    // A second signal changes nothing: the first one's end is under way, and bounded.
    if (std::exchange(m_quitting, true) || m_session.hasEnded())
        return;
    m_quitLimit.start(kQuitLimitMs);
    m_exitStatus = signal == SIGHUP ? kRestartStatus : 0;
    const QString name = quitSignalName(signal);
    AtExchange &exchange = m_session.exchange();
    if (m_session.monitor().isCallBackStanding() || exchange.isDialing()) {
        const QString answer = exchange.IOP(QStringLiteral("H"));
        qCInfo(lcApp).noquote()
            << tr("%1: a call-back stood on the line; its hang-up answered %2").arg(name, answer);
    }
    const QString answer = exchange.IOP(QStringLiteral("Z"));
    qCInfo(lcApp).noquote() << tr("%1: the phone's reset answered %2").arg(name, answer);
    end();
}

void HeadlessRun::end()
{
    m_quitLimit.stop();
    // Waits and exchanges still running below the quit return at once, as after ESCI.
    if (m_session.end())
        emit ended();
}
