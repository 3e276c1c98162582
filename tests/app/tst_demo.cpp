// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/program_run.h"
#include "tests/support/test_numbers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
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

/// Collects a process's standard error as it comes into `said`, which outlives it.
void collectStderr(QProcess &process, QByteArray &said)
{
    QObject::connect(&process, &QProcess::readyReadStandardError, &process,
                     [&process, &said] { said += process.readAllStandardError(); });
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

    // What the program cannot do as asked ends it before any window, with status 1 and the
    // reason: a record that cannot be kept, a value out of the range it takes (with --autostart,
    // before any entry is written).
    void aStartItCannotFollowEndsIt_data()
    {
        QTest::addColumn<QStringList>("arguments"); // DIR: a fresh folder
        QTest::addColumn<QStringList>("says");
        const auto error = [](int code) { return QString::fromLocal8Bit(std::strerror(code)); };
        const QString port = QStringLiteral("--open takes 1 (COM 1) or 2 (COM 2), not \"%1\"");
        const QString range = QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"");
        const QString minutes = QStringLiteral("--cool-down takes whole minutes from 0 to 1440");
        QTest::newRow("a log in a missing folder")
            << QStringList{"--log", "DIR/missing/calls.log"}
            << QStringList{"DIR/missing/calls.log", error(ENOENT)};
        QTest::newRow("a log that is a folder")
            << QStringList{"--log", "DIR"} << QStringList{"DIR", error(EISDIR)};
        QTest::newRow("--cool-down -1")
            << QStringList{"--cool-down", "-1"} << QStringList{minutes, "\"-1\""};
        QTest::newRow("--cool-down 1441")
            << QStringList{"--cool-down", "1441"} << QStringList{minutes, "\"1441\""};
        QTest::newRow("--cool-down ten")
            << QStringList{"--cool-down", "ten"} << QStringList{minutes, "\"ten\""};
        QTest::newRow("--call-back-to 39")
            << QStringList{"--call-back-to", "39"}
            << QStringList{"--call-back-to takes \"any\" or prefixes", "not \"39\""};
        QTest::newRow("--call-back-limit 0")
            << QStringList{"--call-back-limit", "0"}
            << QStringList{"--call-back-limit takes a whole number of call-backs from 1 to 1000, "
                           "not \"0\""};
        QTest::newRow("--open 3") << QStringList{"--open", "3"} << QStringList{port.arg("3")};
        QTest::newRow("--open COM1")
            << QStringList{"--open", "COM1"} << QStringList{port.arg("COM1")};
        QTest::newRow("--hang-up-after 21")
            << QStringList{"--hang-up-after", "21"}
            << QStringList{range.arg("hang-up-after").arg(0).arg(20).arg(21)};
        QTest::newRow("--call-back-after -1")
            << QStringList{"--call-back-after", "-1"}
            << QStringList{range.arg("call-back-after").arg(0).arg(60).arg(-1)};
        QTest::newRow("--call-back-after 61")
            << QStringList{"--call-back-after", "61"}
            << QStringList{range.arg("call-back-after").arg(0).arg(60).arg(61)};
        QTest::newRow("--max-rings 0") << QStringList{"--max-rings", "0"}
                                       << QStringList{range.arg("max-rings").arg(1).arg(10).arg(0)};
        QTest::newRow("--max-rings two")
            << QStringList{"--max-rings", "two"}
            << QStringList{range.arg("max-rings").arg(1).arg(10).arg("two")};
        QTest::newRow("--autostart --max-rings 11")
            << QStringList{"--autostart", "--open", "1", "--max-rings", "11"}
            << QStringList{range.arg("max-rings").arg(1).arg(10).arg(11)};
        QTest::newRow("--autostart --cool-down 1441")
            << QStringList{"--autostart", "--cool-down", "1441"}
            << QStringList{minutes, "\"1441\""};
    }
    void aStartItCannotFollowEndsIt()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, says);
        QTemporaryDir dir;
        arguments.replaceInStrings(QStringLiteral("DIR"), dir.path());
        says.replaceInStrings(QStringLiteral("DIR"), dir.path());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           dir.filePath(QStringLiteral("config")));
        program.setProcessEnvironment(environment);
        // A program that went on to its window would run until killed.
        program.start(
            QStringLiteral(TORNASQUILLO_EXE),
            QStringList{QStringLiteral("--com1"), dir.filePath(QStringLiteral("no-phone"))} +
                arguments);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString said = QString::fromLocal8Bit(program.readAllStandardError());
        for (const QString &text : says)
            QVERIFY2(said.contains(text), qPrintable(said));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("config"))));
    }

    // After a reboot nobody clicks: the program started by its autostart entry's command line
    // waits for a phone that appears late, and calls back a squillo 10 seconds later.
    void theAutostartEntryStartsTheProgramAsLeft()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("usb modem")));
        const QString com1 = dir.filePath(QStringLiteral("usb modem/phone")); // quoted in Exec=
        const QString entry =
            dir.filePath(QStringLiteral("config/autostart/org.example.tornasquillo.desktop"));
        QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
        noDisplay.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            noDisplay.remove(QString::fromLatin1(name));
        const QStringList options =
            QStringList{"--com1", com1, "--call-back-to", "+393", "--call-back-limit", "5"} +
            QStringList{"--open", "1", "--call-back", "--call-back-after", "0"} +
            QStringList{"--hang-up-after", "0"};

        QProcess write;
        write.setProcessEnvironment(noDisplay);
        write.start(QStringLiteral(TORNASQUILLO_EXE), QStringList{"--autostart"} + options);
        QVERIFY(write.waitForFinished(kTimeoutMs));
        QCOMPARE(write.exitCode(), 0);
        QVERIFY(QString::fromLocal8Bit(write.readAllStandardOutput()).contains(entry));
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        // The quoting a launcher undoes: the folder's name has a space.
        const QStringList command =
            QProcess::splitCommand(text.section(QStringLiteral("\nExec="), 1).section(u'\n', 0, 0));
        QVERIFY2(!command.isEmpty(), qPrintable(text));
        QCOMPARE(QFileInfo(command.first()).canonicalFilePath(),
                 QFileInfo(QStringLiteral(TORNASQUILLO_EXE)).canonicalFilePath());
        QCOMPARE(command.mid(1), options);
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (!validator.isEmpty()) {
            QProcess validate;
            validate.setProcessChannelMode(QProcess::MergedChannels);
            validate.start(validator, {entry});
            QVERIFY(validate.waitForFinished(kTimeoutMs));
            QVERIFY2(validate.exitCode() == 0 && validate.readAll().isEmpty(), qPrintable(text));
        }

        QTemporaryDir runtime;
        QProcessEnvironment session = QProcessEnvironment::systemEnvironment();
        session.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        session.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tornasquillo.*=true"));
        QByteArray programSaid;
        QProcess program;
        program.setProcessEnvironment(session);
        collectStderr(program, programSaid);
        program.start(command.first(), command.mid(1));
        QVERIFY(program.waitForStarted(kTimeoutMs));
        const auto end = qScopeGuard([&program] {
            program.terminate();
            program.waitForFinished(kTimeoutMs);
        });
        QTRY_VERIFY_WITH_TIMEOUT(programSaid.contains("COM 1 is waited for"), kTimeoutMs);
        QTest::qWait(3000);

        QFile script(dir.filePath(QStringLiteral("squillo")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("ring 1 after AT+CGMM 10000\n");
        script.close();
        QByteArray phoneSaid;
        QProcess phone;
        phone.setProcessEnvironment(session);
        collectStderr(phone, phoneSaid);
        phone.start(QStringLiteral(PHONE_SIM_EXE), {"--link", com1, "--script", script.fileName()});
        QVERIFY(phone.waitForStarted(kTimeoutMs));
        const auto endPhone = qScopeGuard([&phone] {
            phone.terminate();
            phone.waitForFinished(kTimeoutMs);
        });
        QTRY_VERIFY_WITH_TIMEOUT(phoneSaid.contains("<- AT+CGMM"), kTimeoutMs);
        QElapsedTimer sinceStartUp;
        sinceStartUp.start();
        QTRY_VERIFY_WITH_TIMEOUT(phoneSaid.contains("<- " + kCallerDial.toLatin1()), 60000);
        QVERIFY(sinceStartUp.elapsed() >= 10000);
        QTRY_VERIFY_WITH_TIMEOUT(programSaid.contains("Ha squillato : " + kCallerNumber.toLatin1()),
                                 kTimeoutMs);
        QCOMPARE(programSaid.count("is waited for"), 1);

        QProcess remove;
        remove.setProcessEnvironment(noDisplay);
        remove.start(QStringLiteral(TORNASQUILLO_EXE), {"--no-autostart"});
        QVERIFY(remove.waitForFinished(kTimeoutMs));
        QCOMPARE(remove.exitCode(), 0);
        QVERIFY(QString::fromLocal8Bit(remove.readAllStandardOutput()).contains(entry));
        QVERIFY(!QFileInfo::exists(entry));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed: the entry was not validated");
    }

    // Without a display the program answers, in the locale's language: Italian for an Italian
    // locale, English otherwise. Each row names a sentence or two of the output in each. (Its
    // --check-phone: tst_phone_check.)
    void theProgramAnswersWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<QStringList>("english");
        QTest::addColumn<QStringList>("italian");
        QTest::newRow("help") << QStringList{"--help"} << 0
                              << QStringList{"Displays help on commandline",
                                             "Watches a GSM phone on a serial port"}
                              << QStringList{"Mostra l'aiuto sulle opzioni",
                                             "Sorveglia un telefono GSM collegato a una porta"};
        QTest::newRow("a bad option") << QStringList{"--list-ports", "--nonsense"} << 1
                                      << QStringList{"Unknown option 'nonsense'."}
                                      << QStringList{"Opzione sconosciuta 'nonsense'."};
        QTest::newRow("ports") << QStringList{"--list-ports", "--com1", "/nonexistent/tty"} << 0
                               << QStringList{"COM 1 = /nonexistent/tty (not present)"}
                               << QStringList{"COM 1 = /nonexistent/tty (non presente)"};
    }
    void theProgramAnswersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitStatus);
        QFETCH(QStringList, english);
        QFETCH(QStringList, italian);
        const QString failure = answersInBothLanguages(QStringLiteral(TORNASQUILLO_EXE), arguments,
                                                       exitStatus, english, italian, kTimeoutMs);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstDemo)
#include "tst_demo.moc"
