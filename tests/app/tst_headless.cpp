// SPDX-License-Identifier: GPL-3.0-or-later
// The run without a window as a service manager ends it: the real program against the simulated
// phone, two processes, without a display.
#include "headless_run.h"
#include "tests/support/program_process.h"
#include "tests/support/test_numbers.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

/// The commands in what the simulated phone said, in the order it heard them, without the
/// questions about the phone's state that an idle program may have on its way.
QStringList commandsHeard(const QByteArray &said)
{
    QStringList commands;
    for (const QByteArray &line : said.split('\n')) {
        if (const qsizetype at = line.indexOf("<- "); at >= 0)
            commands << QString::fromLatin1(line.mid(at + 3));
    }
    return withoutStateQuestions(commands);
}

} // namespace

class TstHeadless : public QObject
{
    Q_OBJECT

private slots:
    // A quit signal ends the run without a window as ESCI ends the window, whatever the run is
    // doing: the phone is reset, and the exit status is 0 within the run's quit limit and the
    // process's own end (after SIGHUP, the status that has the service restarted). A call-back on
    // the line, or a dial the phone has not answered yet, is hung up first. A silent phone is not
    // waited for past the limit.
    void aQuitSignalEndsTheHeadlessRunAsEsciDoes_data()
    {
        QTest::addColumn<QStringList>("phoneOptions");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("before"); // said by the phone or the program
        QTest::addColumn<int>("signal");
        QTest::addColumn<QStringList>("heard"); // what the phone hears after the signal
        QTest::addColumn<QByteArray>("says");
        const QByteArray idle = "panel 2: CONNESSO A";
        const QByteArray squillo = "ring 1 after AT+CGMM 500\n";
        const QStringList reset{"ATZ"};
        const QStringList hangUpFirst{"ATH", "ATZ"};
        QTest::newRow("idle, SIGTERM")
            << QStringList{} << QByteArray() << idle << int(SIGTERM) << reset
            << QByteArray("SIGTERM: the phone's reset answered OK");
        QTest::newRow("idle, SIGINT")
            << QStringList{} << QByteArray() << idle << int(SIGINT) << reset
            << QByteArray("SIGINT: the phone's reset answered OK");
        QTest::newRow("idle, SIGHUP")
            << QStringList{} << QByteArray() << idle << int(SIGHUP) << reset
            << QByteArray("SIGHUP: the phone's reset answered OK");
        QTest::newRow("the call-back standing, SIGTERM")
            << QStringList{} << squillo << QByteArray("<- ATD") << int(SIGTERM) << hangUpFirst
            << QByteArray("SIGTERM: the phone's reset answered OK");
        QTest::newRow("a dial the callee has not answered, SIGTERM")
            << QStringList{"--profile", "+COLP=1"} << "callee never\n" + squillo
            << QByteArray("<- ATD") << int(SIGTERM) << hangUpFirst
            << QByteArray("SIGTERM: the phone's reset answered OK");
        QTest::newRow("a silent phone in the start-up dialogue, SIGTERM")
            << QStringList{} << QByteArray("silent on\n") << QByteArray("<- ATZ") << int(SIGTERM)
            << reset << QByteArray("the phone did not answer within 1.5 s");
    }
    void aQuitSignalEndsTheHeadlessRunAsEsciDoes()
    {
        QFETCH(QStringList, phoneOptions);
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, before);
        QFETCH(int, signal);
        QFETCH(QStringList, heard);
        QFETCH(QByteArray, says);
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("phone"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                           QStringLiteral("tornasquillo.*=true"));
        // The record of call-backs is the test's own: another run's would hold the caller back.
        environment.insert(QStringLiteral("XDG_STATE_HOME"), dir.path());
        removeDisplay(environment);
        TestProcess phone(environment);
        startPhone(phone, QStringLiteral(PHONE_SIM_EXE), dir.filePath(QStringLiteral("script")),
                   script, link, phoneOptions);
        if (QTest::currentTestFailed())
            return;

        TestProcess program(environment, TestProcess::End::Kill);
        program.process.start(QStringLiteral(TORNASQUILLO_EXE),
                              {"--headless", "--com1", link, "--call-back", "--call-back-after",
                               "0", "--hang-up-after", "20"});
        QTRY_VERIFY_WITH_TIMEOUT((phone.said + program.said).contains(before), 60000);

        const qsizetype mark = phone.said.size();
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        QCOMPARE(::kill(pid_t(program.process.processId()), signal), 0);
        QVERIFY(program.process.waitForFinished(kProcessTimeoutMs));
#if !defined(__SANITIZE_ADDRESS__)
        // The sanitizers' build runs several times slower: it is held to the order only.
        const qint64 took = sinceSignal.elapsed();
        // The process's own end, once the run is over, takes a moment of its own.
        constexpr qint64 kProcessEndMs = 500;
        QVERIFY2(took < HeadlessRun::kQuitLimitMs + kProcessEndMs,
                 qPrintable(QString::number(took)));
#endif
        QCOMPARE(program.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process.exitCode(), signal == SIGHUP ? 128 + SIGHUP : 0);
        QVERIFY2(program.said.contains(says), program.said.constData());
        QTRY_COMPARE_WITH_TIMEOUT(commandsHeard(phone.said.mid(mark)), heard, kProcessTimeoutMs);
    }
};

QTEST_GUILESS_MAIN(TstHeadless)
#include "tst_headless.moc"
