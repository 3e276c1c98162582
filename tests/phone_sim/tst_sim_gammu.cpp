// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_sim/sim_phone.h"
#include "tests/support/test_numbers.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int kGammuTimeoutMs = 240000;
}

// gammu is a real third-party AT client: whatever it needs to identify the phone and read its
// missed calls, a real program may need too.
class TstSimGammu : public QObject
{
    Q_OBJECT

private slots:
    void identifiesAndReadsMissedCalls()
    {
        const QString gammu = QStandardPaths::findExecutable(QStringLiteral("gammu"));
        if (gammu.isEmpty())
            QSKIP("gammu is not installed");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SimPhone phone;
        QVERIFY(phone.start(dir.filePath(QStringLiteral("phone"))));
        const QString rc = dir.filePath(QStringLiteral("gammurc"));
        QFile rcFile(rc);
        QVERIFY(rcFile.open(QIODevice::WriteOnly));
        rcFile.write("[gammu]\ndevice = " + QFile::encodeName(phone.linkPath()) +
                     "\nconnection = at19200\n");
        rcFile.close();

        // The sim answers from this thread's event loop: QProcess::waitForFinished would starve it.
        const auto run = [&](const QStringList &args) -> QByteArray {
            QProcess process;
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(gammu, QStringList{QStringLiteral("-c"), rc} + args);
            if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; },
                                 kGammuTimeoutMs))
                process.kill();
            process.waitForFinished();
            const QByteArray output = process.readAll();
            if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
                qWarning().noquote() << "gammu" << args << "failed:" << output
                                     << "\nsim received:" << phone.receivedCommands();
            return process.exitCode() == 0 ? output : QByteArray();
        };

        const QByteArray identity = run({QStringLiteral("identify")});
        QVERIFY(identity.contains("TS-GSM 900/1800 simulato"));
        QVERIFY(identity.contains("Tornasquillo"));

        phone.setNextCaller(kCallerNumber, kCallerName);
        phone.ring(1, 0);
        QTRY_COMPARE(phone.missedCalls().size(), 1);
        const QByteArray entry =
            run({QStringLiteral("getmemory"), QStringLiteral("MC"), QStringLiteral("1")});
        QVERIFY2(entry.contains('"' + kCallerNumber.toLatin1() + '"'), entry.constData());
        QVERIFY2(entry.contains('"' + kCallerName.toLatin1() + '"'), entry.constData());
    }
};

QTEST_GUILESS_MAIN(TstSimGammu)
#include "tst_sim_gammu.moc"
