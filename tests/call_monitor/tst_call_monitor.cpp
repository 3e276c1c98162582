// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/state_folder.h"
#include "tests/support/fake_phone.h"
#include "tests/support/message_capture.h"
#include "tests/support/test_numbers.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using Rig = PhoneProgram;

class TestCallMonitor : public QObject
{
    Q_OBJECT

private slots:
    void aSquilloIsLoggedAndCalledBack()
    {
        Rig rig;
        rig.view.risp = true;
        rig.ring();
        QCOMPARE(rig.view.panel2, QStringLiteral("Rilevata chiamata .. 1 squilli"));

        // The 8-second mark falls on 1008.5, which rounds (ties to even) to 1008: the dial goes
        // out as soon as the clock passes 1008 + Slider2.
        rig.clock.set(1008.4);
        rig.monitor.Timer1_Timer();
        QVERIFY(rig.phone.frames.isEmpty());
        rig.clock.set(1008.5);
        rig.monitor.Timer1_Timer();

        const QString dial = kCallerDial + u'\r';
        QCOMPARE(rig.phone.sent(),
                 (QStringList{"AT+CPBS=MC\r", "AT+CPBR=1\r", dial, "ATH\r", "ATH\r"}));
        const double dialedAt = rig.phone.sentAt(dial);
        QVERIFY2(dialedAt > 1010.0 && dialedAt < 1010.1, qPrintable(QString::number(dialedAt)));
        const double hungUpAt = rig.phone.sentAt(QStringLiteral("ATH\r"));
        QVERIFY(hungUpAt > dialedAt + 10 && hungUpAt < dialedAt + 10.1);

        QCOMPARE(rig.view.list2, QStringList{QStringLiteral("Ha squillato : ") + kMario +
                                             QStringLiteral(" = Risposto")});
        QVERIFY(rig.view.panel2History.contains(QStringLiteral("Squillo..")));
        QCOMPARE(rig.view.panel2, QStringLiteral("Risposto a squillo.."));
        QCOMPARE(rig.view.beeps, 1);

        // The call is over: nothing more is logged however long the monitor runs.
        rig.run(30, 0.5);
        QCOMPARE(rig.view.list2.size(), 1);
    }

    void theCallBackStartRoundsHalfSecondsToEven()
    {
        Rig rig;
        rig.view.risp = true;
        rig.view.slider1 = 0;
        rig.clock.set(1001.5);
        rig.ring();
        rig.clock.set(1009.5); // rounds to 1010
        rig.monitor.Timer1_Timer();
        const double dialedAt = rig.phone.sentAt(kCallerDial + u'\r');
        QVERIFY2(dialedAt > 1012.0 && dialedAt < 1012.1, qPrintable(QString::number(dialedAt)));
    }

    void classification_data()
    {
        QTest::addColumn<int>("rings");
        QTest::addColumn<int>("squilliLimit");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<bool>("dials");
        const QString squillo = QStringLiteral("Ha squillato : ") + kMario + " = Risposto";
        const QString call = QStringLiteral("Ha ciamato   : ") + kMario + " = Non risposto";
        QTest::newRow("one ring, limit 1") << 1 << 1 << squillo << "Squillo.." << true;
        QTest::newRow("three rings, limit 1") << 3 << 1 << call << "Chiamata.." << false;
        QTest::newRow("rings equal to the limit") << 3 << 3 << squillo << "Squillo.." << true;
        QTest::newRow("one over the limit") << 4 << 3 << call << "Chiamata.." << false;
    }
    void classification()
    {
        QFETCH(int, rings);
        QFETCH(int, squilliLimit);
        Rig rig;
        rig.view.risp = true;
        rig.view.slider1 = 0;
        rig.view.slider2 = 0;
        rig.view.slider3 = squilliLimit;
        for (int i = 0; i < rings; ++i) {
            rig.ring();
            QCOMPARE(rig.view.panel2, QStringLiteral("Rilevata chiamata .. %1 squilli").arg(i + 1));
            rig.run(3);
        }
        rig.run(6);
        QFETCH(QString, line);
        QFETCH(QString, panel);
        QFETCH(bool, dials);
        QCOMPARE(rig.view.list2, QStringList{line});
        QVERIFY(rig.view.panel2History.contains(panel));
        QCOMPARE(rig.phone.dialed(), dials);
    }

    void aNumberCalledBackIsNotCalledBackAgainInsideTheCoolDown_data()
    {
        QTest::addColumn<int>("coolDown");        ///< minutes; -1: the rules' default
        QTest::addColumn<int>("secondAfter");     ///< seconds from the first squillo's ring
        QTest::addColumn<QString>("secondEntry"); ///< entry 1 of the list for the second squillo
        QTest::addColumn<bool>("calledAgain");
        const QString mario = QStringLiteral("\"%1\",145,\"%2\"").arg(kCallerNumber, kCallerName);
        // The first call-back is dialled about 10 seconds after its ring, at 1000.5: a cool-down of
        // 10 minutes holds until about 1611, and the second squillo's call-back would go out about
        // 10 seconds after its ring.
        QTest::newRow("the same number inside it") << 10 << 540 << mario << false;
        QTest::newRow("the same number without its country code")
            << 10 << 540 << QStringLiteral("\"3331234567\",129,\"Mario\"") << false;
        QTest::newRow("the same number after it") << 10 << 630 << mario << true;
        QTest::newRow("another number inside it")
            << 10 << 60 << QStringLiteral("\"+393479876543\",145,\"Lucia Bianchi\"") << true;
        QTest::newRow("no cool-down") << 0 << 60 << mario << true;
        QTest::newRow("the default, inside it") << -1 << 540 << mario << false;
    }
    void aNumberCalledBackIsNotCalledBackAgainInsideTheCoolDown()
    {
        QFETCH(int, coolDown);
        QFETCH(int, secondAfter);
        QFETCH(QString, secondEntry);
        QFETCH(bool, calledAgain);
        Rig rig;
        rig.view.risp = true;
        CallBackRules rules;
        if (coolDown >= 0)
            rules.coolDownMinutes = coolDown;
        rig.monitor.setCallBackRules(rules);
        MessageCapture journal("tornasquillo.monitor");
        rig.ring();
        rig.run(30);
        QCOMPARE(rig.phone.dials().size(), 1);
        const double firstDial = rig.phone.sentAt(rig.phone.dials().first());

        rig.phone.cpbrAnswer = QStringLiteral("\r\n+CPBR: 1,%1\r\n\r\nOK\r\n").arg(secondEntry);
        rig.clock.set(1000.5 + secondAfter);
        rig.ring();
        rig.run(8.1, 8.1);
        const double heldFor = firstDial + 600 - rig.clock.seconds();
        const QDateTime now = rig.clock.wallTime();
        rig.run(30);

        // The line is the designed one whether or not the call-back went out.
        QCOMPARE(rig.view.list2.size(), 2);
        QVERIFY(rig.view.list2[1].startsWith(QStringLiteral("Ha squillato : ")));
        QVERIFY(rig.view.list2[1].endsWith(QStringLiteral(" = Risposto")));
        QCOMPARE(rig.phone.dials().size(), calledAgain ? 2 : 1);
        QCOMPARE(rig.view.reported.size(), 2);
        QVERIFY(rig.view.reported[0].calledBack);
        QCOMPARE(rig.view.reported[1].calledBack, calledAgain);

        const QStringList said = journal.texts(QtInfoMsg);
        QCOMPARE(said.size(), calledAgain ? 0 : 1);
        if (calledAgain)
            return;
        const QRegularExpressionMatch held =
            QRegularExpression(
                QStringLiteral("^no call-back to %1: it was called back less than 10 minute\\(s\\) "
                               "ago; the cool-down holds it until (\\d{4}-\\d\\d-\\d\\d )?"
                               "(\\d\\d:\\d\\d:\\d\\d)$")
                    .arg(QRegularExpression::escape(secondEntry.section(u'"', 1, 1))))
                .match(said.first());
        QVERIFY2(held.hasMatch(), qPrintable(said.first()));
        const int until = QTime::fromString(held.captured(2), QStringLiteral("HH:mm:ss"))
                              .secsTo(now.addSecs(qint64(heldFor)).time());
        QVERIFY2(std::abs(until) <= 1, qPrintable(said.first()));
    }

    void theLimitCountsTheCallBacksOfAnyHour()
    {
        Rig rig;
        rig.view.risp = true;
        rig.view.slider1 = 0;
        CallBackRules rules;
        rules.limit = 2;
        rig.monitor.setCallBackRules(rules);
        MessageCapture journal("tornasquillo.monitor");
        // Four squilli from four numbers: two call-backs, none while both are inside the hour,
        // and one again once the first has dropped out of it.
        const int ringsAt[] = {0, 100, 200, 3700};
        for (int i = 0; i < 4; ++i) {
            rig.phone.cpbrAnswer =
                QStringLiteral("\r\n+CPBR: 1,\"+39333000000%1\",145,\"\"\r\n\r\nOK\r\n").arg(i);
            rig.clock.set(1000.5 + ringsAt[i]);
            rig.ring();
            rig.run(30);
        }
        QCOMPARE(rig.phone.dials(), (QStringList{"ATD+393330000000;\r", "ATD+393330000001;\r",
                                                 "ATD+393330000003;\r"}));
        QCOMPARE(rig.view.list2.size(), 4);
        // The first call-back leaves the hour an hour after its dial.
        const double firstDial = rig.phone.sentAt(rig.phone.dials().first());
        const QString nextAt =
            rig.clock.wallTime()
                .addMSecs(qint64(std::ceil((firstDial + 3600 - rig.clock.seconds()) * 1000)))
                .toString(QStringLiteral("HH:mm:ss"));
        QCOMPARE(
            journal.texts(QtInfoMsg),
            QStringList{"no call-back to +393330000002: 2 call-back(s) in the last hour "
                        "already, as many as --call-back-limit allows; the next may go out at " +
                        nextAt});
    }

    void theCallBackStandsUntilItIsAnsweredOrOver_data()
    {
        QTest::addColumn<QString>("report");     ///< sent unasked `at` seconds after the dial
        QTest::addColumn<double>("at");          ///< when the callee acts
        QTest::addColumn<int>("stat");           ///< the list's stat from then on; -1: gone
        QTest::addColumn<QString>("listFails");  ///< AT+CLCC's answer instead: ERROR, or none
        QTest::addColumn<QString>("notice");     ///< a line the phone slips into every list
        QTest::addColumn<bool>("releasesOne");   ///< the phone has AT+CHLD=1x
        QTest::addColumn<double>("hungUpAfter"); ///< seconds from the dial to the release
        QTest::addColumn<int>("asked");          ///< AT+CLCC, once a second until then
        QTest::addColumn<QString>("said");       ///< the journal's line; empty: none
        const QString ended = QStringLiteral("call-back to ") + kCallerNumber +
                              QStringLiteral(" ended by the phone's %1 after %2 s and hung up");
        const QString answered =
            QStringLiteral("call-back to %1 answered after 2.0 s and hung up").arg(kCallerNumber);
        QTest::newRow("answered after 2 s") << "" << 2.0 << 0 << ""
                                            << "" << false << 2.0 << 2 << answered;
        QTest::newRow("rejected: NO CARRIER")
            << "NO CARRIER" << 2.5 << 3 << ""
            << "" << false << 2.5 << 2 << ended.arg("NO CARRIER", "2.5");
        QTest::newRow("rejected: BUSY") << "BUSY" << 3.5 << 3 << ""
                                        << "" << false << 3.5 << 3 << ended.arg("BUSY", "3.5");
        QTest::newRow("rung out: NO ANSWER")
            << "NO ANSWER" << 4.5 << 3 << ""
            << "" << false << 4.5 << 4 << ended.arg("NO ANSWER", "4.5");
        QTest::newRow("gone from the list")
            << "" << 4.0 << -1 << ""
            << "" << false << 4.0 << 4
            << QStringLiteral("call-back to %1 gone from the phone's calls after 4.0 s and hung up")
                   .arg(kCallerNumber);
        // A notice inside the list says nothing of the calls.
        QTest::newRow("answered, a notice in the list")
            << "" << 2.0 << 0 << ""
            << "+CMTI: \"SM\",4" << false << 2.0 << 2 << answered;
        // The designed hold: Slider1 seconds.
        QTest::newRow("never answered") << "" << 0.0 << 3 << ""
                                        << "" << false << 10.0 << 9 << "";
        QTest::newRow("the list refused") << "" << 2.0 << 0 << "ERROR"
                                          << "" << false << 10.0 << 1 << "";
        QTest::newRow("the list unanswered")
            << "" << 2.0 << 0 << "none"
            << "" << false << 10.0 << 1
            << "AT+CLCC unanswered within 2 s: the phone is asked for its calls again at the next "
               "call-back";
        // A call that rings in meanwhile is not cut when the phone can release the call-back
        // alone.
        QTest::newRow("a call ringing in") << "RING" << 3.0 << 4 << ""
                                           << "" << false << 10.0 << 9 << "";
        QTest::newRow("a call ringing in, the call-back released alone")
            << "RING" << 3.0 << 4 << ""
            << "" << true << 10.0 << 9 << "";
    }
    void theCallBackStandsUntilItIsAnsweredOrOver()
    {
        QFETCH(QString, report);
        QFETCH(double, at);
        QFETCH(int, stat);
        QFETCH(QString, listFails);
        QFETCH(QString, notice);
        QFETCH(bool, releasesOne);
        QFETCH(double, hungUpAfter);
        QFETCH(int, asked);
        QFETCH(QString, said);
        Rig rig;
        rig.view.risp = true;
        int listsAsked = 0;
        rig.phone.callList = [&](double sinceDial) -> QString {
            // Refused, or unanswered, at the first call-back only.
            if (!listFails.isEmpty() && rig.phone.dials().size() == 1)
                return listFails == u"ERROR" ? QStringLiteral("\r\nERROR\r\n") : QString();
            ++listsAsked;
            QString list = callListWith(sinceDial < at ? 3 : std::max(stat, 0));
            if (stat == 4 && sinceDial >= at) // the call-back alerts; the new call is the phone's
                list = callListWith(3).replace(
                    QStringLiteral("\r\n\r\nOK"),
                    QStringLiteral("\r\n+CLCC: 2,1,4,0,0,\"+393479876543\",145\r\n\r\nOK"));
            if (stat < 0 && sinceDial >= at)
                list = QStringLiteral("\r\nOK\r\n");
            if (!notice.isEmpty())
                list.replace(QStringLiteral("\r\nOK\r\n"), "\r\n" + notice + "\r\n\r\nOK\r\n");
            return list;
        };
        rig.phone.more = [&](const QString &frame) -> std::optional<QString> {
            if (frame == u"AT+CHLD=?\r" && releasesOne)
                return QStringLiteral("\r\n+CHLD: (0,1,1x,2,2x,3,4)\r\n\r\nOK\r\n");
            if (frame == u"AT+CHLD=11\r")
                return QStringLiteral("\r\nOK\r\n");
            return std::nullopt;
        };
        bool reported = report.isEmpty();
        rig.pump.onPump = [&] {
            if (!reported && rig.phone.dialed() &&
                rig.clock.seconds() >= rig.phone.lastDialAt() + at) {
                reported = true;
                rig.line.queue(QStringLiteral("\r\n%1\r\n").arg(report));
            }
        };
        MessageCapture journal("tornasquillo.monitor");
        rig.ring();
        rig.run(8.1, 8.1);
        const QString dial = kCallerDial + u'\r';
        const QStringList release = stat != 4     ? QStringList{"ATH\r", "ATH\r"}
                                    : releasesOne ? QStringList{"AT+CHLD=?\r", "AT+CHLD=11\r"}
                                                  : QStringList{"AT+CHLD=?\r", "ATH\r", "ATH\r"};
        QCOMPARE(rig.phone.sent().mid(0, 3 + release.size()),
                 QStringList({"AT+CPBS=MC\r", "AT+CPBR=1\r", dial}) + release);
        const double held = rig.phone.sentAt(release[stat == 4 ? 1 : 0]) - rig.phone.sentAt(dial);
        QVERIFY2(held >= hungUpAfter && held < hungUpAfter + 0.1,
                 qPrintable(QString::number(held)));
        QCOMPARE(rig.view.beeps, 1);
        QCOMPARE(rig.phone.asked(), asked);
        QCOMPARE(journal.texts(QtInfoMsg), said.isEmpty() ? QStringList() : QStringList{said});
        QCOMPARE(journal.texts(QtWarningMsg).size(), stat == 4 && !releasesOne ? 1 : 0);

        // A second squillo: the rings that came during the hold were counted for it, and the
        // phone is asked for its calls again.
        const int listedBefore = listsAsked;
        if (report != u"RING")
            rig.ring();
        rig.run(40);
        QCOMPARE(rig.view.list2.size(), 2);
        QCOMPARE(rig.phone.dials().size(), 2);
        QVERIFY(listsAsked > listedBefore);
    }

    // The cool-down outlives the run: a program started again inside it over the same state
    // folder does not call the number back; a record it cannot read is no history, said once.
    void theCoolDownOutlivesTheRun_data()
    {
        QTest::addColumn<QByteArray>("record"); ///< the state folder's record at the start
        QTest::addColumn<bool>("calledAgain");
        QTest::addColumn<int>("warnings");
        QTest::newRow("restarted inside it") << QByteArray() << false << 0;
        QTest::newRow("a damaged record") << QByteArray("12\tx;ATD112\n") << true << 1;
        // Dialled "tomorrow" by a clock that was wrong: taken as now, still inside it.
        QTest::newRow("a time stamp in the future")
            << "1796900000000\t" + kCallerNumber.toLatin1() + '\n'
            << false << 0;
    }
    void theCoolDownOutlivesTheRun()
    {
        QFETCH(QByteArray, record);
        QFETCH(bool, calledAgain);
        QFETCH(int, warnings);
        QTemporaryDir dir;
        const StateFolder folder(dir.path());
        MessageCapture journal("tornasquillo.monitor");
        if (record.isEmpty()) {
            Rig first;
            first.view.risp = true;
            first.monitor.setCallBackRules({});
            first.session.keepCallBacksIn(folder);
            first.ring();
            first.run(30);
            QCOMPARE(first.phone.dials().size(), 1);
        } else {
            QVERIFY(folder.write(QString::fromLatin1(CallBackHistory::kFileName), record));
        }
        Rig next;
        next.view.risp = true;
        next.clock.advance(120);
        next.monitor.setCallBackRules({});
        next.session.keepCallBacksIn(folder);
        next.ring();
        next.run(30);
        QCOMPARE(next.view.list2.size(), 1);
        QCOMPARE(next.phone.dials().size(), calledAgain ? 1 : 0);
        QCOMPARE(journal.texts(QtWarningMsg).size(), warnings);
    }

    void whichLinesAreRings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rings");
        // A ring is a line of its own; other lines in the same read neither stop it nor count.
        QTest::newRow("two reports in one read") << "\r\nRING\r\n\r\nRING\r\n" << 2;
        QTest::newRow("with a caller line") << "\r\nRING\r\n\r\n+CLIP: \"123\",129\r\n" << 1;
        QTest::newRow("framed CR CR LF") << "\r\nRING\r\r\n" << 1;
        QTest::newRow("the extended form") << "\r\n+CRING: VOICE\r\n" << 1;
        QTest::newRow("with other reports")
            << "\r\n+CCWA: \"555\",129\r\n\r\nRING\r\n\r\n+CNAP: \"Anna\"\r\n\r\nNO CARRIER\r\n"
            << 1;
        QTest::newRow("other text alone") << "\r\n+CREG: 1\r\n" << 0;
        QTest::newRow("lower case") << "\r\nring\r\n" << 0;
        QTest::newRow("RINGING") << "\r\nRINGING\r\n" << 0;
        QTest::newRow("a data call") << "\r\n+CRING: REL ASYNC\r\n" << 0;
        QTest::newRow("a caller line alone") << "\r\n+CLIP: \"123\",129\r\n" << 0;
        QTest::newRow("inside another line") << "\r\nNO RING\r\n" << 0;
        QTest::newRow("a fragment") << "\r\nRIN" << 0;
        // The serial line hands a ring out whole once its end comes; halves it stopped holding
        // back are stray text, which no later text completes.
        QTest::newRow("halves handed out apart") << "\r\nRI|NG\r\n" << 0;
        QTest::newRow("halves in a call") << "\r\nRING\r\n\r\nRI|NG\r\n" << 1;
        QTest::newRow("line feeds only") << "\nRING\n" << 0;
        QTest::newRow("with a NUL") << QString::fromLatin1("\r\nRING\0\r\n", 9) << 0;
        // A message delivered to the port is a message, whatever its text ("|": the next read).
        const QString sms =
            QStringLiteral("\r\n+CMT: \"%1\",,\"26/12/10,10:00:00+04\"").arg(kCallerNumber);
        QTest::newRow("a message that says RING") << sms + "\r\nRING\r\n" << 0;
        QTest::newRow("its text in the next read") << sms + "\r\n|RING\r\n" << 0;
        QTest::newRow("a message with its length, then a ring")
            << sms + ",145,4,0,0,\"+39\",145,32\r\nRING\r\n+CLIP: "
                     "\"+393479876543\",145\r\n\r\nRING\r\n"
            << 1;
        QTest::newRow("a broadcast") << "\r\n+CBM: 1,50,0,1,1\r\nRING\r\n" << 0;
        QTest::newRow("a status report, then a ring")
            << "\r\n+CDS: 6,12,\"+39333\",145,\"26/12/10\",\"26/12/10\",0\r\n\r\nRING\r\n"
            << 1;
    }
    void whichLinesAreRings()
    {
        QFETCH(QString, text);
        QFETCH(int, rings);
        Rig rig;
        for (const QString &read : text.split(u'|')) {
            rig.line.queue(read);
            rig.monitor.Timer1_Timer();
        }
        QCOMPARE(rig.view.panel2History.isEmpty(), rings == 0);
        if (rings)
            QCOMPARE(rig.view.panel2, QStringLiteral("Rilevata chiamata .. %1 squilli").arg(rings));
        rig.run(60);
        QCOMPARE(rig.view.list2.size(), rings ? 1 : 0);
        QCOMPARE(rig.phone.frames.isEmpty(), rings == 0);
        // Had the text stayed in the buffer, this "RING" would not be seen.
        rig.ring();
        QCOMPARE(rig.view.panel2, QStringLiteral("Rilevata chiamata .. 1 squilli"));
    }

    void aSecondCallWhileTheFirstIsHandled_data()
    {
        QTest::addColumn<int>("afterFrames"); ///< frames of the first call-back sent by then
        QTest::addColumn<bool>("inAnswer");   ///< with that frame's answer, or in the wait after
        QTest::addColumn<int>("rings");       ///< of the second call, 2 seconds apart
        QTest::newRow("a call starting during the lookup") << 1 << true << 2;
        QTest::newRow("a squillo during the lookup") << 1 << true << 1;
        QTest::newRow("during the read of the entry") << 2 << true << 1;
        QTest::newRow("during the wait before the dial") << 2 << false << 1;
        QTest::newRow("during the dial") << 3 << true << 1;
        QTest::newRow("during the wait before hanging up") << 3 << false << 1;
        QTest::newRow("during the first hang-up") << 4 << true << 1;
        QTest::newRow("during the second hang-up") << 5 << true << 1;
    }
    void aSecondCallWhileTheFirstIsHandled()
    {
        QFETCH(int, afterFrames);
        QFETCH(bool, inAnswer);
        QFETCH(int, rings);
        Rig rig;
        rig.view.risp = true;
        const QString lucia =
            QStringLiteral("\r\n+CPBR: 1,\"+393479876543\",145,\"Lucia Bianchi\"\r\n\r\nOK\r\n");
        QList<double> secondRings;
        const auto answer = rig.line.responder;
        rig.line.responder = [&](const QString &frame) {
            QString reply = answer(frame);
            // Until the second call is over, entry 1 of the list is the first caller.
            if (frame == u"AT+CPBR=1\r")
                rig.phone.cpbrAnswer = lucia;
            if (inAnswer && secondRings.isEmpty() && rig.phone.frames.size() == afterFrames) {
                secondRings << rig.clock.seconds();
                reply.prepend(QStringLiteral("\r\nRING\r\n"));
            }
            return reply;
        };
        rig.pump.onPump = [&] {
            const bool inWait = !inAnswer && rig.phone.frames.size() == afterFrames &&
                                rig.clock.seconds() > rig.phone.frames.last().second + 0.5;
            if ((secondRings.isEmpty() && inWait) ||
                (!secondRings.isEmpty() && secondRings.size() < rings &&
                 rig.clock.seconds() >= secondRings.last() + 2)) {
                secondRings << rig.clock.seconds();
                rig.line.queue(QStringLiteral("\r\nRING\r\n"));
            }
        };
        rig.ring();
        const double firstRing = rig.clock.seconds();
        rig.run(60);

        const QString squillo = QStringLiteral(" = Risposto");
        QCOMPARE(rig.view.list2,
                 (QStringList{"Ha squillato : " + kMario + squillo,
                              (rings == 1 ? "Ha squillato : " : "Ha ciamato   : ") +
                                  QStringLiteral("+393479876543   > Lucia Bianchi  ") +
                                  (rings == 1 ? squillo : QStringLiteral(" = Non risposto"))}));
        QStringList sent{"AT+CPBS=MC\r", "AT+CPBR=1\r",  kCallerDial + u'\r', "ATH\r",
                         "ATH\r",        "AT+CPBS=MC\r", "AT+CPBR=1\r"};
        if (rings == 1)
            sent << "ATD+393479876543;\r"
                 << "ATH\r"
                 << "ATH\r";
        QCOMPARE(rig.phone.sent(), sent);
        QCOMPARE(rig.view.beeps, rings == 1 ? 2 : 1);
        // No dial goes out while a call rings in: it waits until 8 seconds after the last ring.
        QVERIFY(rig.phone.sentAt(kCallerDial + u'\r') >= firstRing + 10);
        for (const auto &[frame, at] : rig.phone.frames) {
            for (const double ring : secondRings)
                QVERIFY2(!frame.startsWith(u"ATD") || at <= ring || at >= ring + 8,
                         qPrintable(QStringLiteral("%1 at %2, a ring at %3")
                                        .arg(frame.trimmed())
                                        .arg(at)
                                        .arg(ring)));
        }
    }

    void aSliderMovedDuringAWaitTakesEffectAtOnce()
    {
        Rig rig;
        rig.view.risp = true;
        rig.view.slider2 = 60;
        rig.view.slider1 = 20;
        rig.pump.onPump = [&] {
            if (rig.clock.seconds() > 1018.5 && rig.view.slider2 == 60)
                rig.view.slider2 = 1;
            if (rig.phone.dialed() && rig.clock.seconds() > rig.phone.frames[2].second + 1)
                rig.view.slider1 = 0;
        };
        rig.ring();
        rig.run(8.1, 8.1);
        const double dialedAt = rig.phone.sentAt(kCallerDial + u'\r');
        QVERIFY2(dialedAt > 1018.5 && dialedAt < 1018.7, qPrintable(QString::number(dialedAt)));
        QVERIFY(rig.phone.sentAt(QStringLiteral("ATH\r")) < dialedAt + 1.2);
    }

    void noSecondPassStartsInsideAWaitOrAnExchange()
    {
        Rig rig;
        rig.view.risp = true;
        int nestedTicks = 0;
        int readsBefore = 0;
        rig.pump.onPump = [&] {
            ++nestedTicks;
            readsBefore = rig.line.reads;
            rig.monitor.Timer1_Timer();
            QCOMPARE(rig.line.reads, readsBefore);
            QVERIFY(rig.monitor.isPassRunning());
        };
        rig.ring();
        rig.run(8.1, 8.1);
        QVERIFY(nestedTicks > 100);
        QCOMPARE(rig.view.list2.size(), 1);
        QCOMPARE(rig.phone.sent().count(QStringLiteral("ATH\r")), 2);

        // An exchange started elsewhere (the start-up dialogue, the exit) owns the port too.
        Rig other;
        other.line.responder = [](const QString &) { return QStringLiteral("\r\nOK\r\n"); };
        other.pump.onPump = [&] { other.monitor.Timer1_Timer(); };
        QCOMPARE(other.exchange.IOP(QStringLiteral("Z")), QStringLiteral("OK"));
        QVERIFY(other.view.panel2History.isEmpty());
    }

    void anEndingProgramCutsTheCallBackShort()
    {
        Rig rig;
        rig.view.risp = true;
        rig.view.slider2 = 60;
        rig.pump.onPump = [&] {
            if (rig.clock.seconds() > 1012.0) {
                rig.pump.stopping = true;
                rig.line.close();
            }
        };
        rig.ring();
        rig.run(8.1, 8.1);
        QVERIFY(rig.clock.seconds() < 1012.2);
        QVERIFY(!rig.phone.dialed());
        QCOMPARE(rig.view.list2.size(), 1);
    }

    void aFailedDialOrHangUpNeverBeeps_data()
    {
        QTest::addColumn<int>("slider1");
        QTest::addColumn<QString>("dialAnswer");
        QTest::addColumn<QString>("hangUpAnswer");
        QTest::addColumn<double>("hungUpAfter"); ///< seconds from the dial to the hang-up
        QTest::addColumn<int>("hangUps");
        const QString ok = QStringLiteral("\r\nOK\r\n");
        // A failed dial is hung up once; a failed hang-up is tried once more.
        QTest::newRow("ERROR") << 10 << "\r\nERROR\r\n" << ok << 0.0 << 1;
        // Whatever the phone answers, or not, no call-back rings longer than Slider1 seconds (a
        // phone with +COLP=1 answers the dial only when the callee picks up).
        QTest::newRow("BUSY") << 10 << "\r\nBUSY\r\n" << ok << 10.0 << 1;
        QTest::newRow("NO CARRIER") << 10 << "\r\nNO CARRIER\r\n" << ok << 10.0 << 1;
        QTest::newRow("an extended error") << 10 << "\r\n+CME ERROR: 3\r\n" << ok << 10.0 << 1;
        QTest::newRow("never answered (+COLP=1)") << 10 << "" << ok << 10.0 << 1;
        QTest::newRow("a failed hang-up") << 0 << ok << "\r\nERROR\r\n" << 0.0 << 2;
    }
    void aFailedDialOrHangUpNeverBeeps()
    {
        QFETCH(int, slider1);
        QFETCH(QString, dialAnswer);
        QFETCH(QString, hangUpAnswer);
        QFETCH(double, hungUpAfter);
        QFETCH(int, hangUps);
        Rig rig;
        rig.view.risp = true;
        rig.view.slider1 = slider1;
        rig.phone.dialAnswer = dialAnswer;
        rig.phone.hangUpAnswer = hangUpAnswer;
        rig.ring();
        rig.run(40);
        const QString dial = kCallerDial + u'\r';
        QCOMPARE(rig.phone.sent(), (QStringList{"AT+CPBS=MC\r", "AT+CPBR=1\r", dial} +
                                    QStringList(hangUps, QStringLiteral("ATH\r"))));
        const double wait = rig.phone.sentAt(QStringLiteral("ATH\r")) - rig.phone.sentAt(dial);
        QVERIFY2(wait >= hungUpAfter && wait < hungUpAfter + 0.1,
                 qPrintable(QString::number(wait)));
        QCOMPARE(rig.view.list2.size(), 1);
        QVERIFY(rig.view.list2[0].endsWith(QStringLiteral(" = Risposto")));
        QCOMPARE(rig.view.beeps, 0);
        QVERIFY(!rig.view.panel2History.contains(QStringLiteral("Risposto a squillo..")));
    }

    void theIndicatorBlinksOnlyWhileTheResponderIsOn()
    {
        Rig rig;
        rig.view.risp = true;
        rig.monitor.Timer1_Timer();
        QCOMPARE(rig.view.label5Changes, 1);
        rig.run(0.9, 0.001);
        QCOMPARE(rig.view.label5Changes, 1);
        rig.run(3.05, 0.001);
        QCOMPARE(rig.view.label5Changes, 4);
        rig.view.risp = false;
        rig.run(5, 0.01);
        QCOMPARE(rig.view.label5Changes, 4);
    }

    void anIdleProgramWakesForNothingBeforeItsNextDeadline()
    {
        // Timer1 as the window and the run without one drive the monitor, on the fake clock:
        // what it has armed there is all the program wakes for, besides the phone.
        Rig rig;
        rig.session.timer1().start();
        QCOMPARE(rig.clock.nextWake(), std::optional(1000.5)); // the first pass comes at once
        rig.clock.fireDue();
        QCOMPARE(rig.clock.nextWake(), std::nullopt); // idle: nothing at all

        rig.ring();
        rig.pump.beforeSleep(); // as the event loop asks before it sleeps
        QCOMPARE(rig.clock.nextWake(), std::optional(1000.5 + CallMonitor::kCallOver));
        rig.monitor.addDueTime([] { return std::optional(1030.0); });
        rig.pump.beforeSleep();
        QCOMPARE(rig.clock.nextWake(), std::optional(1000.5 + CallMonitor::kCallOver));

        rig.clock.set(1008.5);
        rig.clock.fireDue();
        QCOMPARE(rig.view.list2.size(), 1);
        QCOMPARE(rig.clock.nextWake(), std::optional(1030.0)); // the other owner's, alone
    }

    void aClosedPortOrAStoppedMonitorOnlyReportsIt()
    {
        Rig rig;
        rig.line.queue(QStringLiteral("\r\nRING\r\n"));
        rig.line.close();
        rig.monitor.Timer1_Timer();
        QCOMPARE(rig.view.panel2, QStringLiteral("Porta non aperta o occupata"));
        QCOMPARE(rig.line.reads, 0);

        rig.line.open(1);
        rig.view.tok = false;
        rig.monitor.Timer1_Timer();
        QCOMPARE(rig.line.reads, 0);
        rig.view.tok = true;
        rig.monitor.Timer1_Timer();
        QCOMPARE(rig.view.panel2, QStringLiteral("Rilevata chiamata .. 1 squilli"));
    }
};

QTEST_GUILESS_MAIN(TestCallMonitor)
#include "tst_call_monitor.moc"
