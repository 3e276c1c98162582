// SPDX-License-Identifier: GPL-3.0-or-later
#include "event_pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

QtEventPump::QtEventPump()
{
    m_wake.setSingleShot(true);
    m_wake.setTimerType(Qt::PreciseTimer);
}

QtEventPump::~QtEventPump()
{
    setBeforeSleep({});
}

void QtEventPump::setBeforeSleep(std::function<void()> handler)
{
    for (const QMetaObject::Connection &connection : m_beforeSleep)
        QObject::disconnect(connection);
    m_beforeSleep = {};
    QAbstractEventDispatcher *loop = QAbstractEventDispatcher::instance();
    if (!handler || !loop)
        return;
    // The dispatcher says so before each wait of its own, nested or not. A loop run without
    // waiting (processEvents() with a time limit, as a test's qWait() runs it) never blocks, and
    // says only that it woke: the handler runs then too, so no run of the loop goes unseen.
    m_beforeSleep = {
        QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, &m_wake, handler),
        QObject::connect(loop, &QAbstractEventDispatcher::awake, &m_wake, handler)};
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
