// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The call-backs dialled in the last day, kept in the state folder so that a run started after a
// crash, an upgrade or a restart honours the cool-down and the hour's limit of the dials before
// it. One line a dial: the wall time it was dialled (milliseconds since the epoch), a tab, the
// number. Wall time, because the monitor's clock starts afresh with each run; a time stamp in the
// future (a clock set back, a machine without a battery-backed clock before NTP) is taken as now,
// so a jump of the clock neither lifts a cool-down nor stretches one past its length from then.
// A missing file is an empty history; a damaged one is too, and the journal says so once.

#include "call_back_cool_down.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <vector>

class Clock;
class StateFolder;

/// A call-back of an earlier run, as the monitor takes it back.
struct PastCallBack
{
    QString number;
    double secondsAgo = 0;
};

class CallBackHistory
{
    Q_DECLARE_TR_FUNCTIONS(CallBackHistory)

public:
    static constexpr const char *kFileName = "call-backs";
    /// Dials older than the longest cool-down (the hour's limit is shorter) are of no use to
    /// anyone.
    static constexpr qint64 kKeptMs = qint64(CallBackCoolDown::kMaxMinutes) * 60 * 1000;

    CallBackHistory(const StateFolder &folder, const Clock &clock);

    /// The dials of the last day, oldest first.
    std::vector<PastCallBack> load();
    /// A call-back was dialled now: kept, with the day's others, in the state folder.
    void dialled(const QString &number);

private:
    struct Dial
    {
        qint64 atMs = 0;
        QString number;
    };
    void prune(qint64 nowMs);

    const StateFolder &m_folder;
    const Clock &m_clock;
    QList<Dial> m_dials;
    bool m_toldWriteError = false;
};
