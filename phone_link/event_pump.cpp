// SPDX-License-Identifier: GPL-3.0-or-later
#include "event_pump.h"

#include <QCoreApplication>

QtEventPump::QtEventPump()
{
    m_wake.setSingleShot(true);
    m_wake.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::pumpEvents(int maxWaitMs)
{
    if (m_stopping)
        return;
    if (maxWaitMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The wake timer is an event source of its own: processEvents() returns at the latest when
    // it fires, and earlier when anything else (port data, input, another timer) arrives.
    m_wake.start(maxWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    m_wake.stop();
}
