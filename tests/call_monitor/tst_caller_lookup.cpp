// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/caller_entry.h"
#include "tests/support/fake_phone.h"
#include "tests/support/message_capture.h"
#include "tests/support/test_numbers.h"

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

    void whoTheCallerIs_data()
    {
        QTest::addColumn<QString>("cpbsAnswer");
        QTest::addColumn<QString>("quotedCpbsAnswer");
        QTest::addColumn<QString>("cpbrAnswer");
        QTest::addColumn<QString>("callerLine"); ///< sent with the ring; empty: none
        QTest::addColumn<QString>("logged");     ///< number and name fields of the event line
        QTest::addColumn<QStringList>("sent");
        const QString ok = QStringLiteral("\r\nOK\r\n");
        const QString error = QStringLiteral("\r\nERROR\r\n");
        const QString listed = FakePhone().cpbrAnswer;
        const QString errore = QStringLiteral("errore          >                ");
        const QString lucia = QStringLiteral("+393479876543   > Lucia Bianchi  ");
        const QString luciaNoName = QStringLiteral("+393479876543   >                ");
        const QStringList unquoted{"AT+CPBS=MC\r", "AT+CPBR=1\r"};
        // A phone that refused the list is asked for it quoted; one that never answered is not.
        const QStringList quoted{"AT+CPBS=MC\r", "AT+CPBS=\"MC\"\r"};
        const auto callBack = [](const QString &number) {
            return QStringList{QStringLiteral("ATD%1;\r").arg(number), "ATH\r", "ATH\r"};
        };
        const QStringList callsMario = callBack(kCallerNumber);
        const QStringList callsLucia = callBack(QStringLiteral("+393479876543"));

        // The lookup fails: "errore", never called back.
        QTest::newRow("the book cannot be chosen")
            << error << error << listed << "" << errore << quoted;
        QTest::newRow("the book never answers") << "" << error << listed << "" << errore
                                                << QStringList(101, QStringLiteral("AT+CPBS=MC\r"));
        QTest::newRow("a malformed entry") << ok << error << "\r\n+CPBR: 1,\"3912\r\n\r\nOK\r\n"
                                           << "" << errore << unquoted;
        QTest::newRow("the list chosen quoted") << error << ok << listed << "" << kMario
                                                << quoted + QStringList{"AT+CPBR=1\r"} + callsMario;

        // The caller line that came with the rings.
        QTest::newRow("no list, caller ID with a name")
            << error << error << listed << "+CLIP: \"+393479876543\",145,\"\",,\"Lucia Bianchi\",0"
            << lucia << quoted + callsLucia;
        QTest::newRow("no list, international without plus")
            << error << error << listed << "+CLIP: \"393479876543\",145"
            << "393479876543    >                " << quoted + callsLucia;
        // A withheld number: nobody is looked up or called back, whoever entry 1 is.
        const QString privato = QStringLiteral("privato         >                ");
        QTest::newRow("no list, withheld")
            << error << error << listed << "+CLIP: \"\",128" << privato << QStringList();
        QTest::newRow("no list, not a number")
            << error << error << listed << "+CLIP: \"PRIVATE\",129"
            << "PRIVATE         >                " << quoted;
        QTest::newRow("entry 1 is someone else")
            << ok << error << listed << "+CLIP: \"+393479876543\",145" << luciaNoName
            << unquoted + callsLucia;
        QTest::newRow("entry 1 is the caller without the country code")
            << ok << error << listed << "+CLIP: \"3331234567\",129,,,\"Mario\"" << kMario
            << unquoted + callsMario;
        QTest::newRow("entry 1 is the caller with 00")
            << ok << error << listed << "+CLIP: \"00393331234567\",129" << kMario
            << unquoted + callsMario;
        QTest::newRow("entry 1 and a withheld caller line")
            << ok << error << listed << "+CLIP: \"\",128" << privato << QStringList();
        QTest::newRow("entry 1 and a caller line of validity 1")
            << ok << error << listed << "+CLIP: \"\",128,,,,1" << privato << QStringList();
        QTest::newRow("entry 1 and a number not available (validity 2)")
            << ok << error << listed << "+CLIP: \"+393479876543\",145,,,,2" << privato
            << QStringList();
        QTest::newRow("entry 1 and an empty national number")
            << ok << error << listed << "+CLIP: \"\",129" << kMario << unquoted + callsMario;
    }
    void whoTheCallerIs()
    {
        QFETCH(QString, cpbsAnswer);
        QFETCH(QString, quotedCpbsAnswer);
        QFETCH(QString, cpbrAnswer);
        QFETCH(QString, callerLine);
        QFETCH(QString, logged);
        QFETCH(QStringList, sent);
        Rig rig;
        rig.view.risp = true;
        rig.view.slider1 = 0;
        rig.phone.cpbsAnswer = cpbsAnswer;
        rig.phone.quotedCpbsAnswer = quotedCpbsAnswer;
        rig.phone.cpbrAnswer = cpbrAnswer;
        rig.line.queue(QStringLiteral("\r\nRING\r\n") +
                       (callerLine.isEmpty() ? QString() : "\r\n" + callerLine + "\r\n"));
        rig.monitor.Timer1_Timer();
        rig.run(9);
        QCOMPARE(rig.phone.sent(), sent);
        QCOMPARE(rig.view.list2,
                 QStringList{QStringLiteral("Ha squillato : ") + logged + " = Risposto"});
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
        QTest::addColumn<QString>("callBackTo"); ///< the option's value; empty: the default
        QTest::addColumn<QString>("dial");       ///< the dial frame; empty: never dialled
        QTest::addColumn<QString>("said");       ///< the journal's line; empty: none
        const QString notANumber = QStringLiteral(
            "no call-back to %1: not a number a person can be called back on (only digits and a "
            "leading + are); it is never dialled");
        const QString emergency =
            QStringLiteral("no call-back to %1: an emergency number; it is never called back");
        const auto notListed = [](const char *number, const char *kind) {
            return QStringLiteral("no call-back to %1: not a number the responder calls back "
                                  "(%2); --call-back-to adds it")
                .arg(QLatin1String(number), QLatin1String(kind));
        };
        const char *ordinaryOnly = "not an Italian mobile or geographic number";
        const char *paid = "free, shared-cost or premium-rate number";

        // Ordinary Italian numbers, in all three forms, are called back by default.
        QTest::newRow("mobile") << "3331234567" << 129 << ""
                                << "ATD3331234567;\r"
                                << "";
        QTest::newRow("mobile with +39")
            << "+393331234567" << 145 << "" << kCallerDial + u'\r' << "";
        QTest::newRow("mobile with 0039") << "00393331234567" << 129 << ""
                                          << "ATD00393331234567;\r"
                                          << "";
        QTest::newRow("geographic") << "0612345678" << 129 << ""
                                    << "ATD0612345678;\r"
                                    << "";
        QTest::newRow("geographic with +39") << "+390612345678" << 145 << ""
                                             << "ATD+390612345678;\r"
                                             << "";
        QTest::newRow("international without plus, type 145")
            << "393331234567" << 145 << "" << kCallerDial + u'\r' << "";
        // Every other number is not, unless the operator says so.
        QTest::newRow("no plus, national type") << "393331234567" << 129 << ""
                                                << "" << notListed("393331234567", ordinaryOnly);
        QTest::newRow("foreign") << "+21698765432" << 145 << ""
                                 << "" << notListed("+21698765432", "foreign");
        QTest::newRow("premium rate") << "899123456" << 129 << ""
                                      << "" << notListed("899123456", paid);
        QTest::newRow("free") << "800123456" << 129 << ""
                              << "" << notListed("800123456", paid);
        QTest::newRow("directory") << "1254" << 129 << ""
                                   << "" << notListed("1254", "short code or directory service");
        QTest::newRow("a foreign prefix allowed") << "+21698765432" << 145 << "+41, +216"
                                                  << "ATD+21698765432;\r"
                                                  << "";
        QTest::newRow("a whole number allowed") << "3331234567" << 129 << "+393331234567"
                                                << "ATD3331234567;\r"
                                                << "";
        QTest::newRow("not in the operator's list")
            << "3479876543" << 129 << "+393331234567"
            << "" << notListed("3479876543", "not in the --call-back-to list");
        QTest::newRow("any: premium rate") << "899123456" << 129 << "any"
                                           << "ATD899123456;\r"
                                           << "";
        QTest::newRow("any: foreign") << "+21698765432" << 145 << "any"
                                      << "ATD+21698765432;\r"
                                      << "";
        // Never, whatever the options: emergency numbers, and what is not a number.
        QTest::newRow("emergency") << "112" << 129 << ""
                                   << "" << emergency.arg("112");
        QTest::newRow("emergency with +39, any") << "+39112" << 145 << "any"
                                                 << "" << emergency.arg("+39112");
        QTest::newRow("emergency, +39 allowed") << "118" << 129 << "+39"
                                                << "" << emergency.arg("118");
        for (const char *line : {"114", "1515", "1522", "1530", "113", "117"}) {
            const QString national = QString::fromLatin1(line);
            for (const QString &number : {national, "+39" + national, "0039" + national})
                QTest::addRow("public line %s, any", qPrintable(number))
                    << number << 129 << "any"
                    << "" << emergency.arg(number);
        }
        QTest::newRow("a European help line, any") << "116000" << 129 << "any"
                                                   << "" << emergency.arg("116000");
        QTest::newRow("116117 with +39, +39 allowed") << "+39116117" << 145 << "+39"
                                                      << "" << emergency.arg("+39116117");
        QTest::newRow("16 digits, any")
            << "+3933312345678901" << 145 << "any"
            << ""
            << "no call-back to +3933312345678901: longer than the 15 digits of any phone "
               "number; it is never dialled";
        QTest::newRow("geographic after 00") << "+3900449123456" << 145 << ""
                                             << "" << notListed("+3900449123456", ordinaryOnly);
        QTest::newRow("0039 then 00") << "0039000000" << 129 << ""
                                      << "" << notListed("0039000000", ordinaryOnly);
        QTest::newRow("a service code") << "*21*3331234567#" << 129 << "any"
                                        << "" << notANumber.arg("*21*3331234567#");
        QTest::newRow("a comma") << "3331234567,1" << 129 << "any"
                                 << "" << notANumber.arg("3331234567,1");
        QTest::newRow("a second command") << "333;\rATD+39999" << 129 << "any"
                                          << "" << notANumber.arg("333; ATD+39999");
        QTest::newRow("letters") << "PRIVATE" << 145 << ""
                                 << "" << notANumber.arg("PRIVATE");
        QTest::newRow("plus inside") << "39+333" << 129 << ""
                                     << "" << notANumber.arg("39+333");
        QTest::newRow("plus alone") << "+" << 129 << ""
                                    << "" << notANumber.arg("+");
        QTest::newRow("space") << "333 123" << 129 << ""
                               << "" << notANumber.arg("333 123");
        QTest::newRow("withheld") << "" << 129 << ""
                                  << ""
                                  << "";
        QTest::newRow("withheld, type 145") << "" << 145 << ""
                                            << ""
                                            << "";
    }
    void theNumberDialledAndLogged()
    {
        QFETCH(QString, number);
        QFETCH(int, type);
        QFETCH(QString, callBackTo);
        QFETCH(QString, dial);
        QFETCH(QString, said);
        Rig rig;
        rig.view.risp = true;
        rig.view.slider1 = 0;
        if (!callBackTo.isEmpty()) {
            QString error;
            CallBackRules rules;
            rules.numbers = *CallBackNumbers::fromOption(callBackTo, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            rig.monitor.setCallBackRules(rules);
        }
        rig.phone.cpbrAnswer =
            QStringLiteral("\r\n+CPBR: 1,\"%1\",%2,\"X\"\r\n\r\nOK\r\n").arg(number).arg(type);
        MessageCapture journal("tornasquillo.monitor");
        rig.ring();
        rig.run(9);
        QCOMPARE(rig.view.list2.size(), 1);
        // Logged as the phone gave it, whatever was dialled.
        QVERIFY(
            rig.view.list2[0].startsWith(QStringLiteral("Ha squillato : ") + fitField(number, 15)));
        QVERIFY(rig.view.list2[0].endsWith(QStringLiteral(" = Risposto")));
        QCOMPARE(rig.phone.dials(), dial.isEmpty() ? QStringList() : QStringList{dial});
        QCOMPARE(journal.texts(QtInfoMsg), said.isEmpty() ? QStringList() : QStringList{said});
        QCOMPARE(rig.view.reported.constLast().calledBack, !dial.isEmpty());
    }

    void badPrefixes_data()
    {
        QTest::addColumn<QString>("callBackTo");
        QTest::newRow("no plus") << "39";
        QTest::newRow("a letter") << "+39a";
        QTest::newRow("plus alone") << "+";
        QTest::newRow("an empty prefix") << "+39,,+41";
        QTest::newRow("a service code") << "*21#";
    }
    void badPrefixes()
    {
        QFETCH(QString, callBackTo);
        QString error;
        QVERIFY(!CallBackNumbers::fromOption(callBackTo, &error));
        QVERIFY2(error.startsWith(QStringLiteral("--call-back-to takes \"any\" or prefixes")),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestCallerLookup)
#include "tst_caller_lookup.moc"
