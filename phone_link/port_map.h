// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which devices stand for "COM 1" and "COM 2". A USB phone is named by its link under
// /dev/serial/by-id, which udev builds from the device's vendor, product, serial number and
// interface: after a USB reset the kernel may call the phone ttyUSB1 instead of ttyUSB0, but
// the by-id link follows it, so COM 1 stays the same phone.

#include <QString>

struct PortMap
{
    QString com1;
    QString com2;

    /// The device path of port 1 or 2 (any other number is port 2, as the port choice reads).
    QString devicePath(int portNumber) const { return portNumber == 1 ? com1 : com2; }

    /// The given paths where set; otherwise the first and second USB serial devices under devDir
    /// (ttyUSB* before ttyACM*, each in name order), each by its by-id link where it has one,
    /// else ttyS0 and ttyS1.
    static PortMap detect(const QString &com1Override, const QString &com2Override,
                          const QString &devDir = QStringLiteral("/dev"));
};

/// The link under devDir/serial/by-id that resolves to device (the first in name order);
/// empty when there is none.
QString byIdLink(const QString &device, const QString &devDir = QStringLiteral("/dev"));

/// Orders device paths as people count them: ttyUSB9 before ttyUSB10.
bool deviceNameLess(const QString &a, const QString &b);
