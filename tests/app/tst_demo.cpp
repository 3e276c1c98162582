// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

namespace {

// Two processes start and end on a machine that may be busy with a build.
constexpr int kTimeoutMs = 30000;

bool pathExists(const QString &path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

/// A process that has ended, even one nobody has reaped yet, runs no more.
bool isRunning(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype end = text.lastIndexOf(')');
    return end >= 0 && text.mid(end + 2, 1) != "Z";
}

QList<qint64> childrenOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    QList<qint64> children;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &word : file.readAll().simplified().split(' '))
            if (!word.isEmpty())
                children << word.toLongLong();
    }
    return children;
}

} // namespace

class TstDemo : public QObject
{
    Q_OBJECT

private slots:
    // However the program ends, its simulated phone ends with it and takes its link along.
    void endsItsPhoneHoweverItEnds_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("cleanExit");
        QTest::newRow("SIGTERM") << int(SIGTERM) << true;
        QTest::newRow("SIGINT") << int(SIGINT) << true;
        QTest::newRow("SIGHUP") << int(SIGHUP) << true;
        QTest::newRow("SIGKILL") << int(SIGKILL) << false;
    }
    void endsItsPhoneHoweverItEnds()
    {
        QFETCH(int, signal);
        QFETCH(bool, cleanExit);
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(TORNASQUILLO_EXE), {QStringLiteral("--demo")});
        QVERIFY(program.waitForStarted(kTimeoutMs));

        const QString link =
            QDir(runtime.path())
                .filePath(QStringLiteral("tornasquillo-phone-%1").arg(program.processId()));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), kTimeoutMs);
        QVERIFY2(QFileInfo(link).symLinkTarget().startsWith(QLatin1String("/dev/pts/")),
                 qPrintable(QFileInfo(link).symLinkTarget()));
        const QList<qint64> children = childrenOf(program.processId());
        QCOMPARE(children.size(), 1);
        const qint64 phone = children.first();
        // A failing row must not leave its phone behind to hold the test runner's output open.
        const auto reap = qScopeGuard([phone] {
            if (isRunning(phone))
                ::kill(pid_t(phone), SIGKILL);
        });
        QVERIFY(isRunning(phone));
        // Up with its window, not ending by itself.
        QVERIFY(!program.waitForFinished(500));

        QCOMPARE(::kill(pid_t(program.processId()), signal), 0);
        QTRY_COMPARE_WITH_TIMEOUT(program.state(), QProcess::NotRunning, kTimeoutMs);
        if (cleanExit) {
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!isRunning(phone), kTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!pathExists(link), kTimeoutMs);
        QCOMPARE(
            QDir(runtime.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
            QStringList());
    }
};

QTEST_GUILESS_MAIN(TstDemo)
#include "tst_demo.moc"
