// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/fake_program.h"
#include "tests/support/message_capture.h"
#include "tests/support/test_numbers.h"

#include <QTest>

class TestPortControl : public QObject
{
    Q_OBJECT

    /// Port control finds the port closed, as at the program's start.
    struct Rig : FakeProgram<>
    {
        Rig() : FakeProgram(1000.0, Closed) {}
    };

    static QString phone(const QString &frame)
    {
        if (frame == u"AT+CGMM\r")
            return QStringLiteral("\r\nTS-GSM 900/1800\r\n\r\nOK\r\n");
        return QStringLiteral("\r\nOK\r\n");
    }

private slots:
    void openingRunsTheStartUpDialogueAndShowsTheModel()
    {
        Rig rig;
        rig.line.responder = phone;

        bool frameDisabledDuringDialogue = false;
        rig.pump.onPump = [&] { frameDisabledDuringDialogue = !rig.portView.frame2Enabled; };
        rig.control.Command1_Click();
        QVERIFY(rig.line.isOpen());
        QCOMPARE(rig.line.openedPort, 1);
        QCOMPARE(rig.line.written, framed(kStartUpCommands));
        QVERIFY(frameDisabledDuringDialogue);
        QCOMPARE(rig.portView.panels[1], QStringLiteral("CONNESSO"));
        QCOMPARE(rig.portView.panels[2], QStringLiteral("CONNESSO A TS-GSM 900/1800"));
        QVERIFY(!rig.portView.frame2Enabled);

        rig.control.Command1_Click();
        QVERIFY(!rig.line.isOpen());
        QCOMPARE(rig.portView.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(rig.portView.panels[2], QStringLiteral(" "));
        QVERIFY(rig.portView.frame2Enabled);
        QCOMPARE(rig.line.written, framed(kStartUpCommands)); // the close says nothing
    }

    void thePortChoiceIsTakenOnlyWhenOpening()
    {
        Rig rig;
        rig.line.responder = phone;

        rig.portView.option3 = false;
        rig.control.Command1_Click();
        QCOMPARE(rig.line.openedPort, 2);
        QCOMPARE(rig.control.CommPort(), 2);
        rig.portView.option3 =
            true; // cannot happen through the disabled frame, and must not matter
        rig.control.Command1_Click();
        QCOMPARE(rig.control.CommPort(), 2);
        rig.control.Command1_Click();
        QCOMPARE(rig.line.openedPort, 1);
    }

    void aRefusedOpenLeavesTheLinkClosed()
    {
        Rig rig;
        rig.line.refuseOpen = true;

        rig.control.Command1_Click();
        QVERIFY(!rig.line.isOpen());
        QVERIFY(rig.line.written.isEmpty());
        QCOMPARE(rig.portView.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(rig.portView.panels[2], QStringLiteral(" "));
        QVERIFY(rig.portView.frame2Enabled);
    }

    void aSilentPhoneShowsErrorAsTheModel()
    {
        Rig rig;

        rig.control.Command1_Click();
        QCOMPARE(rig.portView.panels[2], QStringLiteral("CONNESSO A ERROR"));
        // Each command is written once and then re-sent as often as the exchange re-sends.
        QStringList resent;
        for (const QString &command : framed(kStartUpCommands))
            resent << QStringList(1 + AtExchange::kRetransmitLimit, command);
        QCOMPARE(rig.line.written, resent);
    }

    void losingTheDeviceShowsTheLinkClosedUntilItComesBack()
    {
        Rig rig;
        rig.line.responder = phone;
        rig.control.setWatchInterval(10);
        const QStringList dialogue = framed(kStartUpCommands);

        rig.control.Command1_Click();
        rig.line.present = false;
        rig.line.lose();
        QCOMPARE(rig.portView.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(rig.portView.panels[2], QStringLiteral(" "));
        QVERIFY(rig.portView.frame2Enabled);
        // While the device is away nothing is tried: watching is a look at the device, no open.
        QTest::qWait(100);
        QCOMPARE(rig.line.opens, 1);
        // A click meanwhile is an ordinary open (here refused), and the watching goes on.
        rig.control.Command1_Click();
        QCOMPARE(rig.line.opens, 2);
        QVERIFY(!rig.line.isOpen());

        // Back, but held by another program for a while: tried again until it opens, then the
        // port chosen in the window opens exactly as a click opens it.
        rig.portView.option3 = false;
        rig.line.refuseOpen = true;
        rig.line.present = true;
        QTRY_VERIFY(rig.line.opens > 4);
        QCOMPARE(rig.portView.panels[1], QStringLiteral("DISCONNESSO"));
        rig.line.written.clear();
        rig.line.refuseOpen = false;
        QTRY_COMPARE(rig.portView.panels[1], QStringLiteral("CONNESSO"));
        QCOMPARE(rig.line.openedPort, 2);
        QCOMPARE(rig.line.written, dialogue);
        QCOMPARE(rig.portView.panels[2], QStringLiteral("CONNESSO A TS-GSM 900/1800"));
        QVERIFY(!rig.portView.frame2Enabled);

        // Lost again, a click at once is an ordinary open rather than a close of a port that is
        // gone.
        rig.line.lose();
        rig.line.written.clear();
        rig.control.Command1_Click();
        QVERIFY(rig.line.isOpen());
        QCOMPARE(rig.line.written, dialogue);

        // The operator's close is final: the port stays closed with the device there.
        const int opens = rig.line.opens;
        rig.control.Command1_Click();
        QTest::qWait(100);
        QVERIFY(!rig.line.isOpen());
        QCOMPARE(rig.line.opens, opens);
        QCOMPARE(rig.portView.panels[1], QStringLiteral("DISCONNESSO"));
    }
    // The start options' open: a device not there yet, or busy, is waited for as a lost one is,
    // said once, and opened as soon as it can be.
    void theStartOpenWaitsForItsDevice_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("busy");
        QTest::newRow("there") << true << false;
        QTest::newRow("not there yet") << false << false;
        QTest::newRow("busy") << true << true;
    }
    void theStartOpenWaitsForItsDevice()
    {
        QFETCH(bool, present);
        QFETCH(bool, busy);
        Rig rig;
        rig.line.responder = phone;
        rig.control.setWatchInterval(10);
        rig.line.present = present;
        rig.line.refuseOpen = busy;
        MessageCapture said("tornasquillo.link");

        rig.control.openOrWait();
        const bool waits = !present || busy;
        QCOMPARE(rig.line.isOpen(), !waits);
        QTest::qWait(100);
        QCOMPARE(rig.line.opens > 4, busy); // a device that is not there is not tried
        rig.line.present = true;
        rig.line.refuseOpen = false;
        QTRY_COMPARE(rig.portView.panels[2], QStringLiteral("CONNESSO A TS-GSM 900/1800"));
        QCOMPARE(said.texts(QtInfoMsg).filter(QStringLiteral("is waited for")).size(), waits);
        QCOMPARE(said.texts(QtInfoMsg).filter(QStringLiteral("of waiting for it")).size(), waits);
    }

    void aLineLostAfterPortControlWentCallsNothing()
    {
        // The line outlives port control when the window is taken apart; a device that fails
        // then must not call into port control (the sanitizer build sees such a call).
        FakeClock clock;
        FakeLine line;
        FakePump pump{clock};
        AtExchange exchange{line, clock, pump};
        FakePortView view;
        {
            PortControl control{line, exchange, view};
            line.responder = phone;
            control.Command1_Click();
            QVERIFY(line.isOpen());
        }
        view.panels.clear();
        line.lose();
        QVERIFY(view.panels.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPortControl)
#include "tst_port_control.moc"
