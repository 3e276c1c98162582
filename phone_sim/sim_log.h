// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

// What every room of the simulated phone tells the person watching it: a time stamp on each
// line, the bytes as they would look on a terminal, and the steady clock the figures use.
Q_DECLARE_LOGGING_CATEGORY(lcPhoneSim)

/// The wall-clock time of day, to the millisecond, at the head of each line of the log.
QString simStamp();
/// Nanoseconds on the steady clock, the time base of the signals the bench measures with.
qint64 simSteadyNs();
/// Control characters written as escapes, so a log line shows exactly what crossed the line.
QString simPrintable(const QByteArray &bytes);
