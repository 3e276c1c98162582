// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/line_assembler.h"

#include <QTest>

class TestLineAssembler : public QObject
{
    Q_OBJECT

private slots:
    void handsOutWholeLinesAtOnce()
    {
        LineAssembler lines;
        lines.feed(QStringLiteral("\r\nRING\r\n"), 0);
        QCOMPARE(lines.take(0), QStringLiteral("\r\nRING\r\n"));
        QVERIFY(!lines.isHolding());
        QCOMPARE(lines.take(1), QString());
    }

    void holdsALineCutInTwoUntilItsEnd()
    {
        LineAssembler lines;
        lines.feed(QStringLiteral("\r\nRI"), 0);
        QCOMPARE(lines.take(1), QStringLiteral("\r\n"));
        QCOMPARE(lines.take(5), QString());
        lines.feed(QStringLiteral("NG\r"), 6);
        QCOMPARE(lines.take(7), QString());
        lines.feed(QStringLiteral("\n"), 8);
        QCOMPARE(lines.take(8), QStringLiteral("RING\r\n"));
    }

    void releasesAnUnfinishedLineAfterQuiet()
    {
        LineAssembler lines;
        lines.feed(QStringLiteral("ATZ\r"), 100);
        QCOMPARE(lines.take(100 + LineAssembler::kQuietMs - 1), QString());
        // More of the same line restarts the quiet time.
        lines.feed(QStringLiteral("x"), 105);
        QCOMPARE(lines.take(100 + LineAssembler::kQuietMs), QString());
        QCOMPARE(lines.take(105 + LineAssembler::kQuietMs), QStringLiteral("ATZ\rx"));
    }

    void releasesWhenTheHeldLineFillsTheInputBuffer()
    {
        LineAssembler lines;
        lines.feed(QStringLiteral("\r\n") + QString(LineAssembler::kMaxHeld - 1, u'g'), 0);
        QCOMPARE(lines.take(0), QStringLiteral("\r\n"));
        lines.feed(QStringLiteral("g"), 1);
        QCOMPARE(lines.take(1).size(), LineAssembler::kMaxHeld);
        QVERIFY(!lines.isHolding());
    }
};

QTEST_GUILESS_MAIN(TestLineAssembler)
#include "tst_line_assembler.moc"
