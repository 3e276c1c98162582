// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The --list-ports report: every serial device present with its by-id name, USB ids,
// description and whether another program holds it, then what COM 1 and COM 2 stand for now.
// The devices come in as plain records (the system's list is read by systemSerialDevices()),
// and the busy check comes in as a function, so the report can be built on a fake /dev tree.

#include "modem_manager.h"
#include "port_map.h"

#include <QList>
#include <QString>

#include <functional>

/// One serial device as the system reports it.
struct SerialDevice
{
    QString path; ///< "/dev/ttyUSB0"
    QString description;
    UsbIds ids;
};

/// The serial devices the system knows of now (QSerialPortInfo), in name order.
QList<SerialDevice> systemSerialDevices();

/// `devices` in name order as people count them (ttyUSB2 before ttyUSB10): the order they are
/// listed in and tried in when looking for the phone.
QList<SerialDevice> inNameOrder(QList<SerialDevice> devices);

/// Whether another program holds a device now.
struct PortUse
{
    enum State { Free, Busy, Unknown };
    State state = Unknown;
    QString detail; ///< why: "locked by pid 812 (minicom)", "no permission to open it"

    QString text() const;
};

/// Tells whether another program holds the device now, without disturbing one that does.
/// lockDir holds the UUCP-style lock files (LCK..ttyUSB0) that QSerialPort and terminal programs
/// take.
PortUse portUse(const QString &devicePath, const QString &lockDir = QStringLiteral("/var/lock"));

/// The report, one line per device, then the COM 1 / COM 2 lines and the notes.
QString listPorts(const QList<SerialDevice> &devices, const PortMap &map, const QString &devDir,
                  const std::function<QString(const SerialDevice &)> &useOf);

/// The report on this machine: the system's devices, their use and ModemManager's hold on them.
QString listSystemPorts(const PortMap &map);
