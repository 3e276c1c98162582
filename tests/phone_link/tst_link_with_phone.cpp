// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty_program.h"
#include "sim_phone.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

/// The phone link over a real pseudo-terminal, with the simulated phone at the far end.
class TestLinkWithPhone : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void theStartUpDialogueRunsInOrderAndShowsTheModel()
    {
        SimPhone phone;
        QVERIFY(phone.start(m_dir.filePath(QStringLiteral("phone"))));
        PtyProgram link(phone.linkPath(), PtyProgram::NoTicks);

        QElapsedTimer timer;
        timer.start();
        link.control.Command1_Click();
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(link.portView.panels[1], QStringLiteral("CONNESSO"));
        QCOMPARE(link.portView.panels[2], QStringLiteral("CONNESSO A ") + phone.model());
        QCOMPARE(phone.receivedCommands(), (QStringList{"ATZ", "ATE0", "ATQ0", "ATV1", "AT+CGMM"}));

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
        QVERIFY(phone.start(m_dir.filePath(QStringLiteral("phone"))));
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
        QVERIFY(phone.start(m_dir.filePath(QStringLiteral("phone"))));
        link.control.Command1_Click();
        QCOMPARE(link.portView.panels[2], QStringLiteral("CONNESSO A ") + phone.model());
    }
};

QTEST_GUILESS_MAIN(TestLinkWithPhone)
#include "tst_link_with_phone.moc"
