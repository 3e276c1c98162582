// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_map.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPortMap : public QObject
{
    Q_OBJECT

    static void touch(const QTemporaryDir &dir, const QStringList &names)
    {
        for (const QString &name : names) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

private slots:
    void usbDevicesComeFirstInNameOrder()
    {
        QTemporaryDir dir;
        touch(dir, {"ttyS0", "ttyS1", "ttyACM0", "ttyUSB10", "ttyUSB9"});
        const PortMap map = PortMap::detect({}, {}, dir.path());
        QCOMPARE(map.devicePath(1), dir.filePath("ttyUSB9"));
        QCOMPARE(map.devicePath(2), dir.filePath("ttyUSB10"));
    }

    void acmFollowsUsbAndSerialPortsAreTheFallback()
    {
        QTemporaryDir dir;
        touch(dir, {"ttyACM0"});
        PortMap map = PortMap::detect({}, {}, dir.path());
        QCOMPARE(map.com1, dir.filePath("ttyACM0"));
        QCOMPARE(map.com2, dir.filePath("ttyS1"));

        QTemporaryDir empty;
        map = PortMap::detect({}, {}, empty.path());
        QCOMPARE(map.com1, empty.filePath("ttyS0"));
        QCOMPARE(map.com2, empty.filePath("ttyS1"));
    }

    void namedDevicesWin()
    {
        QTemporaryDir dir;
        touch(dir, {"ttyUSB0", "ttyUSB1"});
        const PortMap map = PortMap::detect({}, "/tmp/phone", dir.path());
        QCOMPARE(map.devicePath(1), dir.filePath("ttyUSB0"));
        QCOMPARE(map.devicePath(2), QStringLiteral("/tmp/phone"));
    }
};

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_port_map.moc"
