// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's parts as the in-process figures drive them: the phone session on a real
// pseudo-terminal, and a view that takes the time of what it is told.

#include "bench_support.h"
#include "call_monitor/call_monitor.h"
#include "phone_link/clock.h"
#include "tests/support/pty_program.h"

#include <QStringList>

#include <vector>

namespace bench {

/// The window as the monitor sees it, taking the time of what it is told.
class BenchView final : public MonitorView
{
public:
    bool flgtok() const override { return true; }
    bool flgrisp() const override { return risp; }
    int slider1Value() const override { return slider1; }
    int slider2Value() const override { return slider2; }
    int slider3Value() const override { return 1; }
    void setPanel2Text(const QString &text) override
    {
        if (text.startsWith(u"Rilevata chiamata .. "))
            countedNs.push_back(steadyNs());
        if (text == u"Squillo..") {
            classifiedCpu = cpuSeconds();
            classifiedNs = steadyNs();
        }
    }
    bool isLabel5Visible() const override { return label5; }
    void setLabel5Visible(bool visible) override { label5 = visible; }
    void appendToList2(const QString &line) override
    {
        lines << line;
        loggedCpu = cpuSeconds();
        loggedNs = steadyNs();
    }
    void beep() override {}

    bool risp = false;
    bool label5 = false;
    int slider1 = 0;
    int slider2 = 0;
    std::vector<qint64> countedNs;
    QStringList lines;
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
