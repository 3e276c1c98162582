// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/state_folder.h"
#include "tests/support/fake_phone.h"
#include "tests/support/message_capture.h"
#include "tests/support/test_numbers.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kModel = QStringLiteral("TS-GSM 900/1800");
const QString kPin = QStringLiteral("4711");
const QString kEnterPin = QStringLiteral("AT+CPIN=\"4711\"\r");

/// A phone's answer as the tables write it: an information line and OK, a final result alone
/// ("ERROR", "+CME ERROR: n", "OK"), or nothing at all (an empty text).
QString answerOf(const QString &said)
{
    if (said.isEmpty())
        return {};
    if (said == u"OK" || said == u"ERROR" || said.startsWith(u"+CME ERROR:"))
        return QStringLiteral("\r\n%1\r\n").arg(said);
    return QStringLiteral("\r\n%1\r\n\r\nOK\r\n").arg(said);
}

/// The session on a phone that is ready unless `said` (command, then answer) says otherwise.
struct WatchRig : PhoneProgram
{
    QMap<QString, QString> said{{"AT+CGMM", kModel},
                                {"ATZ", "OK"},
                                {"ATE0", "OK"},
                                {"ATQ0", "OK"},
                                {"ATV1", "OK"},
                                {"AT", "OK"},
                                {"AT+CREG=1", "OK"},
                                {"AT+CPIN?", "+CPIN: READY"},
                                {"AT+CREG?", "+CREG: 1,1"},
                                {"AT+CFUN?", "+CFUN: 1"},
                                {"AT+CFUN=1", "OK"},
                                {"AT+CPINR=\"SIM PIN\"", "+CPINR: SIM PIN,3,3"}};
    MessageCapture journal{"tornasquillo.status"};

    WatchRig()
    {
        phone.more = [this](const QString &frame) -> std::optional<QString> {
            const QString command = frame.chopped(1);
            if (!said.contains(command))
                return std::nullopt;
            return answerOf(said.value(command));
        };
    }
    void startUp() { control.startUp(); }
    QString panel() { return portView.panels[2]; }
    QString told() const { return journal.texts(QtInfoMsg).join(u'\n'); }
    int count(const QString &frame) const { return int(phone.sent().count(frame)); }
};

} // namespace

class TestPhoneWatch : public QObject
{
    Q_OBJECT

private slots:
    // What the phone says after the start-up dialogue shows in panel 2 within seconds, as one
    // journal line, and gets the one command that mends it, if any. A question the phone does
    // not know is asked once.
    void eachStateIsShownAndMended_data()
    {
        QTest::addColumn<QStringList>("phoneSays"); // command, answer, command, answer...
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("journal");
        QTest::addColumn<QString>("sent");
        const QString ready = QStringLiteral("CONNESSO A ") + kModel;
        QTest::newRow("ready") << QStringList() << ready << QString() << QString();
        QTest::newRow("PIN, no PIN file")
            << QStringList{"AT+CPIN?", "+CPIN: SIM PIN"} << "SIM: serve il PIN"
            << "the SIM wants its PIN" << QString();
        QTest::newRow("PUK") << QStringList{"AT+CPIN?", "+CPIN: SIM PUK"}
                             << "SIM bloccata: serve il PUK"
                             << "the SIM is locked: it wants its PUK" << QString();
        QTest::newRow("PUK as an error")
            << QStringList{"AT+CPIN?", "+CME ERROR: 12"} << "SIM bloccata: serve il PUK"
            << "the SIM is locked: it wants its PUK" << QString();
        QTest::newRow("no SIM") << QStringList{"AT+CPIN?", "+CME ERROR: 10"}
                                << "SIM assente o guasta"
                                << "no SIM, or the SIM failed" << QString();
        QTest::newRow("SIM failure, verbose")
            << QStringList{"AT+CPIN?", "+CME ERROR: SIM failure"} << "SIM assente o guasta"
            << "no SIM, or the SIM failed" << QString();
        QTest::newRow("radio off") << QStringList{"AT+CREG?", "+CREG: 0,0", "AT+CFUN?", "+CFUN: 4"}
                                   << "Radio spenta: la accendo"
                                   << "the phone's radio is off: turning it on"
                                   << "AT+CFUN=1";
        QTest::newRow("searching") << QStringList{"AT+CREG?", "+CREG: 0,2"} << "Nessuna rete"
                                   << "no network (registration state 2)" << QString();
        QTest::newRow("denied, with location")
            << QStringList{"AT+CREG?", "+CREG: 2,3,\"00C3\",\"0010\""} << "Registrazione rifiutata"
            << "no network (registration state 3)" << QString();
        QTest::newRow("no AT+CREG?")
            << QStringList{"AT+CREG?", "ERROR"} << ready << QString() << QString();
        QTest::newRow("messages to the port")
            << QStringList{"AT+CNMI?", "+CNMI: 2,2,0,0,0", "AT+CNMI=2,1,0,0,0", "OK"} << ready
            << QString() << "AT+CNMI=2,1,0,0,0";
        QTest::newRow("silent") << QStringList{"AT+CPIN?", "", "AT", ""}
                                << "Il telefono non risponde"
                                << "the phone does not answer"
                                << "AT";
    }
    void eachStateIsShownAndMended()
    {
        QFETCH(QStringList, phoneSays);
        QFETCH(QString, panel);
        QFETCH(QString, journal);
        QFETCH(QString, sent);
        WatchRig rig;
        for (qsizetype i = 0; i + 1 < phoneSays.size(); i += 2)
            rig.said[phoneSays[i]] = phoneSays[i + 1];
        rig.startUp();
        // The start-up dialogue is the design's, and the questions come after it.
        QCOMPARE(rig.phone.sent(), framed(kStartUpCommands));
        rig.run(15);
        QCOMPARE(rig.panel(), panel);
        if (journal.isEmpty())
            QCOMPARE(rig.told(), QString());
        else
            QVERIFY2(rig.told().contains(journal), qPrintable(rig.told()));
        QCOMPARE(rig.told().count(u'\n'), 0); // one change, one line
        rig.run(120);
        if (!sent.isEmpty())
            QVERIFY2(rig.count(sent + u'\r') >= 1, qPrintable(rig.phone.sent().join(' ')));
        if (rig.said.value("AT+CREG?") == u"ERROR")
            QCOMPARE(rig.count(QStringLiteral("AT+CREG?\r")), 1);
        QVERIFY(rig.count(QStringLiteral("AT+CFUN=1\r")) <= 1);
    }

    // The PIN of the PIN file is entered only when the SIM asks for it, with two tries left or
    // more (or none told), and at most once: a refused one never again, in this run or the next.
    // It shows nowhere.
    void thePinIsEnteredOnlyWhenSafe_data()
    {
        QTest::addColumn<QString>("entered"); // the answer to the PIN
        QTest::addColumn<QString>("after");   // AT+CPIN? once it was entered
        QTest::addColumn<QString>("tries");   // the answer to AT+CPINR="SIM PIN"
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("panel");
        const QString ready = QStringLiteral("CONNESSO A ") + kModel;
        const QString refused = QStringLiteral("PIN rifiutato: correggere il file del PIN");
        QTest::newRow("right") << "OK"
                               << "+CPIN: READY"
                               << "+CPINR: SIM PIN,3,3" << 1 << ready;
        QTest::newRow("wrong") << "+CME ERROR: 16"
                               << "+CPIN: SIM PIN"
                               << "+CPINR: SIM PIN,3,3" << 1 << refused;
        QTest::newRow("taken, but asked for again") << "OK"
                                                    << "+CPIN: SIM PIN"
                                                    << "+CPINR: SIM PIN,2,3" << 1 << refused;
        QTest::newRow("no answer to it") << ""
                                         << "+CPIN: SIM PIN"
                                         << "+CPINR: SIM PIN,3,3" << 1 << refused;
        QTest::newRow("one try left") << "OK"
                                      << "+CPIN: READY"
                                      << "+CPINR: SIM PIN,1,3" << 0 << "SIM: serve il PIN";
        QTest::newRow("tries not told") << "OK"
                                        << "+CPIN: READY"
                                        << "ERROR" << 1 << ready;
    }
    void thePinIsEnteredOnlyWhenSafe()
    {
        QFETCH(QString, entered);
        QFETCH(QString, after);
        QFETCH(QString, tries);
        QFETCH(int, entries);
        QFETCH(QString, panel);
        QTemporaryDir dir;
        const QString pinPath = dir.filePath(QStringLiteral("pin"));
        QFile pinFile(pinPath);
        QVERIFY(pinFile.open(QIODevice::WriteOnly));
        pinFile.write(kPin.toLatin1() + '\n');
        pinFile.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        pinFile.close();
        const StateFolder folder(dir.filePath(QStringLiteral("state")));

        const auto run = [&](WatchRig &rig) {
            rig.said["AT+CPIN?"] = QStringLiteral("+CPIN: SIM PIN");
            rig.said["AT+CPINR=\"SIM PIN\""] = tries;
            rig.said[kEnterPin.chopped(1)] = entered;
            rig.phone.more = [&rig, more = rig.phone.more, after](const QString &frame) {
                if (frame == kEnterPin)
                    rig.said["AT+CPIN?"] = after;
                return more(frame);
            };
            rig.session.phoneWatch().setPinFile(PinFile(pinPath), &folder);
            rig.startUp();
            rig.run(100);
        };
        {
            WatchRig rig;
            run(rig);
            QCOMPARE(rig.count(kEnterPin), entries);
            QCOMPARE(rig.panel(), panel);
            for (const QString &text : rig.journal.texts(QtInfoMsg) +
                                           rig.journal.texts(QtWarningMsg) +
                                           rig.portView.panels.values() + rig.view.panel2History)
                QVERIFY2(!text.contains(kPin), qPrintable(text));

            // The port closed and opened again, then a new run over the same state folder.
            rig.control.Command1_Click();
            rig.control.Command1_Click();
            rig.run(100);
            QCOMPARE(rig.count(kEnterPin), entries);
        }
        // Each rig captures the journal: one at a time.
        WatchRig next;
        run(next);
        QCOMPARE(next.count(kEnterPin),
                 panel == u"PIN rifiutato: correggere il file del PIN" ? 0 : entries);
    }

    // A ring that crosses a question is counted and called back on the design's schedule; a
    // network lost and back is told both ways.
    void callsGoOnAcrossTheQuestions()
    {
        WatchRig rig;
        rig.view.risp = true;
        rig.startUp();
        double ringAt = 0;
        rig.phone.more = [&,
                          more = rig.phone.more](const QString &frame) -> std::optional<QString> {
            if (frame != u"AT+CPIN?\r" || ringAt > 0)
                return more(frame);
            ringAt = rig.clock.seconds();
            return QStringLiteral("\r\nRING\r\n\r\n+CPIN: READY\r\n\r\nOK\r\n");
        };
        rig.run(CallMonitor::kCallOver + rig.view.slider2 + 5);
        QCOMPARE(rig.view.list2.size(), 1);
        const double dialAt = rig.phone.sentAt(kCallerDial + u'\r');
        QVERIFY(ringAt > 0 && dialAt > 0);
        const double wait = dialAt - ringAt - CallMonitor::kCallOver - rig.view.slider2;
        QVERIFY2(wait > -0.6 && wait < 0.7, qPrintable(QString::number(wait)));

        // The network lost, reported and confirmed; then back.
        rig.line.queue(QStringLiteral("\r\n+CREG: 2\r\n"));
        rig.said["AT+CREG?"] = QStringLiteral("+CREG: 1,2");
        rig.run(PhoneWatch::kAskAgain * 3);
        QCOMPARE(rig.panel(), QStringLiteral("Nessuna rete"));
        rig.said["AT+CREG?"] = QStringLiteral("+CREG: 1,1");
        rig.line.queue(QStringLiteral("\r\n+CREG: 1\r\n"));
        rig.run(1);
        QCOMPARE(rig.panel(), QStringLiteral("CONNESSO A ") + kModel);
        QVERIFY2(rig.told().endsWith(QStringLiteral("the phone is ready: calls can arrive")),
                 qPrintable(rig.told()));
    }
};

QTEST_GUILESS_MAIN(TestPhoneWatch)
#include "tst_phone_watch.moc"
