// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/port_list.h"
#include "phone_link/port_map.h"
#include "phone_link/qt_serial_line.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

/// Which devices COM 1 and COM 2 stand for, and the --list-ports report, on fake /dev trees.
class TestPortMap : public QObject
{
    Q_OBJECT

    /// Builds a fake /dev tree: "ttyUSB0" is a device, "serial/by-id/NAME>../../ttyUSB0" a link
    /// as udev writes it (relative).
    static bool build(const QTemporaryDir &dir, const QStringList &entries)
    {
        for (const QString &entry : entries) {
            const QStringList parts = entry.split(u'>');
            const QString path = dir.filePath(parts[0]);
            QDir().mkpath(QFileInfo(path).path());
            if (parts.size() == 2) {
                if (!QFile::link(parts[1], path))
                    return false;
            } else if (QFile file(path); !file.open(QIODevice::WriteOnly)) {
                return false;
            }
        }
        return true;
    }

private slots:
    void detect_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QString>("com2Override");
        QTest::addColumn<QString>("com1");
        QTest::addColumn<QString>("com2");
        /// The tree's devices as --list-ports lists them and --check-phone tries them.
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("USB before ACM, each in name order")
            << QStringList{"ttyS0", "ttyS1", "ttyACM0", "ttyUSB10", "ttyUSB9"} << QString()
            << "ttyUSB9"
            << "ttyUSB10" << QStringList{"ttyS0", "ttyS1", "ttyACM0", "ttyUSB9", "ttyUSB10"};
        QTest::newRow("ACM, then the second serial port")
            << QStringList{"ttyACM0"} << QString() << "ttyACM0"
            << "ttyS1" << QStringList{"ttyACM0"};
        QTest::newRow("no USB device") << QStringList{} << QString() << "ttyS0"
                                       << "ttyS1" << QStringList{};
        QTest::newRow("a named device wins") << QStringList{"ttyUSB0", "ttyUSB1"} << "/tmp/phone"
                                             << "ttyUSB0"
                                             << "/tmp/phone" << QStringList{"ttyUSB0", "ttyUSB1"};
        QTest::newRow("by-id names where there are links")
            << QStringList{"ttyUSB0", "ttyUSB1",
                           "serial/by-id/usb-FTDI_FT232R_A1-if00-port0>../../ttyUSB1"}
            << QString() << "ttyUSB0"
            << "serial/by-id/usb-FTDI_FT232R_A1-if00-port0" << QStringList{"ttyUSB0", "ttyUSB1"};
        // After a USB reset the phone came back as ttyUSB1: its name is still the same.
        QTest::newRow("a renumbered phone keeps its name")
            << QStringList{"ttyUSB1", "serial/by-id/usb-Nokia_6230i_35-if00-port0>../../ttyUSB1"}
            << QString() << "serial/by-id/usb-Nokia_6230i_35-if00-port0"
            << "ttyS1" << QStringList{"ttyUSB1"};
        QTest::newRow("a link to a vanished device is no name")
            << QStringList{"ttyUSB0", "serial/by-id/usb-Old_Phone-if00-port0>../../ttyUSB5"}
            << QString() << "ttyUSB0"
            << "ttyS1" << QStringList{"ttyUSB0"};
        // Plain text order would try ttyUSB10 before ttyUSB2.
        QTest::newRow("ttyUSB2 before ttyUSB10")
            << QStringList{"ttyUSB10", "ttyUSB2", "ttyUSB1"} << QString() << "ttyUSB1"
            << "ttyUSB2" << QStringList{"ttyUSB1", "ttyUSB2", "ttyUSB10"};
    }
    void detect()
    {
        QFETCH(QStringList, tree);
        QFETCH(QString, com2Override);
        QFETCH(QString, com1);
        QFETCH(QString, com2);
        QFETCH(QStringList, listed);
        QTemporaryDir dir;
        QVERIFY(build(dir, tree));
        const PortMap map = PortMap::detect({}, com2Override, dir.path());
        auto expected = [&](const QString &name) {
            return name.startsWith(u'/') ? name : dir.filePath(name);
        };
        QCOMPARE(map.devicePath(1), expected(com1));
        QCOMPARE(map.devicePath(2), expected(com2));

        // The system reports the devices in an order of its own: here the tree's.
        QList<SerialDevice> devices;
        for (const QString &entry : tree) {
            if (!entry.contains(u'>'))
                devices << SerialDevice{dir.filePath(entry), {}, {}};
        }
        QStringList paths;
        for (const SerialDevice &device : inNameOrder(devices))
            paths << device.path;
        for (QString &name : listed)
            name = expected(name);
        QCOMPARE(paths, listed);
    }

    void theListingNamesEachDeviceAndWhatTheComPortsStandFor()
    {
        QTemporaryDir dir;
        QVERIFY(build(dir, {"ttyS0", "ttyUSB0", "ttyACM0", "ttyACM1",
                            "serial/by-id/usb-FTDI_FT232R_A1-if00-port0>../../ttyUSB0",
                            "serial/by-id/usb-Nokia_6230i_35-if00>../../ttyACM0",
                            "serial/by-id/usb-Nokia_6230i_35-if02>../../ttyACM1"}));
        const QString dev = dir.path();
        const QList<SerialDevice> devices{
            {dev + "/ttyUSB0", "FT232R USB UART", {0x0403, 0x6001}},
            {dev + "/ttyACM0", "Nokia 6230i", {0x0421, 0x04a5}},
            {dev + "/ttyACM1", "Nokia 6230i", {0x0421, 0x04a5}},
            {dev + "/ttyS0", {}, {}},
        };
        const PortMap map = PortMap::detect({}, dev + "/missing", dev);
        const QString listing = listPorts(devices, map, dev, [](const SerialDevice &device) {
            if (device.path.endsWith("ttyACM0"))
                return QStringLiteral("busy (locked by pid 640 ModemManager)");
            if (device.path.endsWith("ttyS0"))
                return QStringLiteral("unknown (no permission to open it)");
            return QStringLiteral("free");
        });
        const QString byId = dev + "/serial/by-id/";
        QCOMPARE(listing.split(u'\n'),
                 (QStringList{
                     dev + "/ttyUSB0  by-id " + byId +
                         "usb-FTDI_FT232R_A1-if00-port0  USB 0403:6001  \"FT232R USB UART\"  free",
                     dev + "/ttyACM0  by-id " + byId +
                         "usb-Nokia_6230i_35-if00  USB 0421:04a5  \"Nokia 6230i\"  busy (locked "
                         "by pid 640 ModemManager)",
                     dev + "/ttyACM1  by-id " + byId +
                         "usb-Nokia_6230i_35-if02  USB 0421:04a5  \"Nokia 6230i\"  free",
                     dev + "/ttyS0  by-id -  not USB  unknown (no permission to open it)",
                     "COM 1 = " + byId + "usb-FTDI_FT232R_A1-if00-port0 -> " + dev + "/ttyUSB0",
                     "COM 2 = " + dev + "/missing (not present)",
                     "Note: " + dev + "/ttyACM0, " + dev +
                         "/ttyACM1 are ports of one USB device (usb-Nokia_6230i_35). Usually "
                         "only one of them carries AT commands and rings; try each with "
                         "'tornasquillo --check-phone --com1 PATH'.",
                     "Note: to use a serial device you usually need to be in the group that "
                     "owns it (usually 'dialout': sudo adduser $USER dialout, then log in "
                     "again).",
                     ""}));
    }

    void aPortOpenedByItsLinkIsBusyUnderTheDevicesOwnName()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QString device = QString::fromLocal8Bit(::ptsname(master));
        QTemporaryDir dir;
        QVERIFY(build(dir, {"serial/by-id/usb-Phone-if00>" + device}));
        QCOMPARE(portUse(device).state, PortUse::Free);

        // Another program looking for the device by its kernel name must find it taken.
        QtSerialLine line(PortMap{dir.filePath("serial/by-id/usb-Phone-if00"), {}});
        QVERIFY(line.open(1));
        const PortUse use = portUse(device);
        QCOMPARE(use.state, PortUse::Busy);
        QCOMPARE(use.detail, QStringLiteral("locked by pid %1 tst_port_map").arg(::getpid()));
        line.close();
        QCOMPARE(portUse(device).state, PortUse::Free);
        ::close(master);
    }
};

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_port_map.moc"
