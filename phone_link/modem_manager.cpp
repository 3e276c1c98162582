// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem_manager.h"

#include "device_names.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ModemManager1");
const QString kRoot = QStringLiteral("/org/freedesktop/ModemManager1");
const QString kModemInterface = QStringLiteral("org.freedesktop.ModemManager1.Modem");
const QString kModemPathStem = QStringLiteral("/org/freedesktop/ModemManager1/Modem/");

/// ModemManager answers in milliseconds; a bus that takes longer is not worth holding the window.
constexpr int kCallTimeoutMs = 1000;

/// ModemManager names ports as the kernel does: "ttyACM0", "ttyUSB2".
QString kernelName(const QString &devicePath)
{
    const QString device = deviceOf(devicePath);
    return device.startsWith(u"/dev/") ? device.mid(5) : device;
}

bool ownerIsThere(const QDBusConnection &bus)
{
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << kService;
    const QDBusMessage reply = bus.call(ask, QDBus::Block, kCallTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && reply.signature() == u"b" &&
           reply.arguments().value(0).toBool();
}

/// The Ports property, a(su): each port's name and its type.
QStringList portNames(const QVariant &ports)
{
    QStringList names;
    if (!ports.canConvert<QDBusArgument>())
        return names;
    const auto arg = ports.value<QDBusArgument>();
    if (arg.currentSignature() != u"a(su)")
        return names;
    arg.beginArray();
    while (!arg.atEnd()) {
        QString name;
        uint type = 0;
        arg.beginStructure();
        arg >> name >> type;
        arg.endStructure();
        names << name;
    }
    arg.endArray();
    return names;
}

std::optional<ManagedModem> modemOf(const QString &path, const QVariantMap &properties,
                                    const QString &port)
{
    if (!path.startsWith(kModemPathStem))
        return {};
    bool isNumber = false;
    const int index = path.mid(kModemPathStem.size()).toInt(&isNumber);
    if (!isNumber)
        return {};
    ManagedModem modem;
    modem.index = index;
    modem.model = properties.value(QStringLiteral("Model")).toString();
    const QString primary = properties.value(QStringLiteral("PrimaryPort")).toString();
    if (!primary.isEmpty())
        modem.ports << primary;
    for (const QString &name : portNames(properties.value(QStringLiteral("Ports"))))
        if (!modem.ports.contains(name))
            modem.ports << name;
    if (!modem.ports.contains(port))
        return {};
    return modem;
}

} // namespace

std::optional<ManagedModem> modemManagingDevice(const QDBusConnection &bus,
                                                const QString &devicePath)
{
    if (!bus.isConnected() || !ownerIsThere(bus))
        return {};
    QDBusMessage ask = QDBusMessage::createMethodCall(
        kService, kRoot, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
        QStringLiteral("GetManagedObjects"));
    ask.setAutoStartService(false);
    const QDBusMessage reply = bus.call(ask, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != u"a{oa{sa{sv}}}")
        return {};

    const QString port = kernelName(devicePath);
    const auto objects = reply.arguments().first().value<QDBusArgument>();
    std::optional<ManagedModem> found;
    objects.beginMap();
    while (!objects.atEnd()) {
        QDBusObjectPath path;
        QMap<QString, QVariantMap> interfaces;
        objects.beginMapEntry();
        objects >> path >> interfaces;
        objects.endMapEntry();
        if (!found && interfaces.contains(kModemInterface))
            found = modemOf(path.path(), interfaces.value(kModemInterface), port);
    }
    objects.endMap();
    return found;
}

QString modemManagerAdvice(const ManagedModem &modem, const QString &devicePath, UsbIds ids)
{
    const QString port = kernelName(devicePath);
    const QString model =
        modem.model.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(modem.model);
    // The rule must run before ModemManager's own 80-mm-candidate.rules picks the device up;
    // files in /etc/udev/rules.d sort with those in /lib/udev/rules.d by name.
    const QString match = ids.isUsb()
                              ? QStringLiteral("ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\"")
                                    .arg(hex4(ids.vendor), hex4(ids.product))
                              : QStringLiteral("KERNEL==\"%1\"").arg(port);
    const QString which = ids.isUsb()
                              ? QCoreApplication::translate("ModemManager", "every device %1:%2")
                                    .arg(hex4(ids.vendor), hex4(ids.product))
                              : port;
    return QCoreApplication::translate(
               "ModemManager",
               "ModemManager manages this device as modem %1%2 (ports %3).\n"
               "  For now: run 'sudo mmcli -m %1 --inhibit' and leave it running (ModemManager "
               "lets go of the device until you stop it with Ctrl+C), or stop the service: "
               "'sudo systemctl stop ModemManager'.\n"
               "  For good: make ModemManager ignore %4 with this line in "
               "/etc/udev/rules.d/78-mm-ignore-tornasquillo.rules:\n"
               "    ACTION==\"add|change|move|bind\", %5, ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n"
               "  then run 'sudo udevadm control --reload' and plug the phone in again.")
        .arg(modem.index)
        .arg(model, modem.ports.join(QStringLiteral(", ")), which, match);
}

QString modemManagerHint(const QDBusConnection &bus, const QString &devicePath, UsbIds ids)
{
    const std::optional<ManagedModem> modem = modemManagingDevice(bus, devicePath);
    return modem ? modemManagerAdvice(*modem, devicePath, ids) : QString();
}

UsbIds usbIdsOf(const QString &devicePath)
{
    const QSerialPortInfo info(deviceOf(devicePath));
    UsbIds ids;
    if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
        ids.vendor = info.vendorIdentifier();
        ids.product = info.productIdentifier();
    }
    return ids;
}
