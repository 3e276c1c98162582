// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench_support.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include <unistd.h>

namespace bench {

namespace {

struct Row
{
    QString figure;
    QString value;
    QString target;
};
std::vector<Row> g_rows;

} // namespace

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

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

long long contextSwitches(qint64 pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    if (!tasks.exists())
        return -1;
    long long switches = 0;
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(task + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            continue; // the thread ended meanwhile
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:") ||
                line.startsWith("nonvoluntary_ctxt_switches:"))
                switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
    }
    return switches;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p / 100.0 * values.size()));
    return values[index];
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void report(const QString &figure, const QString &value, const QString &target)
{
    g_rows.push_back({figure, value, target});
    std::fprintf(stderr, "  %s: %s\n", qPrintable(figure), qPrintable(value));
}

void printReport()
{
    std::printf("\n| figure | measured | target |\n| --- | --- | --- |\n");
    for (const Row &row : g_rows)
        std::printf("| %s | %s | %s |\n", qPrintable(row.figure), qPrintable(row.value),
                    qPrintable(row.target));
}

QString ms(double value)
{
    return QString::number(value, 'f', 3) + QStringLiteral(" ms");
}

} // namespace bench
