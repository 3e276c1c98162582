// SPDX-License-Identifier: GPL-3.0-or-later
#include "at_exchange.h"
#include "fake_clock.h"
#include "fake_line.h"
#include "fake_port_view.h"
#include "fake_pump.h"
#include "port_control.h"

#include <QTest>

class TestPortControl : public QObject
{
    Q_OBJECT

    struct Rig
    {
        FakeClock clock;
        FakeLine line;
        FakePump pump{clock};
        AtExchange exchange{line, clock, pump};
        FakePortView view;
        PortControl control{line, exchange, view};
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
        rig.pump.onPump = [&] { frameDisabledDuringDialogue = !rig.view.frame2Enabled; };
        rig.control.Command1_Click();
        QVERIFY(rig.line.isOpen());
        QCOMPARE(rig.line.openedPort, 1);
        QCOMPARE(rig.line.written,
                 (QStringList{"ATZ\r", "ATE0\r", "ATQ0\r", "ATV1\r", "AT+CGMM\r"}));
        QVERIFY(frameDisabledDuringDialogue);
        QCOMPARE(rig.view.panels[1], QStringLiteral("CONNESSO"));
        QCOMPARE(rig.view.panels[2], QStringLiteral("CONNESSO A TS-GSM 900/1800"));
        QVERIFY(!rig.view.frame2Enabled);

        rig.control.Command1_Click();
        QVERIFY(!rig.line.isOpen());
        QCOMPARE(rig.view.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(rig.view.panels[2], QStringLiteral(" "));
        QVERIFY(rig.view.frame2Enabled);
        QCOMPARE(rig.line.written.size(), 5);
    }

    void thePortChoiceIsTakenOnlyWhenOpening()
    {
        Rig rig;
        rig.line.responder = phone;

        rig.view.option3 = false;
        rig.control.Command1_Click();
        QCOMPARE(rig.line.openedPort, 2);
        QCOMPARE(rig.control.CommPort(), 2);
        rig.view.option3 = true; // cannot happen through the disabled frame, and must not matter
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
        QCOMPARE(rig.view.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(rig.view.panels[2], QStringLiteral(" "));
        QVERIFY(rig.view.frame2Enabled);
    }

    void aSilentPhoneShowsErrorAsTheModel()
    {
        Rig rig;

        rig.control.Command1_Click();
        QCOMPARE(rig.view.panels[2], QStringLiteral("CONNESSO A ERROR"));
        QCOMPARE(rig.line.written.size(), 5 * 101);
    }

    void losingTheDeviceShowsTheLinkClosed()
    {
        Rig rig;
        rig.line.responder = phone;

        rig.control.Command1_Click();
        rig.line.lose();
        QCOMPARE(rig.view.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(rig.view.panels[2], QStringLiteral(" "));
        QVERIFY(rig.view.frame2Enabled);
        // The next click opens again rather than closing a port that is gone.
        rig.control.Command1_Click();
        QVERIFY(rig.line.isOpen());
        QCOMPARE(rig.view.panels[1], QStringLiteral("CONNESSO"));
    }
};

QTEST_GUILESS_MAIN(TestPortControl)
#include "tst_port_control.moc"
