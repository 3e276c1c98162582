// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Asking ModemManager about a device. On Linux desktops ModemManager opens and probes USB
// phones and modems on ttyACM*/ttyUSB*: the port is then busy for us, or its commands mix with
// ours. When a device is busy, the line asks ModemManager on the system bus whether it manages
// the device, and if it does, tells the operator how to make it let go: for now (inhibit the
// modem, or stop the service) and for good (a udev rule that tells ModemManager to ignore the
// device).
//
// The questions never start ModemManager (a bus would activate it for a call to its name): the
// name's owner is asked for first, and every call has a short time-out. With no bus, or no
// ModemManager on it, the answer is empty at once.

#include <QString>
#include <QStringList>

#include <optional>

class QDBusConnection;

/// A modem that ModemManager manages, as its object on the bus describes it.
struct ManagedModem
{
    int index = -1;    ///< the N of /org/freedesktop/ModemManager1/Modem/N, as mmcli -m N
    QString model;     ///< its Model property
    QStringList ports; ///< the names of its ports ("ttyACM0"), primary port first
};

/// USB vendor and product of a device; both 0 when it is not a USB device.
struct UsbIds
{
    quint16 vendor = 0;
    quint16 product = 0;
    bool isUsb() const { return vendor != 0 || product != 0; }
};

/// The modem of ModemManager on bus whose ports include the device at devicePath (a link is
/// followed to the device it names); none when the bus, ModemManager or such a modem is not there.
std::optional<ManagedModem> modemManagingDevice(const QDBusConnection &bus,
                                                const QString &devicePath);

/// What the operator can do about ModemManager holding the device: the two ways out, several
/// lines of text.
QString modemManagerAdvice(const ManagedModem &modem, const QString &devicePath, UsbIds ids);

/// Both of the above: the advice when ModemManager on bus manages the device, else empty.
QString modemManagerHint(const QDBusConnection &bus, const QString &devicePath, UsbIds ids);

/// The USB ids of a device as the system reports them (a link is followed).
UsbIds usbIdsOf(const QString &devicePath);
