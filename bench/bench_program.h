// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's parts as the in-process figures drive them: the phone session on a real
// pseudo-terminal, and a view that takes the time of what it is told.

#include "bench_support.h"
#include "call_monitor/call_monitor.h"
#include "phone_link/clock.h"
#include "tests/support/fake_monitor_view.h"
#include "tests/support/pty_program.h"

#include <QStringList>

#include <vector>

namespace bench {

/// The window as the monitor sees it (the tests' view), taking the time of what it is told.
class BenchView final : public FakeMonitorView
{
public:
    BenchView()
    {
        slider1 = 0;
        slider2 = 0;
    }
    void setPanel2Text(const QString &text) override
    {
        FakeMonitorView::setPanel2Text(text);
        if (text.startsWith(u"Rilevata chiamata .. "))
            countedNs.push_back(steadyNs());
        if (text == u"Squillo..") {
            classifiedCpu = cpuSeconds();
            classifiedNs = steadyNs();
        }
    }
    void appendToList2(const QString &line) override
    {
        FakeMonitorView::appendToList2(line);
        loggedCpu = cpuSeconds();
        loggedNs = steadyNs();
    }
    /// Drops what the view itself keeps of what it was told: its own records, not the
    /// program's memory.
    void forgetRecords()
    {
        countedNs.clear();
        panel2History.clear();
        reported.clear();
    }

    std::vector<qint64> countedNs;
    double classifiedCpu = 0, loggedCpu = 0;
    qint64 classifiedNs = 0, loggedNs = 0;
};

/// The phone session on a pseudo-terminal and the machine's clock, its pass run by Timer1 as the
/// window's is, its line open and the phone's echo off.
struct Program : BasicPtyProgram<BenchView, SteadyClock>
{
    explicit Program(const QString &device, bool ticking = true)
        : BasicPtyProgram(device, ticking ? Ticks : NoTicks)
    {
        line.open(1);
        exchange.IOP(QStringLiteral("E0"));
    }
};

} // namespace bench
