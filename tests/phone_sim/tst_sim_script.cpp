// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_sim/sim_phone.h"
#include "phone_sim/sim_script.h"
#include "pty_client.h"
#include "tests/support/test_numbers.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int kTimeoutMs = 20000;
}

class TstSimScript : public QObject
{
    Q_OBJECT

private slots:
    void decodesEscapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("line ends") << "AT\\r\\n" << true << QByteArray("AT\r\n");
        QTest::newRow("nul and hex") << "\\0\\x00\\xfF\\x41" << true
                                     << QByteArray("\0\0\xff"
                                                   "A",
                                                   4);
        QTest::newRow("backslash") << "a\\\\b" << true << QByteArray("a\\b");
        QTest::newRow("unknown escape") << "\\q" << false << QByteArray();
        QTest::newRow("short hex") << "\\x4" << false << QByteArray();
        QTest::newRow("bad hex") << "\\xg1" << false << QByteArray();
        QTest::newRow("trailing backslash") << "RING\\" << false << QByteArray();
    }
    void decodesEscapes()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QByteArray, bytes);
        const auto decoded = SimCommander::decodeEscapes(text);
        QCOMPARE(decoded.has_value(), valid);
        if (valid)
            QCOMPARE(*decoded, bytes);
    }

    void waitHoldsBackTheLinesAfterIt()
    {
        SimPhone phone;
        QVERIFY(phone.start());
        SimCommander commander(&phone);
        SimScript script(&commander, QStringLiteral("test"));
        script.feed("# comment\ncaller 0612 Anna  Maria\nbogus line\nring 1 0\nwait 200\n"
                    "caller +3900 Bruno\nring 1");
        QCOMPARE(phone.missedCalls(), QStringList{"0612|Anna Maria"});
        QVERIFY(!script.isIdle());
        script.finish();
        QTRY_COMPARE_WITH_TIMEOUT(phone.missedCalls(),
                                  (QStringList{"+3900|Bruno", "0612|Anna Maria"}), kTimeoutMs);
        QVERIFY(script.isIdle());
    }

    // A new user opens the port some time after the demo started, and may close and reopen it:
    // the first ring must come only once the program listens, counted from its latest start-up.
    void demoCallerWaitsForEachStartUp()
    {
        SimPhone phone;
        QVERIFY(phone.start());
        SimCommander commander(&phone);
        PtyClient client(phone.devicePath());
        QVERIFY(client.isOpen());
        QElapsedTimer sinceStartUp;
        const auto startUp = [&] {
            const qsizetype answered = client.received.count("OK\r\n");
            for (const QString &command : framed(kStartUpCommands))
                QVERIFY(client.send(command.toLatin1()));
            sinceStartUp.start();
            QTRY_COMPARE_WITH_TIMEOUT(client.received.count("OK\r\n"), answered + 5, kTimeoutMs);
        };
        commander.setDemo(true);
        // Past the first ring's delay with nobody listening, then a start-up; past it again, a
        // reopen.
        const int gapMs = SimCommander::kDemoFirstRingMs * 5 / 8;
        QTest::qWait(gapMs);
        startUp();
        QTest::qWait(gapMs);
        QVERIFY(!client.received.contains("RING"));
        startUp();
        QTRY_VERIFY_WITH_TIMEOUT(client.received.contains("RING"), kTimeoutMs);
        QCOMPARE_GE(sinceStartUp.elapsed(), SimCommander::kDemoFirstRingMs - 500);
    }

    void executableOutlivesStdinAndCleansUp_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("first");   ///< what the script sends
        QTest::addColumn<QByteArray>("command"); ///< then a command line
        QTest::addColumn<QByteArray>("answer");  ///< and how its answer ends
        QTest::newRow("a friendly phone")
            << QStringList{} << QByteArray("send \\r\\nHELLO\\r\\n\nring 1 0\n")
            << QByteArray("\r\nHELLO\r\n\r\nRING\r\n") << QByteArray("ATE0;+CGMM\r")
            << QByteArray("\r\nTest Model\r\n\r\nOK\r\n");
        QTest::newRow("a phone of every quirk the options give")
            << QStringList{"--ring-cr-cr-lf", "--refuse-dial-while-ringing",
                           "--quoted-storage-only"}
            << QByteArray("ring 2 60000\n") << QByteArray("\r\nRING\r\r\n")
            << QByteArray("ATE0;+CPBS?\rAT+CPBS=MC\rATD0612;\r")
            << QByteArray("\r\n+CPBS: \"SM\",0,10\r\n\r\nOK\r\n\r\nERROR\r\n\r\nNO CARRIER\r\n");
        // Only the PUK set here unlocks the SIM, after the one try that --pin-tries leaves.
        QTest::newRow("a locked SIM, the radio at its minimum, roaming")
            << QStringList{"--sim",   "pin",     "--pin",    "4321",       "--pin-tries",
                           "1",       "--puk",   "87654321", "--no-cpinr", "--network",
                           "roaming", "--radio", "min"}
            << QByteArray("send \\r\\nREADY\\r\\n\n") << QByteArray("\r\nREADY\r\n")
            << QByteArray("ATE0;+CPINR\rAT+CPIN=1234\rAT+CPIN?;+CFUN?\r"
                          "AT+CPIN=87654321,4321;+CFUN=1;+CREG?\r")
            << QByteArray("\r\nERROR\r\n\r\n+CME ERROR: 16\r\n\r\n+CPIN: SIM PUK\r\n\r\n"
                          "+CFUN: 0\r\n\r\nOK\r\n\r\n+CREG: 0,5\r\n\r\nOK\r\n");
        QTest::newRow("a busy callee, and no list of calls")
            << QStringList{"--callee", "busy 0.2", "--refuse-clcc"}
            << QByteArray("send \\r\\nREADY\\r\\n\n") << QByteArray("\r\nREADY\r\n")
            << QByteArray("ATE0;+CLCC\rATD0612;\r")
            << QByteArray("\r\nERROR\r\n\r\nOK\r\n\r\nBUSY\r\n");
    }
    void executableOutlivesStdinAndCleansUp()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, answer);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("phone"));
        QProcess sim;
        sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sim.start(QStringLiteral(PHONE_SIM_EXE),
                  QStringList{QStringLiteral("--link"), link, QStringLiteral("--model"),
                              QStringLiteral("Test Model")} +
                      options);
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), kTimeoutMs);
        QVERIFY(sim.readLine().startsWith("device: /dev/pts/"));
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), kTimeoutMs);
        QCOMPARE(sim.readLine(), (QStringLiteral("link: ") + link + QLatin1Char('\n')).toUtf8());

        PtyClient client(link);
        QVERIFY(client.isOpen());
        sim.write(script);
        sim.closeWriteChannel();
        QTRY_COMPARE_WITH_TIMEOUT(client.received, first, kTimeoutMs);
        QVERIFY(client.send(command));
        QTRY_VERIFY_WITH_TIMEOUT(client.received.endsWith(answer), kTimeoutMs);
        QCOMPARE(sim.state(), QProcess::Running);

        sim.terminate();
        QTRY_COMPARE_WITH_TIMEOUT(sim.state(), QProcess::NotRunning, kTimeoutMs);
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TstSimScript)
#include "tst_sim_script.moc"
