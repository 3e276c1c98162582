// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_check.h"
#include "pty_program.h"
#include "sim_phone.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

/// The monitor driven by a 1 ms timer, as in the program, over a pseudo-terminal to the
/// simulated phone.
class TestMonitorWithPhone : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void theStartUpDialogueIsNotDisturbedByTicks()
    {
        SimPhone phone;
        QVERIFY(phone.start(m_dir.filePath(QStringLiteral("phone"))));
        PtyProgram rig(phone.linkPath());
        QTest::qWait(20);

        QElapsedTimer elapsed;
        elapsed.start();
        rig.control.Command1_Click();
        // A tick that read the port inside an exchange would swallow its answer and leave the
        // exchange waiting out its 20 seconds.
        QVERIFY2(elapsed.elapsed() < 10000, qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(rig.portView.panels[2], QStringLiteral("CONNESSO A ") + phone.model());
    }

    void aSquilloIsLoggedAndCalledBack()
    {
        SimPhone phone;
        QVERIFY(phone.start(m_dir.filePath(QStringLiteral("phone"))));
        phone.setNextCaller(QStringLiteral("+393479876543"), QStringLiteral("Lucia Bianchi"));
        PtyProgram rig(phone.linkPath());
        rig.view.risp = true;
        rig.view.slider1 = 0;
        rig.view.slider2 = 0;
        rig.control.Command1_Click();
        QVERIFY(rig.line.isOpen());

        phone.ring(1, 1000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.view.panel2, QStringLiteral("Rilevata chiamata .. 1 squilli"),
                                  5000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.view.list2.size(), 1, 30000);
        QCOMPARE(rig.view.list2[0],
                 QStringLiteral("Ha squillato : +393479876543   > Lucia Bianchi   = Risposto"));
        const QStringList commands = phone.receivedCommands().mid(5);
        QCOMPARE(commands,
                 (QStringList{"AT+CPBS=MC", "AT+CPBR=1", "ATD+393479876543;", "ATH", "ATH"}));
        QTRY_COMPARE(rig.view.panel2, QStringLiteral("Risposto a squillo.."));
        QCOMPARE(rig.view.beeps, 1);
    }

    void afterTheCheckFixesAStoredCallerLineRingsAreCounted()
    {
        // With +CLIP=1 each RING comes with a caller line, and a ring is counted only alone.
        SimPhone phone;
        QVERIFY(phone.start(m_dir.filePath(QStringLiteral("phone"))));
        QVERIFY(phone.setStoredProfile("+CLIP=1"));
        QString report;
        QTextStream out(&report);
        QCOMPARE(checkPhone(phone.linkPath(), true, out, {}), 0);
        out.flush();
        QVERIFY2(report.contains(QStringLiteral("AT+CLIP=0 answered OK")), qPrintable(report));

        PtyProgram rig(phone.linkPath());
        rig.control.Command1_Click();
        QVERIFY(rig.line.isOpen());
        phone.ring(2, 500);
        QTRY_COMPARE_WITH_TIMEOUT(rig.view.panel2, QStringLiteral("Rilevata chiamata .. 2 squilli"),
                                  10000);
    }
};

QTEST_GUILESS_MAIN(TestMonitorWithPhone)
#include "tst_monitor_with_phone.moc"
