// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_log/call_log.h"
#include "call_log/desktop_notifier.h"
#include "call_log/log_file.h"
#include "tests/support/message_capture.h"
#include "tests/support/private_bus.h"
#include "tests/support/test_numbers.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

const QString kStamp = QStringLiteral("2026-12-08T12:43:23+01:00");
const QString kSquillo =
    QStringLiteral("Ha squillato : +393331234567   > Nicolò Bianchi  = Risposto");
const QString kCall = QStringLiteral("Ha ciamato   : ") + kUnknownCaller.leftJustified(15) +
                      QStringLiteral(" >                 = Non risposto");

QByteArray entry(const QString &stamp, const QString &line)
{
    return (stamp + u'\t' + line + u'\n').toUtf8();
}

/// A file on a medium that can fill up, cut a write short, fail to sync or go away.
class FakeLogFile final : public LogFile
{
public:
    enum Fault { None, Full, Cut, Gone };

    QByteArray content;
    Fault fault = None;

    QString path() const override { return QStringLiteral("/media/usb/calls.log"); }
    bool open(QString *reason) override
    {
        if (fault == Gone) {
            *reason = QStringLiteral("No such file or directory");
            return false;
        }
        m_open = true;
        m_stale = false;
        return true;
    }
    bool isOpen() const override { return m_open; }
    void close() override { m_open = false; }
    Written append(const QByteArray &record) override
    {
        // A handle opened before the medium went stays dead after it is back.
        m_stale = m_stale || fault == Gone;
        if (m_stale)
            return {0, QStringLiteral("Input/output error")};
        switch (fault) {
        case None:
            content += record;
            return {record.size(), {}};
        case Full:
            return {0, QStringLiteral("No space left on device")};
        case Cut:
            content += record.left(4);
            return {4, QStringLiteral("only 4 of %1 bytes written").arg(record.size())};
        case Gone:
            break;
        }
        return {};
    }

private:
    bool m_open = false;
    bool m_stale = false;
};

/// The desktop's notification service, written from the Desktop Notifications interface: it keeps
/// each Notify call as it came over the bus, and answers with an id or, when told to, an error.
class FakeNotifications : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QList<QDBusMessage> calls;
    bool failing = false;

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &, const QString &,
                const QStringList &, const QVariantMap &, int)
    {
        calls << message();
        if (failing)
            sendErrorReply(QDBusError::Failed, QStringLiteral("the notification daemon failed"));
        return uint(calls.size());
    }
};

} // namespace

class TestCallLog : public QObject
{
    Q_OBJECT

    PrivateBus m_bus;
    std::optional<QDBusConnection> m_serviceBus;
    std::optional<QDBusConnection> m_programBus;
    FakeNotifications m_service;

    void setRunning(bool running)
    {
        const QString name = QStringLiteral("org.freedesktop.Notifications");
        QVERIFY(running ? m_serviceBus->registerService(name)
                        : m_serviceBus->unregisterService(name));
    }
    /// Waits until the notifier has its answers.
    static void settle(const DesktopNotifier &notifier)
    {
        QTRY_VERIFY(notifier.findChildren<QDBusPendingCallWatcher *>().isEmpty());
    }

private slots:
    void initTestCase()
    {
        const QString address = m_bus.start();
        QVERIFY2(!address.isEmpty(), "dbus-daemon is needed (Debian package dbus-daemon)");
        m_serviceBus = QDBusConnection::connectToBus(address, QStringLiteral("notifications"));
        m_programBus = QDBusConnection::connectToBus(address, QStringLiteral("program"));
        QVERIFY(m_serviceBus->isConnected() && m_programBus->isConnected());
        QVERIFY(m_serviceBus->registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                             &m_service, QDBusConnection::ExportAllSlots));
        setRunning(true);
    }

    void eachCallIsADesktopNotification_data()
    {
        QTest::addColumn<bool>("squillo");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("calledBack");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("body");
        QTest::newRow("a squillo called back")
            << true << kCallerNumber << kCallerName << true << "Squillo from Mario Rossi"
            << kCallerNumber + ", called back";
        QTest::newRow("a squillo not called back, without a name")
            << true << kCallerNumber << "" << false << "Squillo from " + kCallerNumber
            << kCallerNumber + ", not called back";
        // The summary is plain text; the body may be read as markup.
        QTest::newRow("a call, a name running on into the next line")
            << false << "<3479876543>"
            << "Lucia\r\n& Co" << false << "Call from Lucia & Co"
            << "&lt;3479876543&gt;, not called back";
        QTest::newRow("a caller that could not be looked up")
            << true << kUnknownCaller << "" << false << "Squillo from an unknown caller"
            << "Number not known; not called back";
        QTest::newRow("a withheld number")
            << true << kWithheldCaller << "" << false << "Squillo from a withheld number"
            << "Number withheld; not called back";
    }
    void eachCallIsADesktopNotification()
    {
        QFETCH(bool, squillo);
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(bool, calledBack);
        QFETCH(QString, summary);
        QFETCH(QString, body);
        m_service.calls.clear();
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        DesktopNotifier notifier(*m_programBus, QStringLiteral("org.example.tornasquillo"));
        notifier.notify({squillo, number, name, calledBack});
        QTRY_COMPARE(m_service.calls.size(), 1);
        settle(notifier);

        const QDBusMessage call = m_service.calls.first();
        QCOMPARE(call.signature(), QStringLiteral("susssasa{sv}i"));
        const QVariantList arguments = call.arguments();
        QCOMPARE(arguments[0].toString(), QStringLiteral("Tornasquillo"));
        QCOMPARE(arguments[1].toUInt(), 0u);
        QCOMPARE(arguments[2].toString(), QStringLiteral("tornasquillo"));
        QCOMPARE(arguments[3].toString(), summary);
        QCOMPARE(arguments[4].toString(), body);
        QCOMPARE(qdbus_cast<QStringList>(arguments[5]), QStringList());
        const auto hints = qdbus_cast<QVariantMap>(arguments[6]);
        QCOMPARE(hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("org.example.tornasquillo"));
        const QVariant urgency = hints.value(QStringLiteral("urgency"));
        QCOMPARE(urgency.metaType(), QMetaType::fromType<uchar>()); // a D-Bus byte, 'y'
        QCOMPARE(urgency.value<uchar>(), uchar(1));
        QCOMPARE(arguments[7].toInt(), DesktopNotifier::kExpireMs);
    }

    void noNotificationServiceIsSaidOnceAndNothingMore_data()
    {
        QTest::addColumn<QString>("without");
        QTest::newRow("no session bus") << "bus";
        QTest::newRow("nobody owns the name") << "service";
        QTest::newRow("the service fails the call") << "answer";
    }
    void noNotificationServiceIsSaidOnceAndNothingMore()
    {
        QFETCH(QString, without);
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        MessageCapture said("tornasquillo.notify");
        const QDBusConnection absent = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/session_bus_socket"), QStringLiteral("absent"));
        m_service.calls.clear();
        m_service.failing = without == u"answer";
        setRunning(without != u"service");

        DesktopNotifier notifier(without == u"bus" ? absent : *m_programBus,
                                 QStringLiteral("org.example.tornasquillo"));
        notifier.notify({true, kCallerNumber, QString(), false});
        notifier.notify({false, kCallerNumber, QString(), false});
        settle(notifier);
        m_service.failing = false;
        setRunning(true);

        QCOMPARE(m_service.calls.size(), without == u"answer" ? 2 : 0);
        const QStringList warnings = said.texts(QtWarningMsg);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings.first().startsWith(QStringLiteral("no desktop notifications: ")) &&
                     warnings.first().endsWith(QStringLiteral(
                         "; the calls are still listed in the window and the journal")),
                 qPrintable(warnings.first()));
        QCOMPARE(said.texts(QtInfoMsg) + said.texts(QtDebugMsg) + said.texts(QtCriticalMsg),
                 QStringList());
    }

    void appendsWholeLinesAndNeverTruncates_data()
    {
        QTest::addColumn<QByteArray>("earlier"); // the file before the program runs; null: none
        QTest::addColumn<int>("earlierMode");
        QTest::addColumn<int>("mode");

        QTest::newRow("created owner-only") << QByteArray() << 0 << 0600;
        QTest::newRow("an earlier run's lines and mode are kept")
            << entry(kStamp, kCall) << 0640 << 0640;
    }

    void appendsWholeLinesAndNeverTruncates()
    {
        QFETCH(QByteArray, earlier);
        QFETCH(int, earlierMode);
        QFETCH(int, mode);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("calls.log"));
        if (!earlier.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(earlier);
            file.close();
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(earlierMode)), 0);
        }

        // The usual umask would let a file created 0644 pass for 0600: this one would not.
        const mode_t umask = ::umask(022);
        // Two programs on one file, their lines alternating: each starts where the other ended.
        PosixLogFile first(path);
        PosixLogFile second(path);
        CallLog one(first);
        CallLog other(second);
        QString reason;
        QVERIFY2(one.open(&reason), qPrintable(reason));
        one.record(kStamp, kSquillo);
        QVERIFY2(other.open(&reason), qPrintable(reason));
        other.record(QStringLiteral("2026-12-08T12:44:05+01:00"), kCall);
        one.record(QStringLiteral("2026-12-08T12:45:00+01:00"), kSquillo);
        ::umask(umask);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), earlier + entry(kStamp, kSquillo) +
                                     entry(QStringLiteral("2026-12-08T12:44:05+01:00"), kCall) +
                                     entry(QStringLiteral("2026-12-08T12:45:00+01:00"), kSquillo));
        struct stat status = {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
        QCOMPARE(int(status.st_mode & 0777), mode);
    }

    void aFullDeviceFailsTheWrite()
    {
        // What a full disk does to the real file: the write says so, and the reason is passed on.
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        PosixLogFile full(QStringLiteral("/dev/full"));
        QString reason;
        QVERIFY2(full.open(&reason), qPrintable(reason));
        const LogFile::Written written = full.append(entry(kStamp, kSquillo));
        QCOMPARE(written.bytes, 0);
        QCOMPARE(written.failure, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    }

    void aFailedWriteIsReportedOnceAndTheNextLineTriesAgain_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QByteArray>("content");

        const QByteArray first = entry(QStringLiteral("t1"), QStringLiteral("uno"));
        const QByteArray last = entry(QStringLiteral("t4"), QStringLiteral("quattro"));
        QTest::newRow("a full disk")
            << int(FakeLogFile::Full) << QStringLiteral("No space left on device") << first + last;
        // Every record starts on a line of its own, after whatever was cut short before it.
        QTest::newRow("writes cut short")
            << int(FakeLogFile::Cut) << QStringLiteral("only 4 of 7 bytes written")
            << first + "t2\td\n" + "t3\t\n" + last;
        QTest::newRow("the medium is removed and put back")
            << int(FakeLogFile::Gone) << QStringLiteral("Input/output error") << first + last;
    }

    void aFailedWriteIsReportedOnceAndTheNextLineTriesAgain()
    {
        QFETCH(int, fault);
        QFETCH(QString, reason);
        QFETCH(QByteArray, content);

        FakeLogFile file;
        CallLog log(file);
        QString openFailure;
        QVERIFY(log.open(&openFailure));
        MessageCapture said("tornasquillo.calllog");

        log.record(QStringLiteral("t1"), QStringLiteral("uno"));
        file.fault = FakeLogFile::Fault(fault);
        log.record(QStringLiteral("t2"), QStringLiteral("due"));
        log.record(QStringLiteral("t3"), QStringLiteral("tre"));
        const QStringList warnings = said.texts(QtWarningMsg);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings.first().contains(file.path()) && warnings.first().contains(reason),
                 qPrintable(warnings.first()));

        file.fault = FakeLogFile::None;
        log.record(QStringLiteral("t4"), QStringLiteral("quattro"));
        QCOMPARE(file.content, content);
        QCOMPARE(said.texts(QtInfoMsg),
                 QStringList(QStringLiteral("the call log /media/usb/calls.log is written again; "
                                            "2 call(s) may be missing from it")));

        // Written again, the file is watched afresh: its next failure is reported too.
        file.fault = FakeLogFile::Full;
        log.record(QStringLiteral("t5"), QStringLiteral("cinque"));
        QCOMPARE(said.texts(QtWarningMsg).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCallLog)
#include "tst_call_log.moc"
