// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Which device stands for "COM 1" and which for "COM 2".
struct PortMap
{
    QString com1;
    QString com2;

    /// The device path of port 1 or 2 (any other number is port 2, as the port choice reads).
    QString devicePath(int portNumber) const { return portNumber == 1 ? com1 : com2; }

    /// The given paths where set; otherwise the first and second USB serial devices under devDir
    /// (ttyUSB* before ttyACM*, each in name order), else ttyS0 and ttyS1.
    static PortMap detect(const QString &com1Override, const QString &com2Override,
                          const QString &devDir = QStringLiteral("/dev"));
};
