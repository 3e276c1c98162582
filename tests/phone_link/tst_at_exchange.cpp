// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/fake_program.h"
#include "tests/support/message_capture.h"
#include "tests/support/test_numbers.h"

#include <QTest>

class TestAtExchange : public QObject
{
    Q_OBJECT

private slots:
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
        FakeProgram<> rig;
        rig.line.responder = [](const QString &) { return QStringLiteral("\r\nOK\r\n"); };
        QCOMPARE(rig.exchange.IOP(QStringLiteral(" Z ")), QStringLiteral("OK"));
        QCOMPARE(rig.line.written, QStringList{QStringLiteral("ATZ\r")});
        // No line feed goes out, and CR or LF inside a command are not "spaces".
        rig.exchange.IOP(QStringLiteral("+CPBR=1"));
        QCOMPARE(rig.line.written.last(), QStringLiteral("AT+CPBR=1\r"));
    }

    void assemblesAnAnswerSplitOverReads()
    {
        FakeProgram<> rig;
        rig.line.queueSplit(QStringLiteral("\r\n+CPBR: 1,\"+391234\",145,\"Anna\"\r\n\r\nOK\r\n"),
                            3);
        QCOMPARE(rig.exchange.IOP(QStringLiteral("+CPBR=1")),
                 QStringLiteral("+CPBR: 1,\"+391234\",145,\"Anna\""));
        QVERIFY(!rig.line.hasQueued());
        QVERIFY(rig.clock.seconds() < 1000.0 + 1.0);
    }

    void finalCodesAreFoundAnywhereInAnyCase()
    {
        FakeProgram<> rig;
        rig.line.queue(QStringLiteral("\r\nRING\r\n\r\nerror\r\n\r\nRING\r\n"));
        const double before = rig.clock.seconds();
        rig.exchange.IOP(QStringLiteral("H"));
        QCOMPARE(rig.line.written.size(), 1);
        QVERIFY(rig.clock.seconds() - before < 1.0);

        rig.line.queue(QStringLiteral("\r\nOk\r"));
        rig.line.queue(QStringLiteral("\n"));
        QCOMPARE(rig.exchange.IOP(QStringLiteral("H")), QString());
        QCOMPARE(rig.line.written.size(), 2);
    }

    void ringReportsAreNotPartOfTheAnswer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("pieceSize"); ///< the answer arrives in pieces of this size
        QTest::addColumn<QString>("cleaned");
        QTest::addColumn<int>("rings");         ///< handed to the monitor
        QTest::addColumn<QString>("callEnded"); ///< the call-progress result handed to it, if any
        const QString entry = QStringLiteral("+CPBR: 1,\"+3912\",145,\"Anna\"");
        QTest::newRow("a ring before OK") << "\r\nRING\r\n\r\nOK\r\n" << 0 << "OK" << 1 << "";
        QTest::newRow("framed CR CR LF") << "\r\nRING\r\r\n\r\nOK\r\n" << 0 << "OK" << 1 << "";
        QTest::newRow("with its caller line")
            << "\r\nRING\r\n\r\n+CLIP: \"+3912\",145\r\n\r\nOK\r\n"
            << 0 << "OK" << 1 << "";
        QTest::newRow("the extended form before an information line")
            << "\r\n+CRING: VOICE\r\n\r\n" + entry + "\r\n\r\nOK\r\n"
            << 0 << entry << 1 << "";
        QTest::newRow("between an information line and OK")
            << "\r\n" + entry + "\r\n\r\nRING\r\n\r\nOK\r\n"
            << 0 << entry << 1 << "";
        QTest::newRow("after OK in the same read") << "\r\nOK\r\n\r\nRING\r\n"
                                                   << 0 << "OK" << 1 << "";
        // The answer ends at OK; the ring that had begun to arrive is counted when it is whole.
        QTest::newRow("arriving with OK") << "\r\nOK\r\n\r\nRING\r\n" << 8 << "OK" << 1 << "";
        QTest::newRow("two rings in pieces")
            << "\r\nRING\r\n\r\n+CLIP: \"+3912\",145\r\n\r\nRING\r\n\r\nOK\r\n"
            << 3 << "OK" << 2 << "";
        QTest::newRow("an answer to AT+CLIP? stays") << "\r\n+CLIP: 1,1\r\n\r\nOK\r\n"
                                                     << 0 << "+CLIP: 1,1" << 0 << "";
        // A call-progress result goes to the monitor as well, and is never a ring.
        QTest::newRow("NO CARRIER") << "\r\nNO CARRIER\r\n\r\nOK\r\n"
                                    << 0 << "OK" << 0 << "NO CARRIER";
        // An echo and a notice of the phone's in a dial's answer: still the phone's OK.
        QTest::newRow("an echo and a notice") << "ATD+3912;\r\r\n^ORIG:1,0\r\n\r\nOK\r\n"
                                              << 0 << "ATD+3912;\r\r\n^ORIG:1,0" << 0 << "";
        // A message is neither a ring nor the answer's end, whatever its text says.
        QTest::newRow("a message that says RING and OK, in pieces")
            << "\r\n+CMT: \"+3912\",,\"26/12/10,10:00:00+04\"\r\nRING\r\n\r\n" + entry +
                   "\r\n\r\nOK\r\n"
            << 5 << entry << 0 << "";
    }
    void ringReportsAreNotPartOfTheAnswer()
    {
        QFETCH(QString, answer);
        QFETCH(int, pieceSize);
        QFETCH(QString, cleaned);
        QFETCH(int, rings);
        QFETCH(QString, callEnded);
        FakeProgram<> rig;
        MessageCapture monitorSaid("tornasquillo.monitor");
        rig.line.queueSplit(answer, pieceSize ? pieceSize : int(answer.size()));
        QCOMPARE(rig.exchange.IOP(QStringLiteral("D+3912;")), cleaned);
        QVERIFY(!rig.exchange.gaveUp());
        QVERIFY(rig.exchange.endedWithOk());
        rig.monitor.Timer1_Timer();
        QCOMPARE(rig.view.panel2,
                 rings ? QStringLiteral("Rilevata chiamata .. %1 squilli").arg(rings) : QString());
        // With no call-back of its own under way, the monitor names each result it is handed.
        QStringList handed;
        for (const QString &said :
             monitorSaid.texts(QtDebugMsg).filter(QStringLiteral("call-progress result")))
            handed << said.section(u'"', 1, 1);
        QCOMPARE(handed.join(u','), callEnded);
    }

    void closedPortAnswersErrorAtOnce()
    {
        FakeProgram<> rig;
        rig.line.close();
        QCOMPARE(rig.exchange.IOP(QStringLiteral("Z")), QStringLiteral("ERROR"));
        QVERIFY(rig.line.written.isEmpty());
        QCOMPARE(rig.pump.calls, 0);
    }

    void unansweredCommandsGiveUpAtTheDeadline_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("writes");
        QTest::newRow("silence") << "+CGMM"
                                 << "" << 1 + AtExchange::kRetransmitLimit;
        QTest::newRow("an extended error") << "+CPBR=1"
                                           << "\r\n+CME ERROR: 22\r\n"
                                           << 1 + AtExchange::kRetransmitLimit;
        // A dial is written once: a second one would abort the call or place another.
        QTest::newRow("a dial never answered")
            << QStringLiteral("D") + kCallerNumber + u';' << "" << 1;
        QTest::newRow("a busy dial") << QStringLiteral("D") + kCallerNumber + u';' << "\r\nBUSY\r\n"
                                     << 1;
        QTest::newRow("a dial in lower case, spaces around") << " d0612345678; "
                                                             << "\r\nNO CARRIER\r\n"
                                                             << 1;
    }
    void unansweredCommandsGiveUpAtTheDeadline()
    {
        FakeProgram<> rig;
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(int, writes);
        rig.line.responder = [&](const QString &) { return answer; };
        int pumpsAfterDeadline = 0;
        int pumpsDialing = 0;
        rig.pump.onPump = [&] {
            if (rig.clock.seconds() >= 1020.0)
                ++pumpsAfterDeadline;
            pumpsDialing += rig.exchange.isDialing();
        };
        QCOMPARE(rig.exchange.IOP(command), QStringLiteral("ERROR"));
        // A dial is one while it waits, and only then.
        QCOMPARE(pumpsDialing, isDialCommand(command) ? rig.pump.calls : 0);
        QVERIFY(!rig.exchange.isDialing());
        QVERIFY(rig.exchange.gaveUp());
        QCOMPARE(rig.line.written.size(), writes);
        QCOMPARE(rig.line.written.count(atFrame(command)), writes);
        // The deadline is not re-armed: every re-send gets one pass of the wait loop.
        QVERIFY(rig.clock.seconds() >= 1020.0);
        QVERIFY(rig.clock.seconds() < 1020.1);
        QCOMPARE(pumpsAfterDeadline, writes - 1);
        // Blocking slices of a few milliseconds, not a busy loop.
        QVERIFY(rig.pump.calls < 20000 / AtExchange::kPumpSliceMs + 200);
    }

    void aResendThatIsAnsweredEndsTheExchange()
    {
        FakeProgram<> rig;
        rig.line.responder = [&](const QString &) {
            return rig.line.written.size() == 2 ? QStringLiteral("\r\nOK\r\n") : QString();
        };
        QCOMPARE(rig.exchange.IOP(QStringLiteral("E0")), QStringLiteral("OK"));
        QCOMPARE(rig.line.written.size(), 2);
    }

    void aPortThatClosesMidExchangeEndsItWithError()
    {
        FakeProgram<> rig;
        rig.pump.onPump = [&] {
            if (rig.pump.calls == 3)
                rig.line.lose();
        };
        QCOMPARE(rig.exchange.IOP(QStringLiteral("+CGMM")), QStringLiteral("ERROR"));
        QCOMPARE(rig.line.written.size(), 1);
        QVERIFY(rig.clock.seconds() < 1001.0);
        QVERIFY(!rig.exchange.inProgress());
    }

    void nestedExchangeRunsInsideTheWait()
    {
        FakeProgram<> rig;
        QString nested;
        bool outerWasInProgress = false;
        rig.pump.onPump = [&] {
            if (rig.pump.calls == 2) {
                outerWasInProgress = rig.exchange.inProgress();
                rig.line.queue(QStringLiteral("\r\nOK\r\n"));
                nested = rig.exchange.IOP(QStringLiteral("Z"));
                rig.line.queue(QStringLiteral("\r\nMODEL\r\n\r\nOK\r\n"));
            }
        };
        QCOMPARE(rig.exchange.IOP(QStringLiteral("+CGMM")), QStringLiteral("MODEL"));
        QVERIFY(outerWasInProgress);
        QCOMPARE(nested, QStringLiteral("OK"));
        QCOMPARE(rig.line.written,
                 (QStringList{QStringLiteral("AT+CGMM\r"), QStringLiteral("ATZ\r")}));
        QVERIFY(!rig.exchange.inProgress());
    }

    void aFloodingLineKeepsTheBufferBounded()
    {
        FakeProgram<> rig;
        const QString garbage(100 * 1024, QChar(u'x'));
        int sent = 0;
        rig.pump.onPump = [&] {
            if (sent < 50) {
                rig.line.queue(garbage);
                ++sent;
            } else if (sent == 50) {
                rig.line.queue(QStringLiteral("\r\nOK\r\n"));
                ++sent;
            }
        };
        const QString answer = rig.exchange.IOP(QStringLiteral("+CGMM"));
        QVERIFY(answer.size() <= AtExchange::kMaxAnswer);
        QCOMPARE(rig.line.written.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestAtExchange)
#include "tst_at_exchange.moc"
