// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_list.h"

#include "device_names.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

QString noPermission()
{
    return QCoreApplication::translate("PortList", "no permission to open it");
}

QString processName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

/// The live process named in a lock file: QLockFile writes "pid\napp\nhost\n", the UUCP
/// convention a pid padded to ten characters; both start with the pid in text.
qint64 lockHolder(const QString &lockFile)
{
    QFile file(lockFile);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const qint64 pid = file.readLine(32).trimmed().toLongLong();
    if (pid <= 0)
        return 0;
    // A lock left behind by a program that died does not make the device busy.
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM ? pid : 0;
}

/// "usb-Maker_Model_Serial-if02-port0" -> "usb-Maker_Model_Serial": the USB device of an
/// interface's by-id name; empty for a name without an interface number.
QString usbDeviceOf(const QString &byId)
{
    static const QRegularExpression interface(
        QStringLiteral("^(.+)-if[0-9A-Fa-f]{2}(-port\\d+)?$"));
    const QRegularExpressionMatch match = interface.match(QFileInfo(byId).fileName());
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

QString PortUse::text() const
{
    static const char *const kWords[] = {QT_TRANSLATE_NOOP("PortList", "free"),
                                         QT_TRANSLATE_NOOP("PortList", "busy"),
                                         QT_TRANSLATE_NOOP("PortList", "unknown")};
    const QString word = QCoreApplication::translate("PortList", kWords[state]);
    return detail.isEmpty() ? word : word + QStringLiteral(" (") + detail + QLatin1Char(')');
}

QList<SerialDevice> systemSerialDevices()
{
    QList<SerialDevice> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        device.path = info.systemLocation();
        device.description = info.description();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            device.ids = {info.vendorIdentifier(), info.productIdentifier()};
        devices << device;
    }
    return inNameOrder(devices);
}

QList<SerialDevice> inNameOrder(QList<SerialDevice> devices)
{
    std::sort(devices.begin(), devices.end(), [](const SerialDevice &a, const SerialDevice &b) {
        return deviceNameLess(a.path, b.path);
    });
    return devices;
}

PortUse portUse(const QString &devicePath, const QString &lockDir)
{
    const QString device = deviceOf(devicePath);
    QString name = device.startsWith(u"/dev/") ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (const qint64 pid = lockHolder(lockDir + QStringLiteral("/LCK..") + name)) {
        const QString who = processName(pid);
        return {
            PortUse::Busy,
            who.isEmpty()
                ? QCoreApplication::translate("PortList", "locked by pid %1").arg(pid)
                : QCoreApplication::translate("PortList", "locked by pid %1 %2").arg(pid).arg(who)};
    }

    // Qt 6 cannot say whether a port is busy, so ask the kernel. A program that holds a tty in
    // exclusive mode (TIOCEXCL, as QSerialPort and ModemManager do) makes a second open fail
    // with EBUSY before the driver is reached, so that program sees nothing of it. O_NONBLOCK
    // keeps the open from waiting for a carrier. Root passes that check, so the exclusive mode
    // is also read back from the open tty. A device nobody holds sees one short open and close,
    // as from any port scanner; an idle phone takes no notice.
    const int fd =
        ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case EBUSY:
            return {PortUse::Busy, QCoreApplication::translate(
                                       "PortList", "held in exclusive mode by another program")};
        case EACCES:
            return {PortUse::Unknown, noPermission()};
        default:
            return {PortUse::Unknown, QString::fromLocal8Bit(std::strerror(errno))};
        }
    }
    int exclusive = 0;
    const bool held = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    ::close(fd);
    if (held)
        return {PortUse::Busy, QCoreApplication::translate(
                                   "PortList", "held in exclusive mode by another program")};
    return {PortUse::Free, {}};
}

QString listPorts(const QList<SerialDevice> &devices, const PortMap &map, const QString &devDir,
                  const std::function<QString(const SerialDevice &)> &useOf)
{
    QString out;
    QMap<QString, QStringList> interfacesByUsbDevice;
    bool lacksPermission = false;
    if (devices.isEmpty())
        out += QCoreApplication::translate("PortList", "No serial devices found.") + u'\n';
    for (const SerialDevice &device : devices) {
        const QString byId = byIdLink(device.path, devDir);
        const QString use = useOf(device);
        lacksPermission = lacksPermission || use.contains(noPermission());
        if (const QString usbDevice = usbDeviceOf(byId); !usbDevice.isEmpty())
            interfacesByUsbDevice[usbDevice] << device.path;
        QStringList fields{
            device.path, QStringLiteral("by-id ") + (byId.isEmpty() ? QStringLiteral("-") : byId),
            device.ids.isUsb()
                ? QStringLiteral("USB %1:%2").arg(hex4(device.ids.vendor), hex4(device.ids.product))
                : QCoreApplication::translate("PortList", "not USB")};
        if (!device.description.isEmpty())
            fields << QLatin1Char('"') + device.description + QLatin1Char('"');
        fields << use;
        out += fields.join(QStringLiteral("  ")) + QLatin1Char('\n');
    }

    for (int port : {1, 2}) {
        const QString path = map.devicePath(port);
        const QString device = QFileInfo(path).canonicalFilePath();
        out += QStringLiteral("COM %1 = %2").arg(port).arg(path);
        if (device.isEmpty())
            out += QCoreApplication::translate("PortList", " (not present)");
        else if (device != path)
            out += QStringLiteral(" -> ") + device;
        out += QLatin1Char('\n');
    }

    for (auto it = interfacesByUsbDevice.cbegin(); it != interfacesByUsbDevice.cend(); ++it) {
        if (it.value().size() < 2)
            continue;
        out += QCoreApplication::translate(
                   "PortList", "Note: %1 are ports of one USB device (%2). Usually only one of "
                               "them carries AT commands and rings; try each with "
                               "'tornasquillo --check-phone --com1 PATH'.")
                   .arg(it.value().join(QStringLiteral(", ")), it.key()) +
               u'\n';
    }
    if (lacksPermission)
        out += QCoreApplication::translate(
                   "PortList", "Note: to use a serial device you usually need to be in the group "
                               "that owns it (usually 'dialout': sudo adduser $USER dialout, then "
                               "log in again).") +
               u'\n';
    return out;
}

QString listSystemPorts(const PortMap &map)
{
    const QDBusConnection bus = QDBusConnection::systemBus();
    return listPorts(
        systemSerialDevices(), map, QStringLiteral("/dev"), [&bus](const SerialDevice &device) {
            QString text = portUse(device.path).text();
            if (const auto modem = modemManagingDevice(bus, device.path))
                text += QCoreApplication::translate("PortList",
                                                    ", managed by ModemManager as modem %1 "
                                                    "('sudo mmcli -m %1 --inhibit' lets go of it)")
                            .arg(modem->index);
            return text;
        });
}
