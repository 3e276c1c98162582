// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_check/phone_check.h"
#include "phone_sim/sim_phone.h"
#include "phone_sim/sim_script.h"
#include "tests/support/pty_program.h"
#include "tests/support/test_numbers.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

/// The phone session over a pseudo-terminal to the simulated phone: the link alone, and the
/// monitor driven by Timer1 as in the program.
class TestSessionWithPhone : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString phonePath() const { return m_dir.filePath(QStringLiteral("phone")); }

    /// Opens the port with the responder on, calling back at once and hanging up at once.
    static void openAnsweringAtOnce(PtyProgram &rig)
    {
        rig.view.risp = true;
        rig.view.slider1 = 0;
        rig.view.slider2 = 0;
        rig.control.Command1_Click();
    }

private slots:
    void theStartUpDialogueRunsInOrderAndShowsTheModel_data()
    {
        QTest::addColumn<bool>("ticking");
        QTest::addColumn<int>("withinMs");
        QTest::newRow("the link alone") << false << 5000;
        // A tick that read the port inside an exchange would swallow its answer and leave the
        // exchange waiting out its 20 seconds.
        QTest::newRow("the monitor ticking") << true << 10000;
    }
    void theStartUpDialogueRunsInOrderAndShowsTheModel()
    {
        QFETCH(bool, ticking);
        QFETCH(int, withinMs);
        SimPhone phone;
        QVERIFY(phone.start(phonePath()));
        PtyProgram link(phone.linkPath(), ticking ? PtyProgram::Ticks : PtyProgram::NoTicks);
        QTest::qWait(20); // the ticks, if any, are running before the click

        QElapsedTimer timer;
        timer.start();
        link.control.Command1_Click();
        QVERIFY2(timer.elapsed() < withinMs, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(link.portView.panels[1], QStringLiteral("CONNESSO"));
        QCOMPARE(link.portView.panels[2], QStringLiteral("CONNESSO A ") + phone.model());
        QCOMPARE(withoutStateQuestions(phone.receivedCommands()), kStartUpCommands);

        // With echo off now, an information answer comes back clean, even in small pieces.
        phone.setChunking(3, 2);
        QCOMPARE(link.exchange.IOP(QStringLiteral("+CGMM")), phone.model());

        link.control.Command1_Click();
        QCOMPARE(link.portView.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(link.portView.panels[2], QStringLiteral(" "));
        QVERIFY(link.portView.frame2Enabled);
    }

    void aPortThatCannotOpenLeavesTheLinkClosed()
    {
        PtyProgram link(m_dir.filePath(QStringLiteral("no-such-phone")), PtyProgram::NoTicks);
        link.control.Command1_Click();
        QVERIFY(!link.line.isOpen());
        QCOMPARE(link.portView.panels[1], QStringLiteral("DISCONNESSO"));
        QVERIFY(link.portView.frame2Enabled);
        QCOMPARE(link.line.openError(), QStringLiteral("no such device"));
        QCOMPARE(link.exchange.IOP(QStringLiteral("Z")), QStringLiteral("ERROR"));
    }

    void anUnpluggedPhoneEndsTheExchangeAtOnce()
    {
        SimPhone phone;
        QVERIFY(phone.start(phonePath()));
        PtyProgram link(phone.linkPath(), PtyProgram::NoTicks);
        link.control.Command1_Click();
        QVERIFY(link.line.isOpen());

        phone.setSilent(true);
        QTimer::singleShot(300, &phone, &SimPhone::hangUpLine);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(link.exchange.IOP(QStringLiteral("+CGMM")), QStringLiteral("ERROR"));
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!link.line.isOpen());
        QCOMPARE(link.portView.panels[1], QStringLiteral("DISCONNESSO"));
        QVERIFY(link.portView.frame2Enabled);

        // Plugged back in, the same link opens again.
        phone.setSilent(false);
        QVERIFY(phone.start(phonePath()));
        link.control.Command1_Click();
        QCOMPARE(link.portView.panels[2], QStringLiteral("CONNESSO A ") + phone.model());
    }

    void aSquilloIsLoggedAndCalledBack_data()
    {
        QTest::addColumn<QString>("callee");
        QTest::addColumn<int>("slider1");
        QTest::newRow("not answered, hung up at once") << "never" << 0;
        // The first ATH follows the answer within the second of the next look at the calls.
        QTest::newRow("answered 2 s after the dial") << "answers 2" << 10;
    }
    void aSquilloIsLoggedAndCalledBack()
    {
        QFETCH(QString, callee);
        QFETCH(int, slider1);
        SimPhone phone;
        QVERIFY(phone.start(phonePath()));
        phone.setNextCaller(QStringLiteral("+393479876543"), QStringLiteral("Lucia Bianchi"));
        QVERIFY(SimCommander(&phone).execute(QStringLiteral("callee ") + callee));
        QElapsedTimer sinceStart;
        sinceStart.start();
        QHash<QString, qint64> firstAt;
        QObject::connect(&phone, &SimPhone::commandReceived, [&](const QString &command) {
            firstAt.insert(command, firstAt.value(command, sinceStart.elapsed()));
        });
        PtyProgram rig(phone.linkPath());
        openAnsweringAtOnce(rig);
        rig.view.slider1 = slider1;
        QVERIFY(rig.line.isOpen());

        phone.ring(1, 1000);
        QTRY_COMPARE(rig.view.panel2, QStringLiteral("Rilevata chiamata .. 1 squilli"));
        rig.clock.skip(CallMonitor::kCallOver);
        QTRY_COMPARE_WITH_TIMEOUT(rig.view.list2.size(), 1, 20000);
        QCOMPARE(rig.view.list2[0],
                 QStringLiteral("Ha squillato : +393479876543   > Lucia Bianchi   = Risposto"));
        QStringList commands = withoutStateQuestions(phone.receivedCommands().mid(5));
        commands.removeAll(QStringLiteral("AT+CLCC"));
        QCOMPARE(commands,
                 (QStringList{"AT+CPBS=MC", "AT+CPBR=1", "ATD+393479876543;", "ATH", "ATH"}));
        QTRY_COMPARE(rig.view.panel2, QStringLiteral("Risposto a squillo.."));
        QCOMPARE(rig.view.beeps, 1);
        if (slider1 > 0) {
            const qint64 held =
                firstAt[QStringLiteral("ATH")] - firstAt[QStringLiteral("ATD+393479876543;")];
            // Under the sanitizers only the designed 10 s must be cut short.
#if defined(__SANITIZE_ADDRESS__)
            constexpr qint64 kLatestMs = 9000;
#else
            constexpr qint64 kLatestMs = 4000;
#endif
            QVERIFY2(held >= 2000 && held < kLatestMs, qPrintable(QString::number(held)));
        }
    }

    void twoSquilliFiveSecondsApartAreEachCalledBack()
    {
        // The phone names each caller with the rings (+CLIP=1), which tells two squilli apart
        // that come closer together than a call's 8 seconds of silence.
        SimPhone phone;
        QVERIFY(phone.start(phonePath()));
        QVERIFY(phone.setStoredProfile("+CLIP=1"));
        PtyProgram rig(phone.linkPath());
        openAnsweringAtOnce(rig);
        QVERIFY(rig.line.isOpen());

        // The first call is over when the second caller rings and is handled at once, but its
        // call-back waits until the second call is over too: the seconds until then are skipped
        // once the first caller has been looked up.
        QObject::connect(&phone, &SimPhone::commandReceived, [&](const QString &command) {
            if (command == u"AT+CPBR=1")
                rig.clock.skip(CallMonitor::kCallOver);
        });

        const QString ringing = QStringLiteral("Rilevata chiamata .. 1 squilli");
        phone.setNextCaller(kCallerNumber, kCallerName);
        phone.ring(1, 1000);
        QTRY_COMPARE(rig.view.panel2, ringing);
        rig.clock.skip(5);
        phone.setNextCaller(QStringLiteral("+393479876543"), QStringLiteral("Lucia Bianchi"));
        phone.ring(1, 1000);
        QTRY_COMPARE(rig.view.panel2History.count(ringing), 2);

        QTRY_COMPARE(rig.view.list2.size(), 2);
        QTRY_COMPARE(phone.receivedCommands().count(QStringLiteral("ATH")), 4);
        // The missed-call list's newest entry is the second caller when the first is looked up:
        // the first call's own caller line names it, without a name.
        QCOMPARE(rig.view.list2,
                 (QStringList{"Ha squillato : +393331234567   >                 = Risposto",
                              "Ha squillato : +393479876543   > Lucia Bianchi   = Risposto"}));
        QCOMPARE(withoutStateQuestions(phone.receivedCommands().mid(5)),
                 (QStringList{"AT+CPBS=MC", "AT+CPBR=1", kCallerDial, "ATH", "ATH", "AT+CPBS=MC",
                              "AT+CPBR=1", "ATD+393479876543;", "ATH", "ATH"}));
        QCOMPARE(rig.view.beeps, 2);
    }

    // A phone that stops answering is found out by the idle questions, opened again and asked
    // "AT" until it answers; its next ring is counted. The watch's own waits are skipped on the
    // clock, its questions' deadlines are not.
    void aHungPhoneIsOpenedAgainAndItsRingCounted()
    {
        SimPhone phone;
        QVERIFY(phone.start(phonePath()));
        PtyProgram rig(phone.linkPath());
        rig.control.Command1_Click();
        const QString ready = QStringLiteral("CONNESSO A ") + phone.model();
        QCOMPARE(rig.portView.panels[2], ready);
        const PhoneWatch &watch = rig.session.phoneWatch();
        const auto reaches = [&](PhoneState state) {
            QElapsedTimer waited;
            waited.start();
            while (watch.state() != state && waited.elapsed() < 30000) {
                const std::optional<double> due = watch.nextQuestionDue();
                if (due && *due > rig.clock.seconds())
                    rig.clock.skip(*due - rig.clock.seconds());
                QTest::qWait(20);
            }
            return watch.state() == state;
        };
        QVERIFY(SimCommander(&phone).execute(QStringLiteral("hang 8000")));
        QVERIFY(reaches(PhoneState::Silent));
        QCOMPARE(rig.portView.panels[2], QStringLiteral("Il telefono non risponde"));
        QVERIFY(reaches(PhoneState::Ready));
        QCOMPARE(rig.portView.panels[2], ready);
        phone.ring(1, 1000);
        QTRY_COMPARE(rig.view.panel2, QStringLiteral("Rilevata chiamata .. 1 squilli"));
    }

    void aStoredCallerLineIsFineForTheCheckAndItsRingsAreCounted()
    {
        // With +CLIP=1 each RING comes with a caller line: the check leaves the setting as it is,
        // and the program counts every ring.
        SimPhone phone;
        QVERIFY(phone.start(phonePath()));
        QVERIFY(phone.setStoredProfile("+CLIP=1"));
        QString report;
        QTextStream out(&report);
        QCOMPARE(checkPhone(phone.linkPath(), true, out, {}), 0);
        out.flush();
        for (const char *said : {"ok: the phone's setting is +CLIP=1", "Nothing to fix."})
            QVERIFY2(report.contains(QLatin1String(said)), qPrintable(report));
        QVERIFY(!phone.receivedCommands().contains(QStringLiteral("AT+CLIP=0")));

        PtyProgram rig(phone.linkPath());
        rig.control.Command1_Click();
        QVERIFY(rig.line.isOpen());
        phone.ring(2, 500);
        QTRY_COMPARE_WITH_TIMEOUT(rig.view.panel2, QStringLiteral("Rilevata chiamata .. 2 squilli"),
                                  10000);
    }
};

QTEST_GUILESS_MAIN(TestSessionWithPhone)
#include "tst_session_with_phone.moc"
