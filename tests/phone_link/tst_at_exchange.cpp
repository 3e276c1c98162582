// SPDX-License-Identifier: GPL-3.0-or-later
#include "at_exchange.h"
#include "fake_clock.h"
#include "fake_line.h"
#include "fake_pump.h"

#include <QTest>

class TestAtExchange : public QObject
{
    Q_OBJECT

    FakeClock clock;
    FakeLine line;
    FakePump pump{clock};
    AtExchange exchange{line, clock, pump};

private slots:
    void init()
    {
        clock.set(1000.0);
        line = FakeLine();
        line.open(1);
        pump.onPump = nullptr;
        pump.calls = 0;
        pump.totalWaitMs = 0;
    }

    void cleanUp_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("information line") << "\r\nTS-GSM 900\r\n\r\nOK\r\n"
                                          << "TS-GSM 900";
        QTest::newRow("bare OK") << "\r\nOK\r\n"
                                 << "OK";
        QTest::newRow("bare ERROR") << "\r\nERROR\r\n"
                                    << "ERROR";
        QTest::newRow("spaces around") << "  \r\nOK\r\n  "
                                       << "OK";
        QTest::newRow("only spaces are trimmed") << "\tINFO\r\n\r\nOK\r\n"
                                                 << "\tINFO";
        QTest::newRow("echo before the answer") << "ATZ\r\r\nOK\r\n"
                                                << "AT";
        QTest::newRow("lower-case final is not OK") << "\r\nok\r\n"
                                                    << "";
        QTest::newRow("one stray character") << "x\r\nOK\r\n"
                                             << "";
        QTest::newRow("exactly six left") << "\r\nabcdef\r\n"
                                          << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("CR LF alone") << "\r\n"
                                     << "";
    }
    void cleanUp()
    {
        QFETCH(QString, answer);
        QFETCH(QString, cleaned);
        QString inOut = answer;
        QCOMPARE(ForDat(inOut), cleaned);
        QCOMPARE(inOut, cleaned);
    }

    void framesTheTrimmedCommand()
    {
        line.responder = [](const QString &) { return QStringLiteral("\r\nOK\r\n"); };
        QCOMPARE(exchange.IOP(QStringLiteral(" Z ")), QStringLiteral("OK"));
        QCOMPARE(line.written, QStringList{QStringLiteral("ATZ\r")});
        // No line feed goes out, and CR or LF inside a command are not "spaces".
        exchange.IOP(QStringLiteral("+CPBR=1"));
        QCOMPARE(line.written.last(), QStringLiteral("AT+CPBR=1\r"));
    }

    void assemblesAnAnswerSplitOverReads()
    {
        line.queueSplit(QStringLiteral("\r\n+CPBR: 1,\"+391234\",145,\"Anna\"\r\n\r\nOK\r\n"), 3);
        QCOMPARE(exchange.IOP(QStringLiteral("+CPBR=1")),
                 QStringLiteral("+CPBR: 1,\"+391234\",145,\"Anna\""));
        QVERIFY(!line.hasQueued());
        QVERIFY(clock.seconds() < 1000.0 + 1.0);
    }

    void finalCodesAreFoundAnywhereInAnyCase()
    {
        line.queue(QStringLiteral("\r\nRING\r\n\r\nerror\r\n\r\nRING\r\n"));
        const double before = clock.seconds();
        exchange.IOP(QStringLiteral("H"));
        QCOMPARE(line.written.size(), 1);
        QVERIFY(clock.seconds() - before < 1.0);

        line.queue(QStringLiteral("\r\nOk\r"));
        line.queue(QStringLiteral("\n"));
        QCOMPARE(exchange.IOP(QStringLiteral("H")), QString());
        QCOMPARE(line.written.size(), 2);
    }

    void closedPortAnswersErrorAtOnce()
    {
        line.close();
        QCOMPARE(exchange.IOP(QStringLiteral("Z")), QStringLiteral("ERROR"));
        QVERIFY(line.written.isEmpty());
        QCOMPARE(pump.calls, 0);
    }

    void unansweredCommandsGiveUpAtTheDeadline_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("writes");
        QTest::newRow("silence") << "+CGMM"
                                 << "" << 101;
        QTest::newRow("an extended error") << "+CPBR=1"
                                           << "\r\n+CME ERROR: 22\r\n"
                                           << 101;
        // A dial is written once: a second one would abort the call or place another.
        QTest::newRow("a dial never answered") << "D+393331234567;"
                                               << "" << 1;
        QTest::newRow("a busy dial") << "D+393331234567;"
                                     << "\r\nBUSY\r\n"
                                     << 1;
        QTest::newRow("a dial in lower case, spaces around") << " d0612345678; "
                                                             << "\r\nNO CARRIER\r\n"
                                                             << 1;
    }
    void unansweredCommandsGiveUpAtTheDeadline()
    {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(int, writes);
        line.responder = [&](const QString &) { return answer; };
        int pumpsAfterDeadline = 0;
        pump.onPump = [&] {
            if (clock.seconds() >= 1020.0)
                ++pumpsAfterDeadline;
        };
        QCOMPARE(exchange.IOP(command), QStringLiteral("ERROR"));
        QCOMPARE(line.written.size(), writes);
        QCOMPARE(line.written.count(atFrame(command)), writes);
        // The deadline is not re-armed: every re-send gets one pass of the wait loop.
        QVERIFY(clock.seconds() >= 1020.0);
        QVERIFY(clock.seconds() < 1020.1);
        QCOMPARE(pumpsAfterDeadline, writes - 1);
        // Blocking slices of a few milliseconds, not a busy loop.
        QVERIFY(pump.calls < 20000 / AtExchange::kPumpSliceMs + 200);
    }

    void aResendThatIsAnsweredEndsTheExchange()
    {
        line.responder = [&](const QString &) {
            return line.written.size() == 2 ? QStringLiteral("\r\nOK\r\n") : QString();
        };
        QCOMPARE(exchange.IOP(QStringLiteral("E0")), QStringLiteral("OK"));
        QCOMPARE(line.written.size(), 2);
    }

    void aPortThatClosesMidExchangeEndsItWithError()
    {
        pump.onPump = [&] {
            if (pump.calls == 3)
                line.lose();
        };
        QCOMPARE(exchange.IOP(QStringLiteral("+CGMM")), QStringLiteral("ERROR"));
        QCOMPARE(line.written.size(), 1);
        QVERIFY(clock.seconds() < 1001.0);
        QVERIFY(!exchange.inProgress());
    }

    void nestedExchangeRunsInsideTheWait()
    {
        QString nested;
        bool outerWasInProgress = false;
        pump.onPump = [&] {
            if (pump.calls == 2) {
                outerWasInProgress = exchange.inProgress();
                line.queue(QStringLiteral("\r\nOK\r\n"));
                nested = exchange.IOP(QStringLiteral("Z"));
                line.queue(QStringLiteral("\r\nMODEL\r\n\r\nOK\r\n"));
            }
        };
        QCOMPARE(exchange.IOP(QStringLiteral("+CGMM")), QStringLiteral("MODEL"));
        QVERIFY(outerWasInProgress);
        QCOMPARE(nested, QStringLiteral("OK"));
        QCOMPARE(line.written, (QStringList{QStringLiteral("AT+CGMM\r"), QStringLiteral("ATZ\r")}));
        QVERIFY(!exchange.inProgress());
    }

    void aFloodingLineKeepsTheBufferBounded()
    {
        const QString garbage(100 * 1024, QChar(u'x'));
        int sent = 0;
        pump.onPump = [&] {
            if (sent < 50) {
                line.queue(garbage);
                ++sent;
            } else if (sent == 50) {
                line.queue(QStringLiteral("\r\nOK\r\n"));
                ++sent;
            }
        };
        const QString answer = exchange.IOP(QStringLiteral("+CGMM"));
        QVERIFY(answer.size() <= AtExchange::kMaxAnswer);
        QCOMPARE(line.written.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestAtExchange)
#include "tst_at_exchange.moc"
