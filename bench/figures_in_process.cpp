// SPDX-License-Identifier: GPL-3.0-or-later
#include "figures_in_process.h"

#include "bench_program.h"
#include "bench_support.h"
#include "phone_thread.h"
#include "tests/support/fake_program.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <memory>
#include <tuple>
#include <vector>

namespace bench {

namespace {

/// Main-thread CPU share over `seconds` of an open, idle line.
double idleShare(Program &program, int seconds)
{
    Q_UNUSED(program);
    const double cpu0 = cpuSeconds();
    const qint64 t0 = steadyNs();
    waitMs(seconds * 1000);
    return (cpuSeconds() - cpu0) / ((steadyNs() - t0) / 1e9);
}

} // namespace

void benchExchange(int count)
{
    std::fprintf(stderr, "exchange: %d exchanges\n", count);
    PhoneThread phone;
    Program program(phone.device(), false);
    std::vector<double> latency;
    for (int i = 0; i < count; ++i) {
        const int before = phone.finals;
        program.exchange.IOP(QStringLiteral("+CGMM"));
        const qint64 returned = steadyNs();
        while (phone.finals == before) // the phone's thread records the write just after it
            QThread::yieldCurrentThread();
        latency.push_back((returned - phone.lastFinalNs) / 1e6);
    }
    report(QStringLiteral("final \"OK\" written -> IOP returns, median"),
           ms(percentile(latency, 50)), QStringLiteral("< 1 ms"));
    report(QStringLiteral("final \"OK\" written -> IOP returns, p99"), ms(percentile(latency, 99)),
           QStringLiteral("< 5 ms"));
}

void benchRing(int count)
{
    std::fprintf(stderr, "ring: %d rings\n", count);
    PhoneThread phone;
    Program program(phone.device());
    phone.call("ring", Q_ARG(int, count), Q_ARG(int, 40));
    waitFor(
        [&] { return int(program.view.countedNs.size()) >= count && phone.ringCount() >= count; },
        count * 40 + 10000);
    std::vector<double> latency;
    {
        QMutexLocker lock(&phone.mutex);
        for (size_t i = 0; i < program.view.countedNs.size() && i < phone.rings.size(); ++i)
            latency.push_back((program.view.countedNs[i] - phone.rings[i]) / 1e6);
    }
    report(QStringLiteral("\"RING\" written -> counted in panel 2, median"),
           ms(percentile(latency, 50)));
    report(QStringLiteral("\"RING\" written -> counted in panel 2, p99"),
           ms(percentile(latency, 99)), QStringLiteral("p99 < 5 ms"));
    report(QStringLiteral("rings counted / written"),
           QStringLiteral("%1 / %2").arg(program.view.countedNs.size()).arg(phone.ringCount()));
}

void benchLookup(int calls)
{
    std::fprintf(stderr, "lookup: %d calls of 8+ s each\n", calls);
    PhoneThread phone;
    Program program(phone.device());
    std::vector<double> delay;
    for (int i = 0; i < calls; ++i) {
        const int lines = program.view.list2.size();
        phone.call("ring", Q_ARG(int, 1), Q_ARG(int, 1000));
        waitFor([&] { return program.view.list2.size() > lines; }, 30000);
        const qint64 ring = phone.lastRing();
        const qint64 cpbs = phone.commandTime(QStringLiteral("AT+CPBS=MC"), ring);
        delay.push_back((cpbs - ring - 8'000'000'000LL) / 1e6);
    }
    report(QStringLiteral("8-second mark -> \"+CPBS=MC\" at the phone, median"),
           ms(percentile(delay, 50)));
    report(
        QStringLiteral("8-second mark -> \"+CPBS=MC\" at the phone, p99 (worst of %1)").arg(calls),
        ms(percentile(delay, 100)), QStringLiteral("p99 < 20 ms"));
}

void benchCallBack(int slider2, int slider1, int idleSeconds)
{
    std::fprintf(stderr, "callback: Slider2 %d, Slider1 %d\n", slider2, slider1);
    PhoneThread phone;
    Program program(phone.device());
    const double idle = idleShare(program, idleSeconds);
    program.view.risp = true;
    program.view.slider2 = slider2;
    program.view.slider1 = slider1;
    phone.call("ring", Q_ARG(int, 1), Q_ARG(int, 1000));
    waitFor([&] { return !program.view.list2.isEmpty(); }, (slider1 + slider2 + 40) * 1000);
    const double cpu = program.view.loggedCpu - program.view.classifiedCpu;
    const double wall = (program.view.loggedNs - program.view.classifiedNs) / 1e9;
    report(QStringLiteral("idle with the port open, main thread"),
           QStringLiteral("%1 % of a core").arg(idle * 100, 0, 'f', 2));
    report(QStringLiteral("call-back, Slider2 %1 + Slider1 %2: CPU").arg(slider2).arg(slider1),
           QStringLiteral("%1 s over %2 s = %3 % of a core (+%4 points over idle)")
               .arg(cpu, 0, 'f', 3)
               .arg(wall, 0, 'f', 1)
               .arg(cpu / wall * 100, 0, 'f', 2)
               .arg((cpu / wall - idle) * 100, 0, 'f', 2),
           QStringLiteral("<= idle + 0.3 points"));
}

void benchSilent(int idleSeconds)
{
    std::fprintf(stderr, "silent: one exchange that the phone never answers\n");
    PhoneThread phone;
    {
        Program alone(phone.device(), false);
        phone.call("setSilent", Q_ARG(bool, true));
        waitMs(100);
        const double cpu0 = cpuSeconds();
        const qint64 t0 = steadyNs();
        const QString answer = alone.exchange.IOP(QStringLiteral("+CGMM"));
        const double cpu = cpuSeconds() - cpu0;
        const double wall = (steadyNs() - t0) / 1e9;
        waitMs(500); // the last re-sends reach the phone
        report(QStringLiteral("silent exchange alone (\"%1\" after %2 s, %3 commands sent)")
                   .arg(answer)
                   .arg(wall, 0, 'f', 2)
                   .arg(phone.phone->receivedCommands().count(QStringLiteral("AT+CGMM"))),
               QStringLiteral("%1 s CPU").arg(cpu, 0, 'f', 3));
    }
    phone.call("setSilent", Q_ARG(bool, false));
    Program program(phone.device());
    const double idle = idleShare(program, idleSeconds);
    phone.call("setSilent", Q_ARG(bool, true));
    waitMs(100);
    const double cpu0 = cpuSeconds();
    const qint64 t0 = steadyNs();
    program.exchange.IOP(QStringLiteral("+CGMM"));
    const double cpu = cpuSeconds() - cpu0;
    const double wall = (steadyNs() - t0) / 1e9;
    report(QStringLiteral("silent exchange with Timer1 running: CPU"),
           QStringLiteral("%1 s over %2 s = %3 % of a core (+%4 points over idle %5 %)")
               .arg(cpu, 0, 'f', 3)
               .arg(wall, 0, 'f', 1)
               .arg(cpu / wall * 100, 0, 'f', 2)
               .arg((cpu / wall - idle) * 100, 0, 'f', 2)
               .arg(idle * 100, 0, 'f', 2),
           QStringLiteral("<= idle + 0.3 points"));
}

/// Runs in a child process: `idle DEVICE SECONDS` (the monitor on an open, idle line) or
/// `bare SECONDS` (a Qt program with nothing but its event loop). Prints CPU seconds.
int runChild(const QStringList &args)
{
    const int seconds = args.last().toInt();
    std::unique_ptr<Program> program;
    if (args[0] == u"idle")
        program = std::make_unique<Program>(args[1]);
    waitMs(500);
    const double cpu0 = cpuSeconds(RUSAGE_SELF);
    waitMs(seconds * 1000);
    std::printf("%.4f\n", cpuSeconds(RUSAGE_SELF) - cpu0);
    return 0;
}

void benchIdle(int seconds)
{
    std::fprintf(stderr, "idle: %d s, the program's parts beside a bare Qt event loop\n", seconds);
    PhoneThread phone;
    QProcess idle, bare;
    const QString self = QCoreApplication::applicationFilePath();
    idle.start(self, {"--child", "idle", phone.device(), QString::number(seconds)});
    bare.start(self, {"--child", "bare", QString::number(seconds)});
    waitFor(
        [&] {
            return idle.state() == QProcess::NotRunning && bare.state() == QProcess::NotRunning;
        },
        (seconds + 30) * 1000);
    const double idleCpu = idle.readAllStandardOutput().trimmed().toDouble() / seconds * 100;
    const double bareCpu = bare.readAllStandardOutput().trimmed().toDouble() / seconds * 100;
    report(QStringLiteral("CPU, port open and idle, over %1 s").arg(seconds),
           QStringLiteral("%1 % of a core (bare Qt event loop: %2 %, +%3 points)")
               .arg(idleCpu, 0, 'f', 2)
               .arg(bareCpu, 0, 'f', 2)
               .arg(idleCpu - bareCpu, 0, 'f', 2),
           QStringLiteral("<= 2 %, <= bare + 0.3 points"));
}

/// Calls of every kind through the monitor on a fake line and clock. The event list keeps every
/// line by design, so the figure is taken twice: first with the lines dropped (the monitor and
/// the exchange alone), then with them kept.
void benchMemory(int calls, bool keepLines)
{
    std::fprintf(stderr, "memory: %d calls through the monitor on a fake clock, lines %s\n", calls,
                 keepLines ? "kept" : "dropped");
    FakeProgram<BenchView> program;
    auto [clock, line, view, monitor] =
        std::tie(program.clock, program.line, program.view, program.monitor);
    int call = 0;
    line.responder = [&](const QString &frame) -> QString {
        if (frame == u"AT+CPBS=MC\r")
            return call % 7 == 3 ? QStringLiteral("\r\nERROR\r\n") : QStringLiteral("\r\nOK\r\n");
        if (frame == u"AT+CPBR=1\r")
            return QStringLiteral("\r\n+CPBR: 1,\"+39333%1\",145,\"Caller %1\"\r\n\r\nOK\r\n")
                .arg(call);
        return QStringLiteral("\r\nOK\r\n");
    };
    view.risp = true;
    long at1000 = 0;
    QString trace;
    for (call = 1; call <= calls; ++call) {
        for (int ring = 0; ring < 1 + call % 3; ++ring) {
            line.queue(QStringLiteral("\r\nRING\r\n"));
            monitor.Timer1_Timer();
            clock.advance(3);
        }
        clock.advance(8);
        monitor.Timer1_Timer();
        line.written.clear(); // the fake's own record of frames, not the program's memory
        view.forgetRecords();
        if (!keepLines)
            view.list2.clear();
        if (call % 1000 == 0) {
            const long rss = residentKb();
            if (call == 1000)
                at1000 = rss;
            trace += QStringLiteral(" %1k:%2").arg(call / 1000).arg(rss / 1024.0, 0, 'f', 1);
        }
    }
    const long rss = residentKb();
    report(QStringLiteral("resident memory after %1 calls (%2 lines kept)")
               .arg(calls)
               .arg(view.list2.size()),
           QStringLiteral("%1 MB; %2 MB more than at call 1000")
               .arg(rss / 1024.0, 0, 'f', 1)
               .arg((rss - at1000) / 1024.0, 0, 'f', 2),
           QStringLiteral("< 60 MB, flat from call 1000"));
    std::fprintf(stderr, "  MB by thousands of calls:%s\n", qPrintable(trace));
}

} // namespace bench
