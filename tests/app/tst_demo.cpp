// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/program_process.h"
#include "tests/support/program_run.h"
#include "tests/support/test_numbers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>

namespace {

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

/// The command line of the autostart entry that --autostart writes for com1 and log, read as a
/// launcher reads Exec=; the entry is validated, and --no-autostart removes it again.
void autostartCommand(const QTemporaryDir &dir, const QString &com1, const QString &log,
                      QStringList *command)
{
    const QString entry =
        dir.filePath(QStringLiteral("config/autostart/org.example.tornasquillo.desktop"));
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    noDisplay.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    removeDisplay(noDisplay);
    // In the order the entry writes them: the files first.
    const QStringList options =
        QStringList{"--com1", com1, "--log", log, "--call-back-to", "+393"} +
        QStringList{"--call-back-limit", "5", "--open", "1", "--call-back"} +
        QStringList{"--call-back-after", "0", "--hang-up-after", "0"};
    QProcess write;
    write.setProcessEnvironment(noDisplay);
    write.start(QStringLiteral(TORNASQUILLO_EXE), QStringList{"--autostart"} + options);
    QVERIFY(write.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(write.exitCode(), 0);
    QVERIFY(QString::fromLocal8Bit(write.readAllStandardOutput()).contains(entry));
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    // The quoting a launcher undoes.
    *command =
        QProcess::splitCommand(text.section(QStringLiteral("\nExec="), 1).section(u'\n', 0, 0));
    QVERIFY2(!command->isEmpty(), qPrintable(text));
    QCOMPARE(QFileInfo(command->first()).canonicalFilePath(),
             QFileInfo(QStringLiteral(TORNASQUILLO_EXE)).canonicalFilePath());
    QCOMPARE(command->mid(1), options);
    // The test scripts install desktop-file-utils: without the validator the entry is unchecked.
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate is missing (desktop-file-utils)");
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(validator, {entry});
    QVERIFY(validate.waitForFinished(kProcessTimeoutMs));
    QVERIFY2(validate.exitCode() == 0 && validate.readAll().isEmpty(), qPrintable(text));

    QProcess remove;
    remove.setProcessEnvironment(noDisplay);
    remove.start(QStringLiteral(TORNASQUILLO_EXE), {"--no-autostart"});
    QVERIFY(remove.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(remove.exitCode(), 0);
    QVERIFY(QString::fromLocal8Bit(remove.readAllStandardOutput()).contains(entry));
    QVERIFY(!QFileInfo::exists(entry));
}

/// The record of the squillo in the file of --log, the same record in the journal, and the
/// journal's panel lines (those of the run without a window) as expected.
void checkRecords(const QString &log, const QString &said, const QStringList &status)
{
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString record = QString::fromUtf8(file.readAll());
    static const QRegularExpression designed(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d\\t"
                       "Ha squillato : ") +
        QRegularExpression::escape(kCallerNumber) + QStringLiteral("   > ") +
        QRegularExpression::escape(kCallerName) + QStringLiteral("     = Risposto\\n$"));
    QVERIFY2(designed.match(record).hasMatch(), qPrintable(record));
    QVERIFY2(said.contains(QStringLiteral("tornasquillo.calls: ") +
                           record.trimmed().replace(u'\t', u' ') + u'\n'),
             qPrintable(said));
    QStringList panels;
    for (const QString &line : said.split(u'\n')) {
        if (line.startsWith(QLatin1String("tornasquillo.status: ")))
            panels << line.mid(21);
    }
    QCOMPARE(panels, status);
}

/// The service's command line as systemd makes it: ExecStart=, with the variable it names taken
/// from the example in the defaults file that EnvironmentFile= reads (an unbraced $NAME is split
/// at white space), the example's device and log made the test's own. The example names a
/// /dev/serial/by-id/ device, switches the responder on, and logs into the unit's state folder.
void serviceCommand(const QString &com1, const QString &log, QStringList *command)
{
    QFile unitFile(QStringLiteral(TORNASQUILLO_SERVICE));
    QVERIFY(unitFile.open(QIODevice::ReadOnly));
    const QString unit = QString::fromUtf8(unitFile.readAll());
    const auto setting = [&unit](const char *key) {
        return unit.section(u'\n' + QLatin1String(key) + u'=', 1).section(u'\n', 0, 0);
    };
    QCOMPARE(setting("EnvironmentFile"), QStringLiteral("-/etc/default/tornasquillo"));
    const QStringList exec = setting("ExecStart").split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(exec.size(), 3);
    QCOMPARE(exec.first(2), (QStringList{"/usr/bin/tornasquillo", "--headless"}));
    QVERIFY2(exec[2].startsWith(u'$') && !exec[2].startsWith(QLatin1String("${")),
             qPrintable(exec[2]));

    QFile defaultsFile(QStringLiteral(TORNASQUILLO_DEFAULTS));
    QVERIFY(defaultsFile.open(QIODevice::ReadOnly));
    const QString defaults = QString::fromUtf8(defaultsFile.readAll());
    const QString example = QStringLiteral("\n#") + exec[2].mid(1) + QStringLiteral("=\"");
    QVERIFY2(defaults.contains(example), qPrintable(defaults));
    QStringList options =
        defaults.section(example, 1).section(u'"', 0, 0).split(u' ', Qt::SkipEmptyParts);
    QVERIFY(options.contains(QStringLiteral("--call-back")));
    const qsizetype device = options.indexOf(QStringLiteral("--com1")) + 1;
    QVERIFY(device > 0 && options.value(device).startsWith(QLatin1String("/dev/serial/by-id/")));
    options[device] = com1;
    const qsizetype file = options.indexOf(QStringLiteral("--log")) + 1;
    QVERIFY(file > 0 && options.value(file).startsWith(QStringLiteral("/var/lib/") +
                                                       setting("StateDirectory") + u'/'));
    options[file] = log;
    *command = QStringList{QStringLiteral(TORNASQUILLO_EXE), exec[1]} + options +
               QStringList{"--call-back-after", "0", "--hang-up-after", "0"};
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
        environment.insert(QStringLiteral("XDG_STATE_HOME"), runtime.path());
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(TORNASQUILLO_EXE), {QStringLiteral("--demo")});
        QVERIFY(program.waitForStarted(kProcessTimeoutMs));

        const QString link =
            QDir(runtime.path())
                .filePath(QStringLiteral("tornasquillo-phone-%1").arg(program.processId()));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), kProcessTimeoutMs);
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
        QTRY_COMPARE_WITH_TIMEOUT(program.state(), QProcess::NotRunning, kProcessTimeoutMs);
        if (cleanExit) {
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!isRunning(phone), kProcessTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!pathExists(link), kProcessTimeoutMs);
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
        QTest::addColumn<bool>("display");
        const auto error = [](int code) { return QString::fromLocal8Bit(std::strerror(code)); };
        const QString port = QStringLiteral("--open takes 1 (COM 1) or 2 (COM 2), not \"%1\"");
        const QString range = QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"");
        const QString minutes = QStringLiteral("--cool-down takes whole minutes from 0 to 1440");
        QTest::newRow("a log in a missing folder")
            << QStringList{"--log", "DIR/missing/calls.log"}
            << QStringList{"DIR/missing/calls.log", error(ENOENT)} << true;
        QTest::newRow("a log that is a folder")
            << QStringList{"--log", "DIR"} << QStringList{"DIR", error(EISDIR)} << true;
        QTest::newRow("--cool-down -1")
            << QStringList{"--cool-down", "-1"} << QStringList{minutes, "\"-1\""} << true;
        QTest::newRow("--cool-down 1441")
            << QStringList{"--cool-down", "1441"} << QStringList{minutes, "\"1441\""} << true;
        QTest::newRow("--cool-down ten")
            << QStringList{"--cool-down", "ten"} << QStringList{minutes, "\"ten\""} << true;
        QTest::newRow("--call-back-to 39")
            << QStringList{"--call-back-to", "39"}
            << QStringList{"--call-back-to takes \"any\" or prefixes", "not \"39\""} << true;
        QTest::newRow("--call-back-limit 0")
            << QStringList{"--call-back-limit", "0"}
            << QStringList{"--call-back-limit takes a whole number of call-backs from 1 to 1000, "
                           "not \"0\""}
            << true;
        QTest::newRow("--pin-file that others may read")
            << QStringList{"--pin-file", "/etc/passwd"}
            << QStringList{"the PIN file /etc/passwd may be read by others than its owner"} << true;
        QTest::newRow("--pin-file missing")
            << QStringList{"--pin-file", "DIR/pin"}
            << QStringList{"cannot read the PIN file DIR/pin", error(ENOENT)} << true;
        QTest::newRow("--open 3") << QStringList{"--open", "3"} << QStringList{port.arg("3")}
                                  << true;
        QTest::newRow("--open COM1")
            << QStringList{"--open", "COM1"} << QStringList{port.arg("COM1")} << true;
        QTest::newRow("--hang-up-after 21")
            << QStringList{"--hang-up-after", "21"}
            << QStringList{range.arg("hang-up-after").arg(0).arg(20).arg(21)} << true;
        QTest::newRow("--call-back-after -1")
            << QStringList{"--call-back-after", "-1"}
            << QStringList{range.arg("call-back-after").arg(0).arg(60).arg(-1)} << true;
        QTest::newRow("--call-back-after 61")
            << QStringList{"--call-back-after", "61"}
            << QStringList{range.arg("call-back-after").arg(0).arg(60).arg(61)} << true;
        QTest::newRow("--max-rings 0")
            << QStringList{"--max-rings", "0"}
            << QStringList{range.arg("max-rings").arg(1).arg(10).arg(0)} << true;
        QTest::newRow("--max-rings two")
            << QStringList{"--max-rings", "two"}
            << QStringList{range.arg("max-rings").arg(1).arg(10).arg("two")} << true;
        QTest::newRow("--autostart --max-rings 11")
            << QStringList{"--autostart", "--open", "1", "--max-rings", "11"}
            << QStringList{range.arg("max-rings").arg(1).arg(10).arg(11)} << true;
        QTest::newRow("--autostart --cool-down 1441")
            << QStringList{"--autostart", "--cool-down", "1441"} << QStringList{minutes, "\"1441\""}
            << true;
        // Without a display the window cannot start, and the run without one needs none.
        QTest::newRow("no display")
            << QStringList{} << QStringList{"no display", "--headless"} << false;
        QTest::newRow("--headless --max-rings 11")
            << QStringList{"--headless", "--max-rings", "11"}
            << QStringList{range.arg("max-rings").arg(1).arg(10).arg(11)} << false;
        QTest::newRow("--headless --cool-down ten")
            << QStringList{"--headless", "--cool-down", "ten"} << QStringList{minutes, "\"ten\""}
            << false;
        QTest::newRow("--headless, a log in a missing folder")
            << QStringList{"--headless", "--log", "DIR/missing/calls.log"}
            << QStringList{"DIR/missing/calls.log", error(ENOENT)} << false;
        QTest::newRow("--headless, an unknown option")
            << QStringList{"--headless", "--answer"} << QStringList{"Unknown option 'answer'."}
            << false;
        QTest::newRow("--autostart --headless")
            << QStringList{"--autostart", "--headless"}
            << QStringList{"--autostart takes the options of the window only"} << false;
    }
    void aStartItCannotFollowEndsIt()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, says);
        QFETCH(bool, display);
        QTemporaryDir dir;
        arguments.replaceInStrings(QStringLiteral("DIR"), dir.path());
        says.replaceInStrings(QStringLiteral("DIR"), dir.path());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (display)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        else
            removeDisplay(environment);
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
        // Without a display nothing of Qt's graphics starts: the program's one line is all.
        if (!display)
            QVERIFY2(said.count(u'\n') == 1, qPrintable(said));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("config"))));
    }

    // After a reboot nobody clicks. The program started by its autostart entry's command line, or
    // by the service's with the options of its defaults file, waits for a phone that appears 3
    // seconds late, and calls back a squillo 10 seconds later. The service's run has no display:
    // what the window would show is in the journal, each text once.
    void aProgramLeftRunningAnswersALatePhone_data()
    {
        QTest::addColumn<bool>("headless");
        QTest::addColumn<QStringList>("status"); // the journal's panel lines, in order
        QTest::newRow("the autostart entry") << false << QStringList{};
        QTest::newRow("the service") << true
                                     << QStringList{"panel 1: DISCONNESSO",
                                                    "panel 2: Porta non aperta o occupata",
                                                    "panel 1: CONNESSO",
                                                    "panel 2: CONNESSO A TS-GSM 900/1800 simulato",
                                                    "panel 2: Rilevata chiamata .. 1 squilli",
                                                    "panel 2: Squillo..",
                                                    "panel 2: Risposto a squillo.."};
    }
    void aProgramLeftRunningAnswersALatePhone()
    {
        QFETCH(bool, headless);
        QFETCH(QStringList, status);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("usb modem")));
        // The entry quotes a folder's space in Exec=; a service's options are split at spaces.
        const QString com1 =
            dir.filePath(headless ? QStringLiteral("phone") : QStringLiteral("usb modem/phone"));
        const QString log = dir.filePath(QStringLiteral("calls.log"));
        QStringList command;
        if (headless)
            serviceCommand(com1, log, &command);
        else
            autostartCommand(dir, com1, log, &command);
        if (QTest::currentTestFailed())
            return;

        QTemporaryDir runtime;
        QProcessEnvironment session = QProcessEnvironment::systemEnvironment();
        session.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        // The record of call-backs is the test's own: another run's would hold the caller back.
        session.insert(QStringLiteral("XDG_STATE_HOME"), runtime.path());
        session.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tornasquillo.*=true"));
        if (headless)
            removeDisplay(session);
        TestProcess program(session);
        program.process.start(command.first(), command.mid(1));
        QVERIFY(program.process.waitForStarted(kProcessTimeoutMs));
        QTRY_VERIFY_WITH_TIMEOUT(program.said.contains("COM 1 is waited for"), kProcessTimeoutMs);
        QTest::qWait(3000);

        TestProcess phone(session);
        startPhone(phone, QStringLiteral(PHONE_SIM_EXE), dir.filePath(QStringLiteral("squillo")),
                   "ring 1 after AT+CGMM 10000\n", com1);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(phone.said.contains("<- AT+CGMM"), kProcessTimeoutMs);
        QElapsedTimer sinceStartUp;
        sinceStartUp.start();
        QTRY_VERIFY_WITH_TIMEOUT(phone.said.contains("<- " + kCallerDial.toLatin1()), 60000);
        QVERIFY(sinceStartUp.elapsed() >= 10000);
        QTRY_VERIFY_WITH_TIMEOUT(program.said.contains("tornasquillo.calls: "), kProcessTimeoutMs);
        QCOMPARE(program.said.count("is waited for"), 1);
        QVERIFY(phone.said.indexOf("<- ATH", phone.said.indexOf("<- ATD")) > 0);

        checkRecords(log, QString::fromLocal8Bit(program.said), status);
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
        const QString failure =
            answersInBothLanguages(QStringLiteral(TORNASQUILLO_EXE), arguments, exitStatus, english,
                                   italian, kProcessTimeoutMs);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstDemo)
#include "tst_demo.moc"
