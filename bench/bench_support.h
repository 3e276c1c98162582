// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What every figure uses: clocks, CPU time, percentiles, waits that run the event loop, and the
// table the figures are reported into.

#include "tests/support/resident_memory.h"

#include <QElapsedTimer>
#include <QString>

#include <vector>

#include <sys/resource.h>

namespace bench {

/// Nanoseconds of the monotonic clock, comparable across the bench's threads.
qint64 steadyNs();

/// CPU seconds (user + system) of the calling thread, or of the whole process.
double cpuSeconds(int who = RUSAGE_THREAD);

/// CPU seconds (user + system) a process has used so far, from /proc/<pid>/stat; -1 if gone.
double processCpuSeconds(qint64 pid);

/// Context switches, voluntary and involuntary, of every thread of the process `pid` so far, from
/// /proc/<pid>/task/*/status: each is the process waking (or being woken) once; -1 if gone.
long long contextSwitches(qint64 pid);

double percentile(std::vector<double> values, double p);

/// Runs the event loop for `ms`, blocking in it as the program does.
void waitMs(int ms);

/// Runs the event loop until `done()` holds; false if `timeoutMs` passed first.
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

/// Adds a row to the table and shows it on standard error at once.
void report(const QString &figure, const QString &value, const QString &target = {});

/// Prints the table of every row reported, on standard output.
void printReport();

QString ms(double value);

} // namespace bench
