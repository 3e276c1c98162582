// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_sim/sim_phone.h"
#include "phone_sim/sim_script.h"
#include "pty_client.h"
#include "tests/support/test_numbers.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

#include <sys/ioctl.h>

namespace {
constexpr int kTimeoutMs = 20000;
}

class TstSimPhone : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_phone = std::make_unique<SimPhone>();
        QVERIFY(m_phone->start());
        m_client = std::make_unique<PtyClient>(m_phone->devicePath());
        QVERIFY(m_client->isOpen());
    }
    void cleanup()
    {
        m_client.reset();
        m_phone.reset();
    }

    void answersLikeAPhone_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("script"); ///< script lines run before sending

        QTest::newRow("echo until E0")
            << QByteArray("AT\rATE0\rAT\r")
            << QByteArray("AT\r\r\nOK\r\nATE0\r\r\nOK\r\n\r\nOK\r\n") << QString();
        QTest::newRow("Z turns echo back on")
            << QByteArray("ATE0\rATZ\rAT\r")
            << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\nAT\r\r\nOK\r\n") << QString();
        QTest::newRow("stray bytes, LF and empty lines")
            << QByteArrayLiteral("ATE0\r\n\r\0x\x1b"
                                 "AT\r\n")
            << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\n") << QString();
        QTest::newRow("lower case, two commands on a line")
            << QByteArray("ATE0\rat+cgmm;+CGMI\r")
            << QByteArray("ATE0\r\r\nOK\r\n\r\nTS-GSM 900/1800 simulato\r\n\r\nTornasquillo\r\n"
                          "\r\nOK\r\n")
            << QString();
        QTest::newRow("missed-call storage, empty")
            << QByteArray("ATE0\rAT+CPBS=MC\rAT+CPBS?\rAT+CPBR=1\r")
            << QByteArray(
                   "ATE0\r\r\nOK\r\n\r\nOK\r\n\r\n+CPBS: \"MC\",0,10\r\n\r\nOK\r\n\r\nOK\r\n")
            << QString();
        QTest::newRow("phonebook limits")
            << QByteArray("ATE0\rAT+CPBR=?\rAT+CPBR=11\rAT+CPBS=\"XX\"\r")
            << QByteArray("ATE0\r\r\nOK\r\n\r\n+CPBR: (1-10),40,20\r\n\r\nOK\r\n"
                          "\r\n+CME ERROR: 21\r\n\r\nERROR\r\n")
            << QString();
        QTest::newRow("voice call and hang-up")
            << "ATE0\r" + kCallerDial.toLatin1() + "\rATH\rATD0612345678\r"
            << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\n\r\nOK\r\n\r\nERROR\r\n") << QString();
        // Dials as phones answer them.
        QTest::newRow("+COLP=1: the dial's result waits for the callee")
            << kCallerDial.toLatin1() + '\r'
            << "\r\n+COLP: \"" + kCallerNumber.toLatin1() + "\",145\r\n\r\nOK\r\n"
            << "profile E0;+COLP=1\ncallee answers 0.1";
        QTest::newRow("a character aborts a dial waiting for its callee")
            << QByteArray("ATD0612;\rATH\r") << QByteArray("\r\nNO CARRIER\r\n\r\nOK\r\n")
            << "profile E0;+COLP=1\ncallee never";
        QTest::newRow("+COLP=0: OK at once, the busy callee later")
            << QByteArray("ATD0612;\r") << QByteArray("\r\nOK\r\n\r\nBUSY\r\n")
            << "profile E0\ncallee busy 0.05";
        QTest::newRow("no dial tone")
            << QByteArray("ATD0612;\r") << QByteArray("\r\nNO DIALTONE\r\n")
            << "profile E0\ndial no-dialtone";
        QTest::newRow("a dial refused with an error")
            << QByteArray("ATD0612;\r") << QByteArray("\r\n+CME ERROR: 30\r\n")
            << "profile E0\ndial cme 30";
        // Phones that refuse a dial over a call ringing in, or take only the quoted storage.
        QTest::newRow("a dial refused while a call rings in")
            << QByteArray("ATD0612;\r") << QByteArray("\r\nRING\r\n\r\nNO CARRIER\r\n")
            << "profile E0\ndial-while-ringing refuse\nring 2 60000";
        QTest::newRow("only the quoted storage")
            << QByteArray("AT+CPBS=MC\rAT+CPBS=\"MC\";+CPBS?\r")
            << QByteArray("\r\nERROR\r\n\r\n+CPBS: \"MC\",0,10\r\n\r\nOK\r\n")
            << "profile E0\nstorage quoted";
        QTest::newRow("radio off: registered nowhere, after ATZ too, until +CFUN=1")
            << QByteArray("AT+CFUN?\rATZ;+CREG?;+CFUN=1;+CREG?\r")
            << QByteArray("\r\n+CFUN: 4\r\n\r\nOK\r\n\r\n+CREG: 0,0\r\n\r\n+CREG: 0,1\r\n"
                          "\r\nOK\r\n")
            << "profile E0\nradio off";
        // The calls as AT+CLCC lists them: the call made dialling, a call ringing in waiting.
        QTest::newRow("a call made and a call ringing in")
            << QByteArray("ATD0612;\rAT+CLCC\r")
            << QByteArray("\r\nRING\r\n\r\nOK\r\n\r\n+CLCC: 1,0,2,0,0,\"0612\",129\r\n"
                          "+CLCC: 2,1,5,0,0,\"+393331234567\",145\r\n\r\nOK\r\n")
            << "profile E0\nring 2 60000";
        QTest::newRow("a phone that does not list its calls")
            << QByteArray("AT+CLCC\r") << QByteArray("\r\nERROR\r\n") << "profile E0\nclcc error";
        QTest::newRow("a bare AT refused, commands answered")
            << QByteArray("AT\rATE0Q0V1\r") << QByteArray("\r\nERROR\r\n\r\nOK\r\n")
            << "profile E0\nbare-at error";
        // Rings as modules frame them, and rings crossing an exchange or the wait after it.
        QTest::newRow("rings framed CR CR LF")
            << QByteArray("AT\r") << QByteArray("\r\nRING\r\r\n\r\nOK\r\n")
            << "profile E0\nringframe crcrlf\nring 1 0";
        QTest::newRow("a ring ahead of a command's answer")
            << QByteArray("AT+CPBS=MC\r") << QByteArray("\r\nRING\r\n\r\nOK\r\n")
            << "profile E0\nring 1 after at+cpbs";
        QTest::newRow("rings in the wait after a command")
            << QByteArray("AT+CPBR=1\rATD0612;\r")
            << QByteArray("\r\nOK\r\n\r\nOK\r\n\r\n+CRING: VOICE\r\n\r\n+CRING: VOICE\r\n")
            << "profile E0;+CRC=1\nring 2 50 after ATD 100";
        QTest::newRow("international without '+', names in UCS2")
            << QByteArray("AT+CPBS=MC;+CPBR=1\r")
            << QByteArray(
                   "\r\nRING\r\n\r\n+CPBR: 1,\"3912\",145,\"0041006E006E0061\"\r\n\r\nOK\r\n")
            << "caller +3912 Anna\nring 1 0\nprofile E0;+CSCS=\"UCS2\"\ninternational bare";

        // Every command's forms, one line each with echo off: its information text and OK, or
        // ERROR for a form it does not have or a command the phone does not know.
        const auto form = [](const char *command, const QByteArray &info) {
            const QByteArray text = info.isEmpty() ? QByteArray() : "\r\n" + info + "\r\n";
            QTest::newRow(command) << "AT" + QByteArray(command) + '\r' << text + "\r\nOK\r\n"
                                   << QStringLiteral("profile E0");
        };
        const auto refused = [](const char *command) {
            QTest::newRow(command) << "AT" + QByteArray(command) + '\r'
                                   << QByteArray("\r\nERROR\r\n") << QStringLiteral("profile E0");
        };
        form("S0?", "000");
        form("S0=?", "S0: (0-255)");
        form("+GMI", "Tornasquillo");
        form("+CGMI=?", {});
        form("+GMM", "TS-GSM 900/1800 simulato");
        form("+CGMR", "TS-SIM 1.0");
        form("+GMR", "TS-SIM 1.0");
        form("+CGSN", "352099001761481");
        form("+GSN", "352099001761481");
        form("+CIMI", "222015550001234");
        form("+CMEE?", "+CMEE: 0");
        form("+CMEE=?", "+CMEE: (0-2)");
        form("+CRC?", "+CRC: 0");
        form("+CRC=?", "+CRC: (0,1)");
        form("+CLIP?", "+CLIP: 0,1");
        form("+CLIP=?", "+CLIP: (0,1)");
        form("+COLP?", "+COLP: 0,1");
        form("+COLP=?", "+COLP: (0,1)");
        form("+CVHU?", "+CVHU: 0");
        form("+CVHU=?", "+CVHU: (0-2)");
        form("+CREG=2;+CREG?", "+CREG: 2,1");
        form("+CREG=?", "+CREG: (0-2)");
        form("+CFUN?", "+CFUN: 1");
        form("+CFUN=?", "+CFUN: (0,1,4),(0)");
        form("+CFUN=4;+CFUN?;+CREG?;+CFUN=1;+CREG?",
             "+CFUN: 4\r\n\r\n+CREG: 0,0\r\n\r\n+CREG: 0,1");
        form("+CFUN=1", {});
        form("+CSCS?", "+CSCS: \"IRA\"");
        form("+CSCS=?", "+CSCS: (\"GSM\",\"IRA\",\"UCS2\",\"UTF-8\")");
        form("+CPBS?", "+CPBS: \"SM\",0,10");
        form("+CPBS=?", "+CPBS: (\"MC\",\"RC\",\"DC\",\"SM\",\"ME\")");
        form("+CRC=1;&W;&F;+CRC?;Z;+CRC?", "+CRC: 0\r\n\r\n+CRC: 1");
        form("+CLCC", {});
        for (const char *command :
             {"+CLCC=1", "+CGMM=1", "+CGMI?", "+CFUN=2", "+CPBR?", "S0", "+CMEE=3", "E2", "Z1"})
            refused(command);
        QTest::newRow("V0: numeric result codes, information text only ended")
            << QByteArray("ATV0\rAT+CMEE?\r") << QByteArray("0\r+CMEE: 0\r\n0\r")
            << QStringLiteral("profile E0");
        QTest::newRow("Q1: no result codes until Q0")
            << QByteArray("ATQ1\rAT\rATQ0\r") << QByteArray("\r\nOK\r\n")
            << QStringLiteral("profile E0");
        QTest::newRow("an injected error spares the start-up settings")
            << QByteArray("AT+CGMM\rATZ\r") << QByteArray("\r\n+CME ERROR: 10\r\n\r\nOK\r\n")
            << "profile E0\ncme 10";
    }

    void answersLikeAPhone()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, expected);
        QFETCH(QString, script);
        SimCommander commander(m_phone.get());
        for (const QString &line : script.split(u'\n', Qt::SkipEmptyParts))
            QVERIFY2(commander.execute(line), qPrintable(line));
        QVERIFY(m_client->send(sent));
        QTRY_COMPARE_WITH_TIMEOUT(m_client->received, expected, kTimeoutMs);
    }

    // A phone that cannot take a call, step by step: "> LINE" sends a command line and waits
    // for its answer (unless the phone is hung), "wait MS" lets the phone's time pass, any
    // other step is a script line. Then all the phone said, echo off.
    void answersAsItsStateAllows_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray ok = "\r\nOK\r\n";
        const auto cme = [](int code) {
            return "\r\n+CME ERROR: " + QByteArray::number(code) + "\r\n";
        };
        const auto info = [ok](const QByteArray &text) { return "\r\n" + text + "\r\n" + ok; };
        const auto report = [](int stat) {
            return "\r\n+CREG: " + QByteArray::number(stat) + "\r\n";
        };

        QTest::newRow("the right PIN after a wrong one: unlocked, its tries back")
            << QStringList{"sim pin",
                           "> AT+CPIN?",
                           "> AT+CPBS=\"MC\"",
                           "> AT+CPIN=\"0000\"",
                           "> AT+CPINR=\"SIM PIN\"",
                           "> AT+CPIN=1234",
                           "> AT+CPIN?",
                           "> AT+CPINR=\"SIM PIN\"",
                           "> AT+CPIN=1234"}
            << info("+CPIN: SIM PIN") + cme(11) + cme(16) + info("+CPINR: SIM PIN,2,3") + ok +
                   info("+CPIN: READY") + info("+CPINR: SIM PIN,3,3") + cme(3);
        QTest::newRow("wrong PINs down to the PUK, which sets a new PIN")
            << QStringList{"sim pin",
                           "pin-tries 2",
                           "puk 11112222",
                           "> AT+CPIN=1111",
                           "> AT+CPIN=\"2222\"",
                           "> AT+CPIN?",
                           "> AT+CPINR",
                           "> AT+CPBR=1",
                           "> AT+CPIN=1234",
                           "> AT+CPIN=\"11112222\",\"4321\"",
                           "> AT+CPIN?"}
            << cme(16) + cme(16) + info("+CPIN: SIM PUK") +
                   info("+CPINR: SIM PIN,0,3\r\n+CPINR: SIM PUK,10,10") + cme(12) + cme(12) + ok +
                   info("+CPIN: READY");
        QTest::newRow("no SIM") << QStringList{"sim absent", "> AT+CPIN?", "> AT+CPBS?",
                                               "> AT+CREG?"}
                                << cme(10) + cme(10) + info("+CREG: 0,0");
        QTest::newRow("tries left untold")
            << QStringList{"sim pin", "cpinr off", "> AT+CPINR=\"SIM PIN\"", "> AT+CPIN?"}
            << "\r\nERROR\r\n" + info("+CPIN: SIM PIN");
        QTest::newRow("registration lost and found, reported until ATZ")
            << QStringList{"profile E0",        "> AT+CREG=1", "network none", "network roaming",
                           "> AT+CREG?",        "> AT+CFUN=4", "> AT+CFUN=1",  "> ATZ",
                           "network searching", "> AT+CREG?"}
            << ok + report(0) + report(5) + info("+CREG: 1,5") + ok + report(0) + ok + report(5) +
                   ok + info("+CREG: 0,2");
        QTest::newRow("the PIN entered registers the phone")
            << QStringList{"sim pin", "> AT+CREG=1;+CREG?", "> AT+CPIN=1234"}
            << info("+CREG: 1,0") + ok + report(1);
        QTest::newRow("radio off across ATZ: no ring, no dial, the list read")
            << QStringList{"profile E0",
                           "radio off",
                           "> ATZ",
                           "> AT+CFUN?",
                           "ring 1 0",
                           "> ATD0612;",
                           "> AT+CPBS=\"MC\";+CPBR=1",
                           "> AT+CFUN=1",
                           "> AT+CFUN?",
                           "ring 1 0"}
            << ok + info("+CFUN: 4") + "\r\nNO CARRIER\r\n" + ok + ok + info("+CFUN: 1") +
                   "\r\nRING\r\n";
        QTest::newRow("radio at its minimum")
            << QStringList{"radio min", "> AT+CFUN?;+CREG?"} << info("+CFUN: 0\r\n\r\n+CREG: 0,0");
        QTest::newRow("a network that refuses the phone: no ring, no dial")
            << QStringList{"network denied", "ring 1 0", "> ATD0612;", "> AT+CREG?"}
            << "\r\nNO CARRIER\r\n" + info("+CREG: 0,3");
        QTest::newRow("hung for a while: nothing heard, nothing said, then answering again")
            << QStringList{"hang 300", "> AT+CFUN=4", "ring 1 0", "wait 600", "> AT+CFUN?"}
            << info("+CFUN: 1");
        QTest::newRow("hung until told otherwise")
            << QStringList{"hang", "> AT+CGMI", "wait 200", "hang off", "> AT"} << ok;
        // Callers without a number, text messages, a call ringing in during a call made, and a
        // notice inside the list of calls.
        QTest::newRow("withheld and unavailable callers: no number, nothing listed")
            << QStringList{"profile E0;+CLIP=1", "caller +393331111111 Anna", "ring 1 0",
                           "wait 100",           "caller withheld",           "ring 1 0",
                           "wait 100",           "caller unavailable",        "ring 1 0",
                           "wait 100",           "> AT+CPBS=\"MC\";+CPBR=1,3"}
            << "\r\nRING\r\n\r\n+CLIP: \"+393331111111\",145\r\n\r\nRING\r\n\r\n+CLIP: "
               "\"\",128,,,,1\r\n\r\nRING\r\n\r\n+CLIP: \"\",128,,,,2\r\n" +
                   info("+CPBR: 1,\"+393331111111\",145,\"Anna\"");
        QTest::newRow("messages to the port, short and full header, then stored")
            << QStringList{"profile E0;+CNMI=2,2,0,0,0",
                           "sms +393332222222 Ciao\\nRING",
                           "> AT+CSDH=1;+CNMI?",
                           "sms 3470000 \\xc3\\xa8 RING",
                           "> AT+CNMI=2,1;+CNMI?",
                           "sms +39333 one",
                           "> AT+CNMI=2,0",
                           "sms +39333 two",
                           "> AT+CNMI=2,1",
                           "sms +39333 three"}
            << "\r\n+CMT: \"+393332222222\",,\"SCTS\"\r\nCiao\nRING\r\n" +
                   info("+CNMI: 2,2,0,0,0") +
                   "\r\n+CMT: \"3470000\",,\"SCTS\",129,4,0,0,\"+393000000000\",145,6\r\n"
                   "\xc3\xa8 RING\r\n" +
                   info("+CNMI: 2,1,0,0,0") + "\r\n+CMTI: \"SM\",1\r\n" + ok + ok +
                   "\r\n+CMTI: \"SM\",3\r\n";
        QTest::newRow("a call waiting during the call made, then ringing once it is ended")
            << QStringList{"profile E0;+CLIP=1",
                           "callee answers 0",
                           "> ATD0612;",
                           "wait 100",
                           "waiting +393334444444 2 1500",
                           "> AT+CLCC",
                           "> AT+CHLD=?",
                           "> AT+CHLD=11",
                           "> AT+CLCC",
                           "wait 2500",
                           "> AT+CPBS=\"MC\";+CPBR=1"}
            << ok + "\r\n+CCWA: \"+393334444444\",145,1\r\n" +
                   info("+CLCC: 1,0,0,0,0,\"0612\",129\r\n"
                        "+CLCC: 2,1,5,0,0,\"+393334444444\",145") +
                   info("+CHLD: (0,1,1x,2,2x,3,4)") + ok +
                   info("+CLCC: 2,1,4,0,0,\"+393334444444\",145") +
                   "\r\nRING\r\n\r\n+CLIP: \"+393334444444\",145\r\n" +
                   info("+CPBR: 1,\"+393334444444\",145,\"\"");
        QTest::newRow("a notice on its own and inside the list of calls")
            << QStringList{"notice ^CONN:1,0", "clcc-notice +CMTI: \"SM\",4", "ring 2 60000",
                           "> AT+CLCC"}
            << "\r\n^CONN:1,0\r\n\r\nRING\r\n" +
                   info("+CLCC: 1,1,4,0,0,\"+393331234567\",145\r\n\r\n+CMTI: \"SM\",4");
    }

    void answersAsItsStateAllows()
    {
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, expected);
        SimCommander commander(m_phone.get());
        QVERIFY(commander.execute(QStringLiteral("profile E0")));
        QSignalSpy finals(m_phone.get(), &SimPhone::finalWritten);
        for (const QString &step : steps) {
            if (step.startsWith(QLatin1String("wait "))) {
                QTest::qWait(step.mid(5).toInt());
            } else if (step.startsWith(QLatin1String("> "))) {
                const qsizetype answered = finals.size();
                QVERIFY(m_client->send(step.mid(2).toLatin1() + '\r'));
                if (!m_phone->isHung())
                    QTRY_COMPARE_WITH_TIMEOUT(finals.size(), answered + 1, kTimeoutMs);
            } else {
                QVERIFY2(commander.execute(step), qPrintable(step));
            }
        }
        // A message's time stamp is the phone's clock: the rows write it "SCTS".
        static const QRegularExpression kTimeStamp(
            QStringLiteral("\"\\d\\d/\\d\\d/\\d\\d,\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d\""));
        const auto stamped = [this] {
            return QString::fromLatin1(m_client->received)
                .replace(kTimeStamp, QStringLiteral("\"SCTS\""))
                .toLatin1();
        };
        QTRY_COMPARE_WITH_TIMEOUT(stamped(), expected, kTimeoutMs);
    }

    void missedCallsAreListedNewestFirst()
    {
        QSignalSpy rings(m_phone.get(), &SimPhone::ringWritten);
        m_phone->setNextCaller(QStringLiteral("0612345678"), QStringLiteral("Anna"));
        m_phone->ring(2, 20);
        QTRY_COMPARE_WITH_TIMEOUT(m_client->received, QByteArray("\r\nRING\r\n\r\nRING\r\n"),
                                  kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(rings.size(), 2, kTimeoutMs);
        QCOMPARE(rings.at(1).at(0).toInt(), 2);
        QCOMPARE(m_phone->missedCalls(), QStringList{"0612345678|Anna"});

        m_phone->setNextCaller(QStringLiteral("+390612345678"), QStringLiteral("Luigi Verdi"));
        m_phone->ring(1, 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_client->received, QByteArray("\r\nRING\r\n").repeated(3),
                                  kTimeoutMs);
        m_client->received.clear();
        QVERIFY(m_client->send("ATE0\rAT+CPBS=\"MC\"\rAT+CPBR=1\rAT+CPBR=1,2\r"));
        QTRY_COMPARE_WITH_TIMEOUT(
            m_client->received,
            QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\n"
                       "\r\n+CPBR: 1,\"+390612345678\",145,\"Luigi Verdi\"\r\n"
                       "\r\nOK\r\n"
                       "\r\n+CPBR: 1,\"+390612345678\",145,\"Luigi Verdi\"\r\n"
                       "+CPBR: 2,\"0612345678\",129,\"Anna\"\r\n"
                       "\r\nOK\r\n"),
            kTimeoutMs);
    }

    void hangingUpWhileRingingIsNoMissedCall()
    {
        m_phone->setNextCaller(QStringLiteral("+391111"), QStringLiteral("Rejected"));
        m_phone->ring(3, 60000);
        QTRY_COMPARE_WITH_TIMEOUT(m_client->received, QByteArray("\r\nRING\r\n"), kTimeoutMs);
        QVERIFY(m_client->send("ATH\r"));
        QTRY_VERIFY_WITH_TIMEOUT(m_client->received.endsWith("ATH\r\r\nOK\r\n"), kTimeoutMs);
        // Had the first call survived the H, this ring would only extend it.
        m_phone->setNextCaller(QStringLiteral("+392222"), QStringLiteral("Missed"));
        m_phone->ring(1, 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_phone->missedCalls(), QStringList{"+392222|Missed"},
                                  kTimeoutMs);
    }

    void chunksAndDelaysHoldBackTheFinalCode()
    {
        constexpr int kChunk = 4;
        constexpr int kDelayMs = 30;
        QSignalSpy commands(m_phone.get(), &SimPhone::commandReceived);
        QSignalSpy finals(m_phone.get(), &SimPhone::finalWritten);
        m_phone->setChunking(kChunk, kDelayMs);
        const QByteArray echo = "AT+CGMM\r";
        const QByteArray result = "\r\nTS-GSM 900/1800 simulato\r\n\r\nOK\r\n";
        QVERIFY(m_client->send(echo));
        QTRY_COMPARE_WITH_TIMEOUT(m_client->received, echo + result, kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(finals.size(), 1, kTimeoutMs);
        QVERIFY2(m_client->reads >= 3, QByteArray::number(m_client->reads));
        const int pieces =
            (echo.size() + kChunk - 1) / kChunk + (result.size() + kChunk - 1) / kChunk;
        const qint64 elapsedNs =
            finals.at(0).at(1).toLongLong() - commands.at(0).at(1).toLongLong();
        // Coarse timers may fire up to 5% early.
        QVERIFY2(elapsedNs >= qint64(pieces - 1) * kDelayMs * 900'000,
                 QByteArray::number(elapsedNs));

        m_phone->setChunking(0, 0);
        m_phone->setAnswerDelay(300);
        QVERIFY(m_client->send("AT\r"));
        QTRY_COMPARE_WITH_TIMEOUT(finals.size(), 2, kTimeoutMs);
        const qint64 delayedNs =
            finals.at(1).at(1).toLongLong() - commands.at(1).at(1).toLongLong();
        QVERIFY2(delayedNs >= 270'000'000, QByteArray::number(delayedNs));
    }

    void floodNeverBlocksAndArrivesWhole()
    {
        const QByteArray flood(2 * 1024 * 1024, '\x5a');
        m_client->setReading(false);
        m_phone->sendRaw(flood);
        QVERIFY(m_client->send("AT\r"));
        // Reaching here at all means sendRaw did not block on the full pty.
        QTRY_COMPARE_WITH_TIMEOUT(m_phone->receivedCommands(), QStringList{"AT"}, kTimeoutMs);
        m_client->setReading(true);
        QTRY_COMPARE_WITH_TIMEOUT(m_client->received.size(), flood.size() + 9, kTimeoutMs);
        QVERIFY(m_client->received.endsWith("AT\r\r\nOK\r\n"));
    }

    void hangUpLineUnplugsAndStartReplugs()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("phone"));
        QVERIFY(m_phone->start(link));
        PtyClient client(link);
        QVERIFY(client.isOpen());
        QSignalSpy hungUp(m_phone.get(), &SimPhone::lineHungUp);

        m_phone->hangUpLine();
        QCOMPARE(hungUp.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(client.closed, kTimeoutMs);
        QVERIFY(m_phone->devicePath().isEmpty());
        QVERIFY(!m_phone->isLineUp());
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(!QFileInfo::exists(link));

        QVERIFY(m_phone->start(link));
        QCOMPARE(QFileInfo(link).symLinkTarget(), m_phone->devicePath());
        PtyClient again(link);
        QVERIFY(again.send("AT\r"));
        QTRY_COMPARE_WITH_TIMEOUT(again.received, QByteArray("AT\r\r\nOK\r\n"), kTimeoutMs);

        m_phone.reset();
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void killedProgramLeavesNoExclusiveLock()
    {
        // As QSerialPort does on open, and a killed program never undoes.
        const QByteArray device = QFile::encodeName(m_phone->devicePath());
        const int program = ::open(device.constData(), O_RDWR | O_NOCTTY);
        QVERIFY(program >= 0);
        QCOMPARE(::ioctl(program, TIOCEXCL), 0);
        ::close(program);
        // Root opens an exclusive tty anyway; TIOCGEXCL tells what anyone else would meet.
        const auto exclusive = [this] {
            int flag = -1;
            return ::ioctl(m_client->fd(), TIOCGEXCL, &flag) == 0 ? flag : -1;
        };
        QTRY_COMPARE_WITH_TIMEOUT(exclusive(), 0, kTimeoutMs);
    }

private:
    std::unique_ptr<SimPhone> m_phone;
    std::unique_ptr<PtyClient> m_client;
};

QTEST_GUILESS_MAIN(TstSimPhone)
#include "tst_sim_phone.moc"
