// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Finding the phone when --check-phone names no device: every serial device present is opened
// in turn, in the order --list-ports shows them, and asked "AT" briefly; each is named with what
// it did, and the first that answers is the one to check. That one is kept open for the check:
// closed and opened again at once, the device could be taken by another program meanwhile, or
// still be marked exclusive by the close.

#include "phone_link/qt_serial_line.h"

#include <QString>
#include <QStringList>

#include <memory>

class Clock;
class EventPump;
class QTextStream;

/// The serial devices present, by their paths, in the order --list-ports shows them.
QStringList serialDevices();

/// What looking for the phone found.
struct ProbeResult
{
    QString device; ///< the first candidate that answers "AT"; empty when none does
    std::unique_ptr<QtSerialLine> line; ///< the device's line, still open
    int status = 2; ///< with no device: 1 when one could be opened, 2 when none could
};

/// Opens each of `candidates` in turn and asks it "AT", saying on `out` what each did; once
/// `probeEnd` has passed on `clock` the rest are named but not tried.
ProbeResult findPhone(const QStringList &candidates, Clock &clock, EventPump &pump,
                      QTextStream &out, double probeEnd);
