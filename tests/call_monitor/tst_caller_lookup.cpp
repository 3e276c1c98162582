// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_monitor/caller_entry.h"
#include "tests/support/fake_phone.h"

#include <QTest>

using Rig = PhoneProgram;

/// Who the caller of a call is: the missed-call list's entry 1, read as the phone answers it, or
/// the caller line that came with the rings; what is logged and what is dialled.
class TestCallerLookup : public QObject
{
    Q_OBJECT

private slots:
    void fieldsAreFifteenCharactersWide()
    {
        QCOMPARE(fitField(QStringLiteral("errore"), 15), QStringLiteral("errore         "));
        QCOMPARE(fitField(QString(), 15), QString(15, u' '));
        QCOMPARE(fitField(QStringLiteral("0123456789ABCDEF"), 15),
                 QStringLiteral("0123456789ABCDE"));
        QCOMPARE(fitField(QStringLiteral("0123456789ABCDE"), 15),
                 QStringLiteral("0123456789ABCDE"));

        Rig rig;
        rig.phone.cpbrAnswer = QStringLiteral(
            "\r\n+CPBR: 1,\"00393331234567890\",129,\"Giovanni Battista Rossi\"\r\n\r\nOK\r\n");
        rig.ring();
        rig.run(9);
        QCOMPARE(rig.view.list2,
                 QStringList{QStringLiteral(
                     "Ha squillato : 003933312345678 > Giovanni Battis = Risposto")});
    }

    void aFailedLookupLogsErroreAndNeverCallsBack_data()
    {
        QTest::addColumn<QString>("cpbsAnswer");
        QTest::addColumn<QString>("cpbrAnswer");
        QTest::addColumn<QStringList>("sent");
        // A phone that refused the list is asked for it quoted; one that never answered is not.
        QTest::newRow("the book cannot be chosen")
            << "\r\nERROR\r\n"
            << FakePhone().cpbrAnswer << QStringList{"AT+CPBS=MC\r", "AT+CPBS=\"MC\"\r"};
        QTest::newRow("the book never answers")
            << "" << FakePhone().cpbrAnswer << QStringList(101, QStringLiteral("AT+CPBS=MC\r"));
        QTest::newRow("a malformed entry") << "\r\nOK\r\n"
                                           << "\r\n+CPBR: 1,\"3912\r\n\r\nOK\r\n"
                                           << QStringList{"AT+CPBS=MC\r", "AT+CPBR=1\r"};
    }
    void aFailedLookupLogsErroreAndNeverCallsBack()
    {
        QFETCH(QString, cpbsAnswer);
        QFETCH(QString, cpbrAnswer);
        QFETCH(QStringList, sent);
        Rig rig;
        rig.view.risp = true;
        rig.phone.cpbsAnswer = cpbsAnswer;
        rig.phone.cpbrAnswer = cpbrAnswer;
        rig.ring();
        rig.run(9);
        QCOMPARE(rig.phone.sent(), sent);
        QVERIFY(!rig.phone.dialed());
        QCOMPARE(rig.view.list2,
                 QStringList{QStringLiteral(
                     "Ha squillato : errore          >                 = Risposto")});
    }

    void theCallerFromTheRingsCallerLine_data()
    {
        QTest::addColumn<QString>("cpbsAnswer");
        QTest::addColumn<QString>("quotedCpbsAnswer");
        QTest::addColumn<QString>("callerLine"); ///< sent with the ring; empty: none
        QTest::addColumn<QString>("logged");     ///< number and name fields of the event line
        QTest::addColumn<QString>("dial");       ///< empty: never dialled
        const QString error = QStringLiteral("\r\nERROR\r\n");
        const QString ok = QStringLiteral("\r\nOK\r\n");
        const QString lucia = QStringLiteral("+393479876543   > Lucia Bianchi  ");
        const QString luciaNoName = QStringLiteral("+393479876543   >                ");
        QTest::newRow("the list chosen quoted")
            << error << ok << "" << kMario << "ATD+393331234567;\r";
        QTest::newRow("no list, caller ID with a name")
            << error << error << "+CLIP: \"+393479876543\",145,\"\",,\"Lucia Bianchi\",0" << lucia
            << "ATD+393479876543;\r";
        QTest::newRow("no list, international without plus")
            << error << error << "+CLIP: \"393479876543\",145"
            << "393479876543    >                "
            << "ATD+393479876543;\r";
        QTest::newRow("no list, withheld") << error << error << "+CLIP: \"\",128"
                                           << "errore          >                "
                                           << "";
        QTest::newRow("no list, not a number") << error << error << "+CLIP: \"PRIVATE\",129"
                                               << "PRIVATE         >                "
                                               << "";
        QTest::newRow("entry 1 is someone else") << ok << error << "+CLIP: \"+393479876543\",145"
                                                 << luciaNoName << "ATD+393479876543;\r";
        QTest::newRow("entry 1 is the caller without the country code")
            << ok << error << "+CLIP: \"3331234567\",129,,,\"Mario\"" << kMario
            << "ATD+393331234567;\r";
        QTest::newRow("entry 1 is the caller with 00")
            << ok << error << "+CLIP: \"00393331234567\",129" << kMario << "ATD+393331234567;\r";
        QTest::newRow("entry 1 and a withheld caller line")
            << ok << error << "+CLIP: \"\",128" << kMario << "ATD+393331234567;\r";
    }
    void theCallerFromTheRingsCallerLine()
    {
        QFETCH(QString, cpbsAnswer);
        QFETCH(QString, quotedCpbsAnswer);
        QFETCH(QString, callerLine);
        QFETCH(QString, logged);
        QFETCH(QString, dial);
        Rig rig;
        rig.view.risp = true;
        rig.view.slider1 = 0;
        rig.phone.cpbsAnswer = cpbsAnswer;
        rig.phone.quotedCpbsAnswer = quotedCpbsAnswer;
        rig.line.queue(QStringLiteral("\r\nRING\r\n") +
                       (callerLine.isEmpty() ? QString() : "\r\n" + callerLine + "\r\n"));
        rig.monitor.Timer1_Timer();
        rig.run(9);
        QCOMPARE(rig.view.list2,
                 QStringList{QStringLiteral("Ha squillato : ") + logged + " = Risposto"});
        QCOMPARE(rig.phone.dials(), dial.isEmpty() ? QStringList() : QStringList{dial});
    }

    void phonebookAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow("full entry")
            << "+CPBR: 1,\"+3912\",145,\"Anna\"" << true << "+3912" << 145 << "Anna";
        QTest::newRow("international without plus") << "+CPBR: 1,\"393331234567\", 145 ,\"Mario\""
                                                    << true << "393331234567" << 145 << "Mario";
        QTest::newRow("no quotes") << "+CPBR: 1,3912,145" << false << "" << 0 << "";
        QTest::newRow("one quote") << "+CPBR: 1,\"3912,145" << false << "" << 0 << "";
        QTest::newRow("no name") << "+CPBR: 1,\"3912\",129" << true << "3912" << 129 << "";
        QTest::newRow("unterminated name")
            << "+CPBR: 1,\"3912\",129,\"An" << true << "3912" << 129 << "";
        QTest::newRow("no type") << "+CPBR: 1,\"3912\",,\"Anna\"" << true << "3912" << 0 << "Anna";
        QTest::newRow("not a type")
            << "+CPBR: 1,\"3912\",1450,\"Anna\"" << true << "3912" << 0 << "Anna";
        QTest::newRow("empty number") << "+CPBR: 1,\"\",128,\"\"" << true << "" << 128 << "";
        QTest::newRow("empty answer") << "" << false << "" << 0 << "";
        QTest::newRow("quote at the end") << "\"" << false << "" << 0 << "";
    }
    void phonebookAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(bool, found);
        QFETCH(QString, number);
        QFETCH(int, type);
        QFETCH(QString, name);
        const std::optional<CallerEntry> entry = readCallerEntry(answer);
        QCOMPARE(entry.has_value(), found);
        if (entry) {
            QCOMPARE(entry->number, number);
            QCOMPARE(entry->type, type);
            QCOMPARE(entry->name, name);
        }
    }

    void theNumberDialledAndLogged_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("dial"); ///< the dial frame; empty: never dialled
        QTest::newRow("national") << "0612345678" << 129 << "ATD0612345678;\r";
        QTest::newRow("international without plus, type 145")
            << "393331234567" << 145 << "ATD+393331234567;\r";
        QTest::newRow("international with plus") << "+393331234567" << 145 << "ATD+393331234567;\r";
        QTest::newRow("no plus, national type") << "393331234567" << 129 << "ATD393331234567;\r";
        QTest::newRow("withheld") << "" << 129 << "";
        QTest::newRow("withheld, type 145") << "" << 145 << "";
        QTest::newRow("a second command") << "333;\rATD+39999" << 129 << "";
        QTest::newRow("letters") << "PRIVATE" << 129 << "";
        QTest::newRow("letters, type 145") << "PRIVATE" << 145 << "";
        QTest::newRow("plus inside") << "39+333" << 129 << "";
        QTest::newRow("plus alone") << "+" << 129 << "";
        QTest::newRow("space") << "333 123" << 129 << "";
    }
    void theNumberDialledAndLogged()
    {
        QFETCH(QString, number);
        QFETCH(int, type);
        QFETCH(QString, dial);
        Rig rig;
        rig.view.risp = true;
        rig.view.slider1 = 0;
        rig.phone.cpbrAnswer =
            QStringLiteral("\r\n+CPBR: 1,\"%1\",%2,\"X\"\r\n\r\nOK\r\n").arg(number).arg(type);
        rig.ring();
        rig.run(9);
        QCOMPARE(rig.view.list2.size(), 1);
        // Logged as the phone gave it, whatever was dialled.
        QVERIFY(
            rig.view.list2[0].startsWith(QStringLiteral("Ha squillato : ") + fitField(number, 15)));
        QCOMPARE(rig.phone.dials(), dial.isEmpty() ? QStringList() : QStringList{dial});
        QVERIFY(isDialable(QStringLiteral("+39*31#2")));
    }
};

QTEST_GUILESS_MAIN(TestCallerLookup)
#include "tst_caller_lookup.moc"
