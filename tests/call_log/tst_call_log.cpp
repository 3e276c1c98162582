// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_log/call_log.h"
#include "call_log/log_file.h"
#include "tests/support/message_capture.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

const QString kStamp = QStringLiteral("2026-12-08T12:43:23+01:00");
const QString kSquillo =
    QStringLiteral("Ha squillato : +393331234567   > Nicolò Bianchi  = Risposto");
const QString kCall = QStringLiteral("Ha ciamato   : errore          >                 = Non "
                                     "risposto");

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

} // namespace

class TestCallLog : public QObject
{
    Q_OBJECT

private slots:
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

    void aFileThatCannotBeOpenedStopsTheProgram_data()
    {
        QTest::addColumn<QString>("name"); // in a fresh folder; empty: the folder itself
        QTest::addColumn<int>("error");
        QTest::newRow("in a missing folder") << QStringLiteral("missing/calls.log") << ENOENT;
        QTest::newRow("a folder") << QString() << EISDIR;
    }

    void aFileThatCannotBeOpenedStopsTheProgram()
    {
        QFETCH(QString, name);
        QFETCH(int, error);

        QTemporaryDir dir;
        const QString path = name.isEmpty() ? dir.path() : dir.filePath(name);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(TORNASQUILLO_EXE),
                      {QStringLiteral("--com1"), dir.filePath(QStringLiteral("no-phone")),
                       QStringLiteral("--log"), path});
        // A program that went on to its window would run until killed.
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString said = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(said.contains(path) && said.contains(QString::fromLocal8Bit(std::strerror(error))),
                 qPrintable(said));
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
