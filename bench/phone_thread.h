// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phone_sim/sim_phone.h"

#include <QMetaObject>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <utility>
#include <vector>

namespace bench {

/// The simulated phone in a thread of its own, so its timing is not the program's. It records
/// when it wrote each final answer and each ring, and when each command reached it.
class PhoneThread
{
public:
    PhoneThread();
    ~PhoneThread();
    QString device() const { return phone->devicePath(); }
    template<typename... Args>
    void call(const char *slot, Args... args)
    {
        QMetaObject::invokeMethod(phone, slot, Qt::QueuedConnection, args...);
    }
    int ringCount();
    qint64 lastRing();
    /// When `line` first reached the phone after `after` (steady ns), or 0.
    qint64 commandTime(const QString &line, qint64 after);

    SimPhone *phone = nullptr;
    std::atomic<qint64> lastFinalNs{0};
    std::atomic<int> finals{0};
    QMutex mutex;
    std::vector<qint64> rings;
    std::vector<std::pair<QString, qint64>> commands;

private:
    QTemporaryDir m_dir;
    QThread m_thread;
};

} // namespace bench
