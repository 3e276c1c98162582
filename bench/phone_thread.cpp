// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_thread.h"

#include <QMutexLocker>

namespace bench {

PhoneThread::PhoneThread()
{
    phone = new SimPhone;
    phone->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, phone, &QObject::deleteLater);
    m_thread.start();
    bool started = false;
    QMetaObject::invokeMethod(phone, "start", Qt::BlockingQueuedConnection,
                              Q_RETURN_ARG(bool, started), Q_ARG(QString, m_dir.filePath("phone")));
    if (!started)
        qFatal("the simulated phone did not start");
    QObject::connect(
        phone, &SimPhone::finalWritten, phone,
        [this](const QByteArray &, qint64 ns) {
            lastFinalNs = ns;
            ++finals;
        },
        Qt::DirectConnection);
    QObject::connect(
        phone, &SimPhone::ringWritten, phone,
        [this](int, qint64 ns) {
            QMutexLocker lock(&mutex);
            rings.push_back(ns);
        },
        Qt::DirectConnection);
    QObject::connect(
        phone, &SimPhone::commandReceived, phone,
        [this](const QString &line, qint64 ns) {
            QMutexLocker lock(&mutex);
            commands.push_back({line, ns});
        },
        Qt::DirectConnection);
}

PhoneThread::~PhoneThread()
{
    m_thread.quit();
    m_thread.wait();
}

int PhoneThread::ringCount()
{
    QMutexLocker lock(&mutex);
    return int(rings.size());
}

qint64 PhoneThread::lastRing()
{
    QMutexLocker lock(&mutex);
    return rings.empty() ? 0 : rings.back();
}

qint64 PhoneThread::commandTime(const QString &line, qint64 after)
{
    QMutexLocker lock(&mutex);
    for (const auto &[text, ns] : commands)
        if (text == line && ns > after)
            return ns;
    return 0;
}

} // namespace bench
