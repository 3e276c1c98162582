// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for Tornasquillo, measured over a pseudo-terminal with the simulated phone running in
// a thread of its own. Prints one table; nothing here is a pass/fail test.
//
//   tornasquillo-bench [--quick]
//       [--only exchange,ring,lookup,callback,silent,idle,memory,startup,window]

#include "call_monitor/call_monitor.h"
#include "phone_link/at_exchange.h"
#include "phone_link/clock.h"
#include "phone_link/event_pump.h"
#include "phone_link/port_control.h"
#include "phone_link/qt_serial_line.h"
#include "phone_sim/sim_phone.h"
#include "tests/support/fake_program.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

/// CPU seconds (user + system) of the calling thread, or of the whole process.
double cpuSeconds(int who = RUSAGE_THREAD)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p / 100.0 * values.size()));
    return values[index];
}

/// Runs the event loop for `ms`, blocking in it as the program does.
void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

template<typename Done>
bool waitFor(Done done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        waitMs(5);
    }
    return true;
}

struct Row
{
    QString figure;
    QString value;
    QString target;
};
std::vector<Row> g_rows;

void report(const QString &figure, const QString &value, const QString &target = {})
{
    g_rows.push_back({figure, value, target});
    std::fprintf(stderr, "  %s: %s\n", qPrintable(figure), qPrintable(value));
}

QString ms(double value)
{
    return QString::number(value, 'f', 3) + QStringLiteral(" ms");
}

/// The simulated phone in a thread of its own, so its timing is not the program's.
class PhoneThread
{
public:
    PhoneThread()
    {
        phone = new SimPhone;
        phone->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, phone, &QObject::deleteLater);
        m_thread.start();
        bool started = false;
        QMetaObject::invokeMethod(phone, "start", Qt::BlockingQueuedConnection,
                                  Q_RETURN_ARG(bool, started),
                                  Q_ARG(QString, m_dir.filePath("phone")));
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
    ~PhoneThread()
    {
        m_thread.quit();
        m_thread.wait();
    }
    QString device() const { return phone->devicePath(); }
    template<typename... Args>
    void call(const char *slot, Args... args)
    {
        QMetaObject::invokeMethod(phone, slot, Qt::QueuedConnection, args...);
    }
    int ringCount()
    {
        QMutexLocker lock(&mutex);
        return int(rings.size());
    }
    qint64 lastRing()
    {
        QMutexLocker lock(&mutex);
        return rings.empty() ? 0 : rings.back();
    }
    qint64 commandTime(const QString &line, qint64 after)
    {
        QMutexLocker lock(&mutex);
        for (const auto &[text, ns] : commands)
            if (text == line && ns > after)
                return ns;
        return 0;
    }

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

/// The program's phone link and monitor, ticking every millisecond as the window's timer does.
struct Program
{
    explicit Program(const QString &device, bool ticking = true) : line(PortMap{device, {}})
    {
        line.open(1);
        exchange.IOP(QStringLiteral("E0"));
        timer.setInterval(1);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] { monitor.Timer1_Timer(); });
        if (ticking)
            timer.start();
    }
    QtSerialLine line;
    SteadyClock clock;
    QtEventPump pump;
    AtExchange exchange{line, clock, pump};
    BenchView view;
    CallMonitor monitor{exchange, line, clock, pump, view};
    QTimer timer;
};

/// Main-thread CPU share over `seconds` of an open, idle line.
double idleShare(Program &program, int seconds)
{
    Q_UNUSED(program);
    const double cpu0 = cpuSeconds();
    const qint64 t0 = steadyNs();
    waitMs(seconds * 1000);
    return (cpuSeconds() - cpu0) / ((steadyNs() - t0) / 1e9);
}

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
        const int lines = program.view.lines.size();
        phone.call("ring", Q_ARG(int, 1), Q_ARG(int, 1000));
        waitFor([&] { return program.view.lines.size() > lines; }, 30000);
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
    waitFor([&] { return !program.view.lines.isEmpty(); }, (slider1 + slider2 + 40) * 1000);
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
    report(QStringLiteral("silent exchange with the 1 ms timer ticking: CPU"),
           QStringLiteral("%1 s over %2 s = %3 % of a core (+%4 points over idle %5 %)")
               .arg(cpu, 0, 'f', 3)
               .arg(wall, 0, 'f', 1)
               .arg(cpu / wall * 100, 0, 'f', 2)
               .arg((cpu / wall - idle) * 100, 0, 'f', 2)
               .arg(idle * 100, 0, 'f', 2),
           QStringLiteral("<= idle + 0.3 points"));
}

/// Runs in a child process: `idle DEVICE SECONDS` (the monitor on an open, idle line) or
/// `bare SECONDS` (a Qt program with nothing but a 1 ms timer). Prints CPU seconds.
int runChild(const QStringList &args)
{
    const int seconds = args.last().toInt();
    std::unique_ptr<Program> program;
    QTimer bare;
    if (args[0] == u"idle") {
        program = std::make_unique<Program>(args[1]);
    } else {
        bare.setInterval(1);
        bare.setTimerType(Qt::PreciseTimer);
        QObject::connect(&bare, &QTimer::timeout, [] {});
        bare.start();
    }
    waitMs(500);
    const double cpu0 = cpuSeconds(RUSAGE_SELF);
    waitMs(seconds * 1000);
    std::printf("%.4f\n", cpuSeconds(RUSAGE_SELF) - cpu0);
    return 0;
}

void benchIdle(int seconds)
{
    std::fprintf(stderr, "idle: %d s, the program's parts beside a bare 1 ms Qt timer\n", seconds);
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
           QStringLiteral("%1 % of a core (bare 1 ms Qt timer: %2 %, +%3 points)")
               .arg(idleCpu, 0, 'f', 2)
               .arg(bareCpu, 0, 'f', 2)
               .arg(idleCpu - bareCpu, 0, 'f', 2),
           QStringLiteral("<= 2 %, <= bare + 0.3 points"));
}

/// Calls of every kind through the monitor on a fake line and clock. The event list keeps every
/// line by design, so the figure is taken twice: first with the lines dropped (the monitor and
/// the exchange alone), then with them kept.
/// The real program, offscreen: time from starting the process to its window shown, and its
/// resident memory once running.
void benchStartup(int runs)
{
    std::fprintf(stderr, "startup: %d starts of the program, offscreen\n", runs);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tornasquillo.app.debug=true"));
    std::vector<double> shown;
    long rss = 0;
    for (int i = 0; i < runs; ++i) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        const qint64 t0 = steadyNs();
        program.start(QStringLiteral(TORNASQUILLO_APP_PATH),
                      {QStringLiteral("--com1"), QStringLiteral("/nonexistent/tty")});
        QByteArray output;
        waitFor(
            [&] {
                return (output += program.readAll()).contains("window shown") ||
                       program.state() == QProcess::NotRunning;
            },
            10000);
        shown.push_back((steadyNs() - t0) / 1e6);
        if (i == runs - 1) {
            waitMs(2000);
            QFile status(QStringLiteral("/proc/%1/status").arg(program.processId()));
            if (status.open(QIODevice::ReadOnly))
                for (const QByteArray &line : status.readAll().split('\n'))
                    if (line.startsWith("VmRSS:"))
                        rss = line.mid(6).trimmed().split(' ').first().toLong();
        }
        program.kill();
        program.waitForFinished();
    }
    report(QStringLiteral("start-up to the window shown (offscreen), median"),
           ms(percentile(shown, 50)), QStringLiteral("< 300 ms"));
    report(QStringLiteral("start-up to the window shown (offscreen), worst of %1").arg(runs),
           ms(percentile(shown, 100)));
    report(QStringLiteral("resident memory of the running program (offscreen)"),
           QStringLiteral("%1 MB").arg(rss / 1024.0, 0, 'f', 1));
}

/// CPU seconds (user + system) a process has used so far, from /proc/<pid>/stat; -1 if gone.
double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The command name in parentheses may hold spaces: count the fields after it.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return (fields[11].toLongLong() + fields[12].toLongLong()) / double(::sysconf(_SC_CLK_TCK));
}

/// Runs a program of the figure, its output merged and kept.
struct Child
{
    Child(const QString &program, const QStringList &args, const QProcessEnvironment &env)
    {
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, args);
        process.waitForStarted();
    }
    ~Child()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished();
    }
    bool saw(const QByteArray &text, int timeoutMs)
    {
        return waitFor([&] { return (output += process.readAll()).contains(text); }, timeoutMs);
    }
    QProcess process;
    QByteArray output;
};

/// The program as a user runs it: the real executable under Xvfb, the port opened with a click
/// on "APRI / CHIUDI PORTA" against the simulated phone and left idle, beside a bare Qt Widgets
/// window with a 1 ms timer over the same seconds. Also before the click (the port closed, no
/// device watched) and after the phone's line is hung up (the port closed, the device watched
/// for): the two differ by the watching alone.
void benchWindow(int seconds)
{
    std::fprintf(stderr, "window: the program under Xvfb beside a bare 1 ms timer window, %d s\n",
                 seconds);
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xvfb.isEmpty() || xdotool.isEmpty()) {
        report(QStringLiteral("the program under Xvfb, CPU against a bare 1 ms timer window"),
               QStringLiteral("not measured: needs Xvfb and xdotool"));
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // Xvfb picks a free display and writes its number on the descriptor given.
    Child display(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                  env);
    if (!waitFor([&] { return (display.output += display.process.readAll()).contains('\n'); },
                 10000)) {
        report(QStringLiteral("the program under Xvfb"), QStringLiteral("Xvfb did not start"));
        return;
    }
    env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + display.output.trimmed());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));

    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    Child phone(QStringLiteral(TORNASQUILLO_SIM_PATH), {QStringLiteral("--link"), link}, env);
    waitFor([&] { return QFile::exists(link); }, 10000);
    Child program(QStringLiteral(TORNASQUILLO_APP_PATH), {QStringLiteral("--com1"), link}, env);
    Child bare(QStringLiteral(TORNASQUILLO_BARE_WINDOW_PATH), {}, env);

    auto measure = [&](const QString &state) {
        const double program0 = processCpuSeconds(program.process.processId());
        const double bare0 = processCpuSeconds(bare.process.processId());
        waitMs(seconds * 1000);
        const double programCpu = processCpuSeconds(program.process.processId()) - program0;
        const double bareCpu = processCpuSeconds(bare.process.processId()) - bare0;
        report(QStringLiteral("the program under Xvfb, %1, CPU over %2 s").arg(state).arg(seconds),
               QStringLiteral("%1 s (%2 %) against a bare 1 ms timer window's %3 s (%4 %): "
                              "ratio %5")
                   .arg(programCpu, 0, 'f', 2)
                   .arg(programCpu / seconds * 100, 0, 'f', 2)
                   .arg(bareCpu, 0, 'f', 2)
                   .arg(bareCpu / seconds * 100, 0, 'f', 2)
                   .arg(programCpu / bareCpu, 0, 'f', 3),
               QStringLiteral("ratio <= 1.1"));
    };
    auto xdo = [&](const QStringList &args) {
        QProcess run;
        run.setProcessEnvironment(env);
        run.start(xdotool, args);
        run.waitForFinished(10000);
        return QString::fromLatin1(run.readAllStandardOutput()).split(u'\n').value(0);
    };
    const QString window = xdo({"search", "--sync", "--name", "Tornasquillo v 1.0"});
    waitMs(3000); // named before it is mapped and drawn; then settled
    measure(QStringLiteral("port never opened, nothing watched"));
    // The middle of Command1 at 96 DPI, as the screenshot script clicks it.
    xdo({"mousemove", "--window", window, "216", "20", "click", "1"});
    if (!program.saw("opened COM 1", 10000)) {
        report(QStringLiteral("the program under Xvfb"),
               QStringLiteral("the port did not open: ") + QString::fromLocal8Bit(program.output));
        return;
    }
    waitMs(3000); // the start-up dialogue, and the window settled

    measure(QStringLiteral("port open and idle"));

    phone.process.write("hangup\n");
    if (!program.saw("opens again by itself", 10000)) {
        report(QStringLiteral("the program under Xvfb, device gone"),
               QStringLiteral("the line was not lost"));
        return;
    }
    waitMs(1000);
    measure(QStringLiteral("device gone, watched for"));
}

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
        line.written.clear();   // the fake's own record of frames, not the program's memory
        view.countedNs.clear(); // the bench's own timing record
        if (!keepLines)
            view.lines.clear();
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
               .arg(view.lines.size()),
           QStringLiteral("%1 MB; %2 MB more than at call 1000")
               .arg(rss / 1024.0, 0, 'f', 1)
               .arg((rss - at1000) / 1024.0, 0, 'f', 2),
           QStringLiteral("< 60 MB, flat from call 1000"));
    std::fprintf(stderr, "  MB by thousands of calls:%s\n", qPrintable(trace));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(
        QStringLiteral("tornasquillo.*.info=false\ntornasquillo.sim.debug=false"));
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == u"--child")
        return runChild(args.mid(1));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tornasquillo's figures"));
    parser.addHelpOption();
    QCommandLineOption quick(QStringLiteral("quick"), QStringLiteral("Fewer and shorter runs."));
    QCommandLineOption only(QStringLiteral("only"), QStringLiteral("Comma-separated sections."),
                            QStringLiteral("sections"));
    parser.addOptions({quick, only});
    parser.process(app);
    const bool fast = parser.isSet(quick);
    const QStringList sections =
        parser.isSet(only) ? parser.value(only).split(u',')
                           : QStringList{"exchange", "ring",   "lookup",  "callback", "silent",
                                         "idle",     "memory", "startup", "window"};

    if (sections.contains(u"exchange"))
        benchExchange(fast ? 200 : 1000);
    if (sections.contains(u"ring"))
        benchRing(fast ? 50 : 300);
    if (sections.contains(u"lookup"))
        benchLookup(fast ? 3 : 20);
    if (sections.contains(u"callback")) {
        benchCallBack(fast ? 2 : 10, fast ? 2 : 10, fast ? 3 : 10);
        benchCallBack(fast ? 2 : 60, fast ? 2 : 20, fast ? 3 : 10);
    }
    if (sections.contains(u"silent"))
        benchSilent(fast ? 3 : 10);
    if (sections.contains(u"idle"))
        benchIdle(fast ? 10 : 60);
    if (sections.contains(u"memory")) {
        benchMemory(fast ? 2000 : 10000, false);
        benchMemory(fast ? 2000 : 10000, true);
    }

    if (sections.contains(u"startup"))
        benchStartup(fast ? 5 : 20);
    if (sections.contains(u"window"))
        benchWindow(fast ? 10 : 60);

    std::printf("\n| figure | measured | target |\n| --- | --- | --- |\n");
    for (const Row &row : g_rows)
        std::printf("| %s | %s | %s |\n", qPrintable(row.figure), qPrintable(row.value),
                    qPrintable(row.target));
    return 0;
}
