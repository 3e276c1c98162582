// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_check/phone_check.h"
#include "phone_sim/sim_phone.h"
#include "phone_sim/sim_script.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_line.h"
#include "tests/support/fake_pump.h"
#include "tests/support/program_run.h"
#include "tests/support/test_numbers.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

/// The simulated phone on a pseudo-terminal, set up by script lines.
struct Phone
{
    /// False, with the line refused said, when the phone could not be set up.
    bool start(const QString &link, const QString &script)
    {
        if (!sim.start(link))
            return false;
        SimCommander commander(&sim);
        for (const QString &line : script.split(u'\n', Qt::SkipEmptyParts)) {
            QString why;
            if (!commander.execute(line, &why)) {
                qWarning().noquote() << "refused:" << line << why;
                return false;
            }
        }
        return true;
    }
    SimPhone sim;
};

} // namespace

class TestPhoneCheck : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString link(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void reportsWhatEachPhoneNeeds_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("fix");
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<QStringList>("reported");
        QTest::addColumn<double>("maxSeconds");
        const double quick = 15;
        QTest::newRow("good") << "" << false << 0 << QStringList{"Summary: 0 problems, 0 warnings."}
                              << quick;
        // One setting stored wrong: the report names it and its fix, and nothing else.
        struct Stored
        {
            const char *name, *setting, *line, *fix;
        };
        for (const Stored &row : {
                 Stored{"+COLP=1 stored", "+COLP=1",
                        "problem: a dial is answered only when the callee picks up", "+COLP=0"},
                 Stored{"+CVHU=1 stored", "+CVHU=1", "problem: ATH does not end a voice call",
                        "+CVHU=0"},
                 Stored{"S0=2 stored", "S0=2",
                        "problem: the phone answers a call itself after 2 rings", "S0=0"},
                 Stored{"UCS2 stored", "+CSCS=\"UCS2\"", "problem: character set \"UCS2\"",
                        "+CSCS=\"GSM\""},
                 Stored{"+CMEE=1 stored", "+CMEE=1",
                        "warning: errors are reported as \"+CME ERROR: ...\"", "+CMEE=0"},
                 Stored{"V0 stored", "V0",
                        "warning: after ATZ the phone sends its result codes as numbers", "V1"},
             }) {
            const bool problem = QByteArray(row.line).startsWith("problem");
            QTest::newRow(row.name)
                << QStringLiteral("profile ") + row.setting << false << (problem ? 1 : 0)
                << QStringList{row.line, QStringLiteral("Fix: AT%1, then AT&W.").arg(row.fix),
                               problem ? "Summary: 1 problem, 0 warnings."
                                       : "Summary: 0 problems, 1 warning."}
                << quick;
        }
        // Tornasquillo counts "+CRING: VOICE" and takes the caller from +CLIP: the report says
        // what was read.
        QTest::newRow("+CRC=1 stored")
            << "profile +CRC=1" << false << 0
            << QStringList{"ok: the phone's setting is +CRC=1 (AT+CRC?).",
                           "Summary: 0 problems, 0 warnings."}
            << quick;
        QTest::newRow("+CLIP=1 stored")
            << "profile +CLIP=1" << false << 0
            << QStringList{"ok: the phone's setting is +CLIP=1 (AT+CLIP? is 1,1).",
                           "Summary: 0 problems, 0 warnings."}
            << quick;
        QTest::newRow("Q1 stored")
            << "profile Q1" << false << 0
            << QStringList{"ok: the phone answers once its result codes are switched on",
                           "warning: after ATZ the phone sends no result codes",
                           "Fix: ATQ0, then AT&W.", "Summary: 0 problems, 1 warning."}
            << PhoneCheck::kRunLimit;
        const QString noList = "the phone has no missed-call list \"MC\" (AT+CPBS=? lists "
                               "(\"SM\"); AT+CPBS=MC answered \"ERROR\" and AT+CPBS=\"MC\" "
                               "\"ERROR\")";
        QTest::newRow("messages delivered to the port")
            << "profile +CNMI=2,2,0,0,0" << false << 1
            << QStringList{"problem: text messages are delivered to the port and not stored "
                           "(AT+CNMI? mt 2)",
                           "Fix: AT+CNMI=2,1,0,0,0, then AT&W.", "Summary: 1 problem, 0 warnings."}
            << quick;
        QTest::newRow("no missed-call list")
            << "mc off" << false << 1
            << QStringList{"problem: " + noList + ", and caller ID is not on (+CLIP=0)",
                           "Fix: AT+CLIP=1, then AT&W.", "Summary: 1 problem, 0 warnings."}
            << quick;
        QTest::newRow("no missed-call list, caller ID on")
            << "mc off\nprofile +CLIP=1" << false << 0
            << QStringList{"warning: " + noList + ": the caller comes from caller ID only.",
                           "Summary: 0 problems, 1 warning."}
            << quick;
        QTest::newRow("--fix: caller ID for a phone without the list")
            << "mc off" << true << 0
            << QStringList{"Fixing: sending AT+CLIP=1 (the caller's number with the rings), "
                           "then AT&W",
                           "Checking again after ATZ:",
                           "warning: " + noList + ": the caller comes from caller ID only.",
                           "Summary: 0 problems, 1 warning."}
            << quick;
        QTest::newRow("only the quoted storage")
            << "storage quoted" << false << 0
            << QStringList{"ok: AT+CPBS=MC, unquoted, answered \"ERROR\", but the quoted form "
                           "AT+CPBS=\"MC\" answers OK",
                           "Summary: 0 problems, 0 warnings."}
            << quick;
        QTest::newRow("a bare AT refused, the program's commands answered")
            << "bare-at error" << false << 0
            << QStringList{"warning: the phone answers a bare \"AT\" with \"ERROR\".",
                           "Summary: 0 problems, 1 warning."}
            << quick;
        QTest::newRow("no list of calls")
            << "clcc error" << false << 0
            << QStringList{"warning: the phone does not list its calls (AT+CLCC answered "
                           "\"ERROR\"): a call-back that is answered stays connected",
                           "Summary: 0 problems, 1 warning."}
            << quick;
        QTest::newRow("radio off")
            << "radio off" << false << 1
            << QStringList{"problem: the phone's radio is off (AT+CFUN? is 4): no call reaches "
                           "the phone. Fix: AT+CFUN=1.\n",
                           "Summary: 1 problem, 0 warnings."}
            << quick;
        QTest::newRow("--fix: the radio on")
            << "radio off" << true << 0
            << QStringList{"Fixing: sending AT+CFUN=1 (radio on), then AT&W",
                           "Checking again after ATZ:", "Summary: 0 problems, 0 warnings."}
            << quick;
        QTest::newRow("international without '+'")
            << "caller " + kCallerNumber + " Mario\nring 1 0\ninternational bare" << false << 0
            << QStringList{"ok: entry 1 of the missed-call list is \"393331234567\", an "
                           "international number without its \"+\" (type 145)"}
            << quick;
        QTest::newRow("silent") << "silent on" << false << 1
                                << QStringList{"problem: no answer to \"AT\" within 3 seconds"}
                                << PhoneCheck::kRunLimit;
        const QString noSelect = "problem: the missed-call list \"MC\" cannot be selected "
                                 "(AT+CPBS=MC answered \"+CME ERROR: 10\" (SIM not inserted)), "
                                 "and caller ID is not on";
        QTest::newRow("+CME ERROR to everything")
            << "cme 10" << false << 1
            << QStringList{"warning: the phone answers a bare \"AT\" with \"+CME ERROR: 10\" "
                           "(SIM not inserted)",
                           noSelect}
            << quick;
        QTest::newRow("--fix where no setting mends the problems")
            << "cme 10" << true << 1
            << QStringList{"No setting mends the problems above.", noSelect} << quick;
        QTest::newRow("--fix on a good phone")
            << "" << true << 0 << QStringList{"Nothing to fix.", "Summary: 0 problems, 0 warnings."}
            << quick;
        QTest::newRow("--fix, then good after ATZ")
            << "profile V0;+CRC=1;+CLIP=1;+CSCS=\"UCS2\"" << true << 0
            << QStringList{"Fixing: sending ATV1 (result codes in words), AT+CSCS=\"GSM\" "
                           "(plain text names), then AT&W",
                           "ok: AT&W stored the settings.",
                           "Checking again after ATZ:", "Summary: 0 problems, 0 warnings."}
            << quick;
    }
    void reportsWhatEachPhoneNeeds()
    {
        QFETCH(QString, script);
        QFETCH(bool, fix);
        QFETCH(int, exitStatus);
        QFETCH(QStringList, reported);
        QFETCH(double, maxSeconds);
        Phone phone;
        QVERIFY(phone.start(link(QStringLiteral("phone")), script));
        QString report;
        QTextStream out(&report);
        QElapsedTimer elapsed;
        elapsed.start();
        const int status = checkPhone(phone.sim.linkPath(), fix, out, {});
        out.flush();
        QVERIFY2(status == exitStatus, qPrintable(QString::number(status) + u'\n' + report));
        QVERIFY2(elapsed.elapsed() < maxSeconds * 1000,
                 qPrintable(QString::number(elapsed.elapsed())));
        for (const QString &text : reported)
            QVERIFY2(report.contains(text), qPrintable(text + QStringLiteral("\n---\n") + report));
        // The report ends with the option to use, unless nothing answered.
        QVERIFY2(report.trimmed().endsWith(QStringLiteral("--com1 ") + phone.sim.linkPath()) ||
                     report.contains(QStringLiteral("Tornasquillo cannot use")),
                 qPrintable(report));
        // The check only asks: never a re-send, never a dial or a hang-up, and the settings are
        // stored only when fixing.
        const QStringList commands = phone.sim.receivedCommands();
        for (qsizetype i = 1; i < commands.size(); ++i)
            QVERIFY2(commands[i] != commands[i - 1], qPrintable(commands.join(u' ')));
        QVERIFY(!commands.join(u' ').contains(QLatin1String("ATD")));
        const bool fixing = report.contains(QStringLiteral("Fixing: sending"));
        QVERIFY(fix || !fixing);
        QCOMPARE(commands.contains(QStringLiteral("AT&W")), fixing);
        if (fixing) {
            // What the phone keeps is what the next ATZ brings back.
            const qsizetype lastReset = commands.lastIndexOf(QStringLiteral("ATZ"));
            QVERIFY(lastReset > commands.indexOf(QStringLiteral("AT&W")));
        }
    }

    void endsWithinItsTimeOnASlowPhone()
    {
        // Each answer comes just before the command's own wait is over: the run's bound, not
        // the per-command one, must end the check.
        FakeClock clock;
        FakeLine line;
        FakePump pump(clock);
        line.open(1);
        double answerAt = -1;
        line.responder = [&](const QString &) {
            answerAt = clock.seconds() + PhoneCheck::kAnswerWait - 0.5;
            return QString();
        };
        pump.onPump = [&] {
            if (answerAt >= 0 && clock.seconds() >= answerAt) {
                answerAt = -1;
                line.queue(QStringLiteral("\r\nOK\r\n"));
            }
        };
        pump.ready = [&] { return line.hasQueued(); };
        QString report;
        QTextStream out(&report);
        const double start = clock.seconds();
        PhoneCheck check(line, clock, pump, out, QStringLiteral("/dev/slow"),
                         start + PhoneCheck::kRunLimit);
        QCOMPARE(check.run(true), 1);
        out.flush();
        QVERIFY(clock.seconds() - start <= PhoneCheck::kRunLimit + 0.05);
        QVERIFY2(report.contains(QStringLiteral("problem: the check ran out of its 30 seconds")),
                 qPrintable(report));
        QCOMPARE(QSet<QString>(line.written.begin(), line.written.end()).size(),
                 line.written.size());
        QVERIFY(line.written.size() > 5);
    }

    void anAnswerReadAfterAStallStillCounts()
    {
        // The program did not run for 4 seconds after writing; the phone's answer arrived in
        // time and is only read after the wait is over.
        FakeClock clock;
        FakeLine line;
        FakePump pump(clock);
        line.open(1);
        pump.onPump = [&] {
            if (line.written.size() == 1 && line.queuedTotal == 0) {
                clock.advance(PhoneCheck::kAnswerWait + 1);
                line.queue(QString()); // nothing read on this pass yet
                line.queue(QStringLiteral("AT\r\r\nOK\r\n"));
            }
        };
        CheckExchange exchange(line, clock, pump, clock.seconds() + PhoneCheck::kRunLimit);
        const CheckReply reply = exchange.ask(QString(), PhoneCheck::kAnswerWait, true);
        QVERIFY(reply.isOk());
        QVERIFY(reply.echoed);
    }

    void findsThePhoneAmongTheDevices()
    {
        Phone silent, good, refusing;
        QVERIFY(silent.start(link(QStringLiteral("silent")), QStringLiteral("silent on")));
        QVERIFY(good.start(link(QStringLiteral("good")), QString()));
        QVERIFY(refusing.start(link(QStringLiteral("refusing")), QStringLiteral("bare-at error")));
        const QString missing = link(QStringLiteral("missing"));
        QString report;
        QTextStream out(&report);
        QCOMPARE(checkPhone(QString(), false, out,
                            {missing, silent.sim.linkPath(), good.sim.linkPath(),
                             refusing.sim.linkPath()}),
                 0);
        out.flush();
        for (const QString &text :
             {missing + QStringLiteral(": cannot open: no such device"),
              silent.sim.linkPath() + QStringLiteral(": no answer to \"AT\""),
              good.sim.linkPath() + QStringLiteral(": answers \"AT\""),
              refusing.sim.linkPath() + QStringLiteral(": answers \"AT\" with \"ERROR\" (a "
                                                       "warning at most"),
              QStringLiteral("Checking the phone on ") + good.sim.linkPath()})
            QVERIFY2(report.contains(text), qPrintable(text + QStringLiteral("\n---\n") + report));
        QVERIFY(report.trimmed().endsWith(QStringLiteral("Use: tornasquillo --com1 ") +
                                          good.sim.linkPath()));
    }

    // Without a display the program checks the phone, in the locale's language: Italian for an
    // Italian locale, English otherwise. Each row names a sentence or two of the output in each.
    // (Its help and its ports: tst_demo.)
    void theProgramAnswersWithoutADisplay_data()
    {
        QTest::addColumn<QString>("script"); // the simulated phone's
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<QStringList>("english");
        QTest::addColumn<QStringList>("italian");
        const QStringList check{"--check-phone", "--com1", "PHONE"};
        QTest::newRow("a good phone")
            << QString() << check << 0 << QStringList{"Use: tornasquillo --com1 PHONE"}
            << QStringList{"Avviare con: tornasquillo --com1 PHONE"};
        QTest::newRow("a bad profile")
            << QStringLiteral("profile S0=2") << check << 1
            << QStringList{"problem: the phone answers a call itself after 2 rings",
                           "Fix: ATS0=0, then AT&W."}
            << QStringList{"problema: il telefono risponde da solo a una chiamata dopo 2 squilli",
                           "Correzione: ATS0=0, poi AT&W."};
        QTest::newRow("no such device")
            << QString() << QStringList{"--check-phone", "--com1", "/nonexistent/tty"} << 2
            << QStringList{"problem: cannot open /nonexistent/tty: no such device"}
            << QStringList{
                   "problema: impossibile aprire /nonexistent/tty: dispositivo inesistente"};
        QTest::newRow("--fix alone") << QString() << QStringList{"--fix"} << 1
                                     << QStringList{"--fix goes with --check-phone"}
                                     << QStringList{"--fix si usa insieme a --check-phone"};
    }
    void theProgramAnswersWithoutADisplay()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitStatus);
        QFETCH(QStringList, english);
        QFETCH(QStringList, italian);
        Phone phone;
        QVERIFY(phone.start(link(QStringLiteral("phone")), script));
        for (QStringList *texts : {&arguments, &english, &italian})
            texts->replaceInStrings(QStringLiteral("PHONE"), phone.sim.linkPath());
        const QString failure =
            answersInBothLanguages(QStringLiteral(TORNASQUILLO_EXE), arguments, exitStatus, english,
                                   italian, int(PhoneCheck::kRunLimit * 1000) + 10000);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TestPhoneCheck)
#include "tst_phone_check.moc"
