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

    static QString phone(const QString &frame)
    {
        if (frame == u"AT+CGMM\r")
            return QStringLiteral("\r\nTS-GSM 900/1800\r\n\r\nOK\r\n");
        return QStringLiteral("\r\nOK\r\n");
    }

private slots:
    void openingRunsTheStartUpDialogueAndShowsTheModel()
    {
        FakeClock clock;
        FakeLine line;
        FakePump pump(clock);
        AtExchange exchange(line, clock, pump);
        FakePortView view;
        PortControl control(line, exchange, view);
        line.responder = phone;

        bool frameDisabledDuringDialogue = false;
        pump.onPump = [&] { frameDisabledDuringDialogue = !view.frame2Enabled; };
        control.Command1_Click();
        QVERIFY(line.isOpen());
        QCOMPARE(line.openedPort, 1);
        QCOMPARE(line.written, (QStringList{"ATZ\r", "ATE0\r", "ATQ0\r", "ATV1\r", "AT+CGMM\r"}));
        QVERIFY(frameDisabledDuringDialogue);
        QCOMPARE(view.panels[1], QStringLiteral("CONNESSO"));
        QCOMPARE(view.panels[2], QStringLiteral("CONNESSO A TS-GSM 900/1800"));
        QVERIFY(!view.frame2Enabled);

        control.Command1_Click();
        QVERIFY(!line.isOpen());
        QCOMPARE(view.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(view.panels[2], QStringLiteral(" "));
        QVERIFY(view.frame2Enabled);
        QCOMPARE(line.written.size(), 5);
    }

    void thePortChoiceIsTakenOnlyWhenOpening()
    {
        FakeClock clock;
        FakeLine line;
        FakePump pump(clock);
        AtExchange exchange(line, clock, pump);
        FakePortView view;
        PortControl control(line, exchange, view);
        line.responder = phone;

        view.option3 = false;
        control.Command1_Click();
        QCOMPARE(line.openedPort, 2);
        QCOMPARE(control.CommPort(), 2);
        view.option3 = true; // cannot happen through the disabled frame, and must not matter
        control.Command1_Click();
        QCOMPARE(control.CommPort(), 2);
        control.Command1_Click();
        QCOMPARE(line.openedPort, 1);
    }

    void aRefusedOpenLeavesTheLinkClosed()
    {
        FakeClock clock;
        FakeLine line;
        FakePump pump(clock);
        AtExchange exchange(line, clock, pump);
        FakePortView view;
        PortControl control(line, exchange, view);
        line.refuseOpen = true;

        control.Command1_Click();
        QVERIFY(!line.isOpen());
        QVERIFY(line.written.isEmpty());
        QCOMPARE(view.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(view.panels[2], QStringLiteral(" "));
        QVERIFY(view.frame2Enabled);
    }

    void aSilentPhoneShowsErrorAsTheModel()
    {
        FakeClock clock;
        FakeLine line;
        FakePump pump(clock);
        AtExchange exchange(line, clock, pump);
        FakePortView view;
        PortControl control(line, exchange, view);

        control.Command1_Click();
        QCOMPARE(view.panels[2], QStringLiteral("CONNESSO A ERROR"));
        QCOMPARE(line.written.size(), 5 * 101);
    }

    void losingTheDeviceShowsTheLinkClosed()
    {
        FakeClock clock;
        FakeLine line;
        FakePump pump(clock);
        AtExchange exchange(line, clock, pump);
        FakePortView view;
        PortControl control(line, exchange, view);
        line.responder = phone;

        control.Command1_Click();
        line.lose();
        QCOMPARE(view.panels[1], QStringLiteral("DISCONNESSO"));
        QCOMPARE(view.panels[2], QStringLiteral(" "));
        QVERIFY(view.frame2Enabled);
        // The next click opens again rather than closing a port that is gone.
        control.Command1_Click();
        QVERIFY(line.isOpen());
        QCOMPARE(view.panels[1], QStringLiteral("CONNESSO"));
    }
};

QTEST_GUILESS_MAIN(TestPortControl)
#include "tst_port_control.moc"
