// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/modem_manager.h"
#include "phone_link/qt_serial_line.h"
#include "tests/support/private_bus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QMutex>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

// ModemManager's answer, written here from its published D-Bus interface rather than from the
// program's reading of it: a{oa{sa{sv}}}, with the Modem interface's Ports as a(su).
struct FakePort
{
    QString name;
    uint type = 0;
};
Q_DECLARE_METATYPE(FakePort)
QDBusArgument &operator<<(QDBusArgument &arg, const FakePort &port)
{
    arg.beginStructure();
    arg << port.name << port.type;
    arg.endStructure();
    return arg;
}
const QDBusArgument &operator>>(const QDBusArgument &arg, FakePort &port)
{
    arg.beginStructure();
    arg >> port.name >> port.type;
    arg.endStructure();
    return arg;
}
using FakeInterfaces = QMap<QString, QVariantMap>;
using FakeObjects = QMap<QDBusObjectPath, FakeInterfaces>;

namespace {

const QString kService = QStringLiteral("org.freedesktop.ModemManager1");

/// Answers GetManagedObjects at /org/freedesktop/ModemManager1 as ModemManager does. It lives in
/// a thread of its own: the program's calls block the test's thread until the answer comes.
class FakeModemManager final : public QDBusVirtualObject
{
public:
    struct Modem
    {
        int index;
        QString model;
        QString primary;
        QStringList ports;
    };

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() != u"GetManagedObjects")
            return false;
        FakeObjects objects;
        QMutexLocker lock(&m_mutex);
        ++m_calls;
        for (const Modem &modem : m_modems) {
            QList<FakePort> ports;
            for (const QString &port : modem.ports)
                ports << FakePort{port, port == modem.primary ? 2u : 3u};
            const QString path =
                QStringLiteral("/org/freedesktop/ModemManager1/Modem/%1").arg(modem.index);
            objects[QDBusObjectPath(path)] = {
                {QStringLiteral("org.freedesktop.ModemManager1.Modem"),
                 {{QStringLiteral("Model"), modem.model},
                  {QStringLiteral("PrimaryPort"), modem.primary},
                  {QStringLiteral("Ports"), QVariant::fromValue(ports)},
                  {QStringLiteral("Device"),
                   QStringLiteral("/sys/devices/usb1/1-%1").arg(modem.index)}}},
                {QStringLiteral("org.freedesktop.ModemManager1.Modem.Modem3gpp"), {}}};
        }
        // A bearer is an object too, and has no Modem interface.
        objects[QDBusObjectPath(QStringLiteral("/org/freedesktop/ModemManager1/Bearer/0"))] = {
            {QStringLiteral("org.freedesktop.ModemManager1.Bearer"), {}}};
        connection.send(message.createReply(QVariant::fromValue(objects)));
        return true;
    }

    void setModems(const QList<Modem> &modems)
    {
        QMutexLocker lock(&m_mutex);
        m_modems = modems;
    }
    int calls()
    {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }

private:
    QMutex m_mutex;
    QList<Modem> m_modems;
    int m_calls = 0;
};

} // namespace

/// The ModemManager hint against a fake ModemManager on a private bus.
class TestModemManager : public QObject
{
    Q_OBJECT

    PrivateBus m_bus;
    QThread m_thread;
    FakeModemManager *m_fake = nullptr;
    std::optional<QDBusConnection> m_fakeBus;

    void setRunning(bool running)
    {
        if (running)
            QVERIFY(m_fakeBus->registerService(kService));
        else
            QVERIFY(m_fakeBus->unregisterService(kService));
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<FakePort>();
        qDBusRegisterMetaType<FakePort>();
        qDBusRegisterMetaType<QList<FakePort>>();
        qDBusRegisterMetaType<FakeInterfaces>();
        qDBusRegisterMetaType<FakeObjects>();

        const QString address = m_bus.start();
        QVERIFY2(!address.isEmpty(), "dbus-daemon is needed (Debian package dbus-daemon)");
        // The program asks the system bus: this bus stands in for it.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toLatin1());

        m_fakeBus = QDBusConnection::connectToBus(address, QStringLiteral("fake-modem-manager"));
        QVERIFY(m_fakeBus->isConnected());
        m_fake = new FakeModemManager;
        m_fake->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, m_fake, &QObject::deleteLater);
        m_thread.start();
        QVERIFY(m_fakeBus->registerVirtualObject(QStringLiteral("/org/freedesktop/ModemManager1"),
                                                 m_fake));
        setRunning(true);
    }

    void cleanupTestCase()
    {
        m_fakeBus->unregisterObject(QStringLiteral("/org/freedesktop/ModemManager1"));
        m_thread.quit();
        m_thread.wait();
    }

    void theHintNamesTheModemAndTheWaysOut_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("modem"); // -1: no hint
        QTest::newRow("the modem's primary port") << "/dev/ttyACM0" << true << 7;
        QTest::newRow("another port of it") << "/dev/ttyACM2" << true << 7;
        QTest::newRow("a second modem") << "/dev/ttyUSB3" << true << 12;
        QTest::newRow("a device ModemManager does not manage") << "/dev/ttyUSB0" << true << -1;
        QTest::newRow("ModemManager not running") << "/dev/ttyACM0" << false << -1;
    }
    void theHintNamesTheModemAndTheWaysOut()
    {
        QFETCH(QString, device);
        QFETCH(bool, running);
        QFETCH(int, modem);
        m_fake->setModems({{7, "6230i", "ttyACM0", {"ttyACM0", "ttyACM2"}},
                           {12, "E220", "ttyUSB2", {"ttyUSB2", "ttyUSB3"}}});
        setRunning(running);
        const QString hint =
            modemManagerHint(QDBusConnection::systemBus(), device, {0x0421, 0x04a5});
        setRunning(true);
        if (modem < 0) {
            QCOMPARE(hint, QString());
            return;
        }
        QVERIFY2(hint.contains(QStringLiteral("sudo mmcli -m %1 --inhibit").arg(modem)),
                 qPrintable(hint));
        QVERIFY(hint.contains(QStringLiteral("sudo systemctl stop ModemManager")));
        QVERIFY(
            hint.contains(QStringLiteral("/etc/udev/rules.d/78-mm-ignore-tornasquillo.rules:\n"
                                         "    ACTION==\"add|change|move|bind\", "
                                         "ATTRS{idVendor}==\"0421\", ATTRS{idProduct}==\"04a5\", "
                                         "ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n")));
    }

    void noBusMeansNoHintAndNoDelay()
    {
        QElapsedTimer timer;
        timer.start();
        const QDBusConnection absent = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/system_bus_socket"), QStringLiteral("absent"));
        QCOMPARE(modemManagerHint(absent, QStringLiteral("/dev/ttyACM0"), {0x0421, 0x04a5}),
                 QString());
        QVERIFY2(timer.elapsed() < 200, qPrintable(QString::number(timer.elapsed())));
    }

    void aBusyPortSaysWhoHoldsItOnce()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QString device = QString::fromLocal8Bit(::ptsname(master));
        m_fake->setModems({{3, "Pty phone", device.mid(5), {device.mid(5)}}});
        const PortMap ports{device, {}};

        // Run as root, the first open passes ModemManager's hold and is warned about it.
        QtSerialLine holder(ports);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ModemManager uses the same device"));
        QVERIFY(holder.open(1));

        QtSerialLine line(ports);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot open COM 1"));
        QVERIFY(!line.open(1));
        QVERIFY2(line.openError().startsWith(
                     QStringLiteral("the device is busy (held by another program).\n"
                                    "ModemManager manages this device as modem 3 \"Pty phone\" "
                                    "(ports %1).\n")
                         .arg(device.mid(5))),
                 qPrintable(line.openError()));
        QVERIFY(line.openError().contains(QStringLiteral("KERNEL==\"%1\"").arg(device.mid(5))));

        // Without ModemManager the message is as before, at once.
        setRunning(false);
        QElapsedTimer timer;
        timer.start();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot open COM 1"));
        QVERIFY(!line.open(1));
        QVERIFY2(timer.elapsed() < 200, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(line.openError(), QStringLiteral("the device is busy (held by another program)"));
        setRunning(true);

        // Tried again once a second, the same failure is neither logged nor asked about again.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot open COM 1"));
        QVERIFY(!line.open(1));
        const int calls = m_fake->calls();
        const QString error = line.openError();
        QTest::failOnWarning(QRegularExpression("cannot open"));
        QVERIFY(!line.openAgain(1));
        QCOMPARE(line.openError(), error);
        QCOMPARE(m_fake->calls(), calls);

        ::close(master);
    }
};

QTEST_GUILESS_MAIN(TestModemManager)
#include "tst_modem_manager.moc"
