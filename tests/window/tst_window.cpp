// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_monitor/start_state.h"
#include "phone_link/event_pump.h"
#include "phone_link/port_map.h"
#include "phone_link/qt_serial_line.h"
#include "phone_sim/sim_phone.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_line.h"
#include "tests/support/fake_pump.h"
#include "tests/support/message_capture.h"
#include "tests/support/test_numbers.h"
#include "window/form1.h"
#include "window/twips.h"

#include <QAccessible>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kLabel1 = QStringLiteral("Tempo attesa prima di chiudere la chiamata: 10 sec");
const QString kLabel2 = QStringLiteral("Tempo attesa prima di ripondere allo squillo: 2 sec");
const QString kLabel4 = QStringLiteral("Numero squilli per considerare il richiamo: 1 squilli");

template<class T>
T *control(const Form1 &form, const char *name)
{
    return form.findChild<T *>(QString::fromLatin1(name));
}

QLabel *panel(const Form1 &form, int index)
{
    return form.findChild<QLabel *>(QStringLiteral("Panel%1").arg(index));
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

/// Another program could open the device now (QSerialPort holds a port exclusively).
bool portIsFree(const QString &device)
{
    QSerialPort port(device);
    return port.open(QIODevice::ReadWrite);
}

/// Counts Label5 being shown and hidden.
class VisibilityWatch : public QObject
{
public:
    explicit VisibilityWatch(QWidget *watched) { watched->installEventFilter(this); }
    int shows = 0;
    int hides = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        shows += event->type() == QEvent::Show;
        hides += event->type() == QEvent::Hide;
        return false;
    }
};

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

    /// The window on the devices given, with the real event loop and a clock that the test moves
    /// past the seconds the program waits by design.
    std::unique_ptr<Form1> openWindow(const PortMap &ports, SkippingClock **clock = nullptr)
    {
        auto skipping = std::make_unique<SkippingClock>();
        if (clock)
            *clock = skipping.get();
        auto form = std::make_unique<Form1>(std::make_unique<QtSerialLine>(ports),
                                            std::move(skipping), std::make_unique<QtEventPump>());
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        return form;
    }

private:
    /// The journal has the line as listed, after the moment it was listed (from `before` to
    /// `after`) with its offset, and the list tells the same moment in the desktop's language,
    /// to the mouse and to a screen reader.
    static void listedAtItsMoment(const QListWidgetItem *logged, const MessageCapture &journal,
                                  qint64 before, qint64 after)
    {
        const QStringList journalled = journal.texts(QtInfoMsg);
        QCOMPARE(journalled.size(), 1);
        const QString stamp = journalled.first().section(u' ', 0, 0);
        QCOMPARE(journalled.first(), stamp + u' ' + logged->text());
        const QDateTime when = QDateTime::fromString(stamp, Qt::ISODate);
        const qsizetype kWithSecondsAndOffset = qsizetype(sizeof "2026-12-08T12:43:23+01:00") - 1;
        QVERIFY2(stamp.size() == kWithSecondsAndOffset && when.isValid() &&
                     when.toSecsSinceEpoch() >= before && when.toSecsSinceEpoch() <= after,
                 qPrintable(stamp));
        QCOMPARE(when.offsetFromUtc(), when.toLocalTime().offsetFromUtc());
        const QString told = QLocale::system().toString(when.toLocalTime(), QLocale::LongFormat);
        QCOMPARE(logged->toolTip(), told);
        QAccessibleInterface *listIface =
            QAccessible::queryAccessibleInterface(logged->listWidget());
        QVERIFY(listIface && listIface->childCount() == 1);
        QCOMPARE(listIface->child(0)->text(QAccessible::Description), told);
    }

    /// The port opened again, and the phone unplugged in the middle of the next call: the link
    /// shows closed, the line logged before stays, and once the phone is back the same port
    /// opens by itself, start-up dialogue and all, and counts the next call.
    static void reopenedAndUnpluggedInACall(Form1 &form, SimPhone &phone, const QString &link,
                                            SkippingClock &clock)
    {
        auto *list2 = control<QListWidget>(form, "List2");
        click(control<QPushButton>(form, "Command1"));
        phone.ring(5, 500);
        QTRY_COMPARE_WITH_TIMEOUT(panel(form, 2)->text(),
                                  QStringLiteral("Rilevata chiamata .. 2 squilli"), 5000);
        phone.hangUpLine();
        QTRY_COMPARE(panel(form, 1)->text(), QStringLiteral("DISCONNESSO"));
        QVERIFY(control<QWidget>(form, "Frame2")->isEnabled());
        QTRY_COMPARE(panel(form, 2)->text(), QStringLiteral("Porta non aperta o occupata"));
        QCOMPARE(list2->count(), 1);
        QVERIFY(
            list2->item(0)->text().startsWith(QStringLiteral("Ha squillato : ") + kCallerNumber));
        const qsizetype heardBefore = phone.receivedCommands().size();
        QVERIFY(phone.start(link));
        QTRY_COMPARE_WITH_TIMEOUT(panel(form, 2)->text(),
                                  QStringLiteral("CONNESSO A TS-GSM 900/1800 simulato"), 10000);
        QCOMPARE(withoutStateQuestions(phone.receivedCommands().mid(heardBefore)),
                 kStartUpCommands);
        phone.ring(1, 1000);
        QTRY_VERIFY(panel(form, 2)->text().startsWith(QStringLiteral("Rilevata chiamata")));
        clock.skip(CallMonitor::kCallOver);
        QTRY_COMPARE(list2->count(), 2);
    }

private slots:
    void geometryComesFromTheDesignTwips()
    {
        QCOMPARE(twipsToPixels(7860, 96), 524);
        QCOMPARE(twipsToPixels(7860, 144), 786);
        QCOMPARE(twipsToPixels(7, 96), 0);
        QCOMPARE(twipsToPixels(8, 96), 1);

        Form1 form(PortMap{});
        if (form.logicalDpiX() != 96 || form.logicalDpiY() != 96)
            QSKIP("the pixel figures below are for a 96 DPI screen");
        QCOMPARE(form.size(), QSize(524, 479));
        QCOMPARE(control<QPushButton>(form, "Command1")->geometry(), QRect(4, 4, 425, 33));
        const QStatusBar *bar = control<QStatusBar>(form, "StatusBar1");
        QCOMPARE(bar->geometry().bottom(), form.height() - 1);
        QCOMPARE(panel(form, 1)->width(), 96);
        QCOMPARE(panel(form, 2)->geometry(), QRect(96, 0, 328, 29));
        QCOMPARE(panel(form, 3)->geometry().left(), 424);
    }

    void slidersChangeOnlyTheirOwnLabel_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("afterPageUp");
        QTest::addColumn<QString>("atMaximum");
        QTest::addColumn<QString>("atMinimum");

        QTest::newRow("Slider1") << "Slider1"
                                 << "Label1" << 10 << 15
                                 << "Tempo attesa prima di chiudere la chiamata: 20 sec"
                                 << "Tempo attesa prima di chiudere la chiamata: 0 sec";
        QTest::newRow("Slider2") << "Slider2"
                                 << "Label2" << 2 << 7
                                 << "Tempo attesa prima di ripondere allo squillo: 60 sec"
                                 << "Tempo attesa prima di ripondere allo squillo: 0 sec";
        QTest::newRow("Slider3") << "Slider3"
                                 << "Label4" << 1 << 6
                                 << "Numero squilli per considerare il richiamo: 10 squilli"
                                 << "Numero squilli per considerare il richiamo: 1 squilli";
    }

    void slidersChangeOnlyTheirOwnLabel()
    {
        QFETCH(QString, slider);
        QFETCH(QString, label);
        QFETCH(int, start);
        QFETCH(int, afterPageUp);
        QFETCH(QString, atMaximum);
        QFETCH(QString, atMinimum);

        Form1 form(PortMap{});
        const QMap<QString, QString> stored{
            {"Label1", kLabel1}, {"Label2", kLabel2}, {"Label4", kLabel4}};
        auto *moved = form.findChild<QSlider *>(slider);
        const auto *shown = form.findChild<QLabel *>(label);
        QCOMPARE(moved->value(), start);
        QCOMPARE(shown->text(), stored[label]);

        QTest::keyClick(moved, Qt::Key_Right);
        QCOMPARE(moved->value(), start + 1);
        QTest::keyClick(moved, Qt::Key_Left);
        QTest::keyClick(moved, Qt::Key_PageUp);
        QCOMPARE(moved->value(), afterPageUp);
        QTest::keyClick(moved, Qt::Key_End);
        QCOMPARE(shown->text(), atMaximum);
        QTest::keyClick(moved, Qt::Key_Home);
        QCOMPARE(shown->text(), atMinimum);

        for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
            if (it.key() != label)
                QCOMPARE(form.findChild<QLabel *>(it.key())->text(), it.value());
        }
    }

    void panelsOneAndTwoDoNothingAndEsciEndsAtOnce()
    {
        // Neither device exists: the open fails, and the window keeps running.
        QTemporaryDir dir;
        auto form = openWindow({dir.filePath("com1"), dir.filePath("com2")});
        QVERIFY(form);
        QSignalSpy ended(form.get(), &Form1::programEnded);

        click(control<QPushButton>(*form, "Command1"));
        QCOMPARE(panel(*form, 1)->text(), QStringLiteral("DISCONNESSO"));
        QVERIFY(control<QWidget>(*form, "Frame2")->isEnabled());
        QTRY_COMPARE(panel(*form, 2)->text(), QStringLiteral("Porta non aperta o occupata"));

        click(panel(*form, 1));
        click(panel(*form, 2));
        QCOMPARE(ended.count(), 0);
        QVERIFY(form->isVisible());

        QElapsedTimer clock;
        clock.start();
        click(panel(*form, 3)); // the reset answers "ERROR" at once on a closed port
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(ended.count(), 1);
        QVERIFY(!form->isVisible());
    }

    void endingReleasesThePort_data()
    {
        QTest::addColumn<bool>("throughEsci");
        QTest::addColumn<int>("resets"); // "ATZ" after the start-up dialogue's own
        QTest::newRow("ESCI resets the phone") << true << 1;
        QTest::newRow("closing the window does not") << false << 0;
    }

    void endingReleasesThePort()
    {
        QFETCH(bool, throughEsci);
        QFETCH(int, resets);

        SimPhone phone;
        QVERIFY(phone.start());
        auto form = openWindow({phone.devicePath(), {}});
        QVERIFY(form);
        QSignalSpy ended(form.get(), &Form1::programEnded);
        click(control<QPushButton>(*form, "Command1"));
        QCOMPARE(panel(*form, 1)->text(), QStringLiteral("CONNESSO"));
        QVERIFY(!portIsFree(phone.devicePath()));
        const int before = phone.receivedCommands().count("ATZ");

        if (throughEsci)
            click(panel(*form, 3));
        else
            form->close();
        QCOMPARE(ended.count(), 1);
        QVERIFY(!form->isVisible());
        QVERIFY(portIsFree(phone.devicePath()));
        QCOMPARE(phone.receivedCommands().count("ATZ") - before, resets);
    }

    void portChoiceIsFixedWhileConnectedAndTakenOnTheNextOpen()
    {
        SimPhone first;
        SimPhone second;
        first.setModel("Primo");
        second.setModel("Secondo");
        QVERIFY(first.start());
        QVERIFY(second.start());
        auto form = openWindow({first.devicePath(), second.devicePath()});
        QVERIFY(form);
        auto *command1 = control<QPushButton>(*form, "Command1");
        auto *option3 = control<QRadioButton>(*form, "Option3");
        auto *option4 = control<QRadioButton>(*form, "Option4");

        click(command1);
        QCOMPARE(panel(*form, 2)->text(), QStringLiteral("CONNESSO A Primo"));
        QVERIFY(!control<QWidget>(*form, "Frame2")->isEnabled());
        click(option4);
        QVERIFY(option3->isChecked());

        click(command1);
        QCOMPARE(panel(*form, 1)->text(), QStringLiteral("DISCONNESSO"));
        QVERIFY(control<QWidget>(*form, "Frame2")->isEnabled());
        click(option4);
        QVERIFY(option4->isChecked());
        const qsizetype heardByFirst = first.receivedCommands().size();

        click(command1);
        QCOMPARE(panel(*form, 2)->text(), QStringLiteral("CONNESSO A Secondo"));
        QCOMPARE(first.receivedCommands().size(), heardByFirst);
        QCOMPARE(second.receivedCommands().first(), QStringLiteral("ATZ"));
    }

    void command3TwiceStopsTheBlinking()
    {
        SimPhone phone;
        QVERIFY(phone.start());
        SkippingClock *clock = nullptr;
        auto form = openWindow({phone.devicePath(), {}}, &clock);
        QVERIFY(form);
        auto *label5 = control<QLabel>(*form, "Label5");
        auto *command3 = control<QPushButton>(*form, "Command3");
        QVERIFY(label5->isHidden());
        click(control<QPushButton>(*form, "Command1")); // the monitor blinks only while connected

        VisibilityWatch watch(label5);
        click(command3);
        QCOMPARE(watch.shows, 1);
        clock->skip(1.1);
        QTRY_COMPARE(watch.hides, 1);
        clock->skip(1.1);
        QTRY_COMPARE(watch.shows, 2);

        click(command3);
        QVERIFY(label5->isHidden());
        const int shows = watch.shows;
        clock->skip(2.5); // longer than two blink periods
        const long long looked = clock->reads;
        phone.sendRaw("\r\n+CSQ: 20,0\r\n"); // stray text: the monitor runs a pass for it
        QTRY_VERIFY(clock->reads > looked);  // the monitor has looked at the clock since
        QCOMPARE(watch.shows, shows);
        QVERIFY(label5->isHidden());
    }

    void squilloThroughTheWindow()
    {
        // Through a link, as a by-id name is: the phone plugged back in below may get another
        // pty number, taken meanwhile by whatever else runs on the machine.
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("phone"));
        SimPhone phone;
        QVERIFY(phone.start(link));
        SkippingClock *clock = nullptr;
        auto form = openWindow({link, {}}, &clock);
        QVERIFY(form);

        click(control<QPushButton>(*form, "Command1"));
        QCOMPARE(withoutStateQuestions(phone.receivedCommands()), kStartUpCommands);
        QCOMPARE(panel(*form, 1)->text(), QStringLiteral("CONNESSO"));
        QCOMPARE(panel(*form, 2)->text(), QStringLiteral("CONNESSO A TS-GSM 900/1800 simulato"));

        control<QSlider>(*form, "Slider1")->setValue(0);
        control<QSlider>(*form, "Slider2")->setValue(0);
        click(control<QPushButton>(*form, "Command3"));
        MessageCapture journal("tornasquillo.calls");
        const qint64 before = clock->wallTime().toSecsSinceEpoch();
        phone.ring(1, 1000);

        auto *list2 = control<QListWidget>(*form, "List2");
        QTRY_COMPARE(panel(*form, 2)->text(), QStringLiteral("Rilevata chiamata .. 1 squilli"));
        clock->skip(CallMonitor::kCallOver);
        QTRY_COMPARE(list2->count(), 1);
        const qint64 after = clock->wallTime().toSecsSinceEpoch();
        const QListWidgetItem *logged = list2->item(0);
        QCOMPARE(logged->text(), QStringLiteral("Ha squillato : ") +
                                     kCallerNumber.leftJustified(16) + QStringLiteral("> ") +
                                     kCallerName.leftJustified(16) + QStringLiteral("= Risposto"));

        listedAtItsMoment(logged, journal, before, after);
        if (QTest::currentTestFailed())
            return;
        const QStringList heard = withoutStateQuestions(phone.receivedCommands());
        const qsizetype dial = heard.indexOf(kCallerDial);
        QVERIFY2(dial > 0, qPrintable(heard.join(' ')));
        QCOMPARE(heard.mid(dial + 1), (QStringList{"ATH", "ATH"}));
        QCOMPARE(panel(*form, 2)->text(), QStringLiteral("Risposto a squillo.."));

        click(control<QPushButton>(*form, "Command1"));
        QCOMPARE(panel(*form, 1)->text(), QStringLiteral("DISCONNESSO"));

        reopenedAndUnpluggedInACall(*form, phone, link, *clock);
    }

    // The start options click and drag as the operator does, through the same handlers. (Port
    // control's waiting for a device that is late or busy: tst_port_control and tst_demo.)
    void startOptionsDoWhatTheOperatorDoes()
    {
        QTemporaryDir dir;
        SimPhone phone;
        QVERIFY(phone.start(dir.filePath(QStringLiteral("phone"))));
        auto form = openWindow({dir.filePath(QStringLiteral("absent")), phone.linkPath()});
        QVERIFY(form);
        form->startAs(StartState{2, true, 0, 60, 3});

        QVERIFY(control<QRadioButton>(*form, "Option4")->isChecked());
        QVERIFY(control<QLabel>(*form, "Label5")->isVisible());
        QCOMPARE(control<QLabel>(*form, "Label1")->text(), QString(kLabel1).replace("10", "0"));
        QCOMPARE(control<QLabel>(*form, "Label2")->text(), QString(kLabel2).replace("2", "60"));
        QCOMPARE(control<QLabel>(*form, "Label4")->text(), QString(kLabel4).replace("1 ", "3 "));
        QCOMPARE(panel(*form, 1)->text(), QStringLiteral("CONNESSO"));
        QCOMPARE(panel(*form, 2)->text(), QStringLiteral("CONNESSO A TS-GSM 900/1800 simulato"));
        QCOMPARE(withoutStateQuestions(phone.receivedCommands()), kStartUpCommands);
    }

    void aLoggedLineIsHandedOnAsOneLine()
    {
        // The line is stamped by the window's clock: here a fake one, whose wall time starts at
        // noon of 8 December 2026.
        auto fakeClock = std::make_unique<FakeClock>();
        FakeClock &clock = *fakeClock;
        auto pump = std::make_unique<FakePump>(clock);
        Form1 form(std::make_unique<FakeLine>(), std::move(fakeClock), std::move(pump));
        clock.advance(83);
        QSignalSpy logged(&form, &Form1::callLogged);
        MessageCapture journal("tornasquillo.calls");
        // A phonebook name that ran on into the phone's next line would split the record.
        const QString line =
            QStringLiteral("Ha squillato : +393331234567   > Mario\r\nRossi   = Risposto");
        const QString oneLine =
            QStringLiteral("Ha squillato : +393331234567   > Mario  Rossi   = Risposto");
        form.appendToList2(line);

        const QListWidgetItem *listed = control<QListWidget>(form, "List2")->item(0);
        QCOMPARE(listed->text(), line);
        QCOMPARE(listed->toolTip(),
                 QLocale::system().toString(clock.wallTime(), QLocale::LongFormat));
        QCOMPARE(logged.count(), 1);
        const auto record = logged.first().at(0).value<CallRecord>();
        const QString stamp = record.stamp;
        QVERIFY2(stamp.startsWith(QStringLiteral("2026-12-08T12:01:23")), qPrintable(stamp));
        QCOMPARE(QDateTime::fromString(stamp, Qt::ISODate), clock.wallTime());
        QCOMPARE(record.line, oneLine);
        QCOMPARE(journal.texts(QtInfoMsg), QStringList(stamp + u' ' + oneLine));
    }

    void aSilentPhoneLeavesTheWindowResponsiveAndEsciWorking()
    {
        SimPhone phone;
        QVERIFY(phone.start());
        phone.setSilent(true);
        SkippingClock *clock = nullptr;
        auto form = openWindow({phone.devicePath(), {}}, &clock);
        QVERIFY(form);
        QSignalSpy ended(form.get(), &Form1::programEnded);

        QElapsedTimer sinceProbe;
        sinceProbe.start();
        qint64 longestGap = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout,
                [&] { longestGap = std::max(longestGap, sinceProbe.restart()); });
        probe.start(10);
        // ESCI is clicked while the start-up dialogue waits on the silent phone; its own reset
        // gives up after the exchange's deadline and re-sends, then the program ends at once.
        QTimer::singleShot(200, form.get(), [&] {
            QTimer::singleShot(50, form.get(), [&] { clock->skip(AtExchange::kDeadline + 1); });
            click(panel(*form, 3));
        });
        QElapsedTimer elapsed;
        elapsed.start();
        click(control<QPushButton>(*form, "Command1"));
        QCOMPARE(ended.count(), 1);
        QVERIFY2(elapsed.elapsed() < 40000, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
        QVERIFY(phone.receivedCommands().count(QStringLiteral("ATZ")) >
                100); // re-sent, as designed
        QVERIFY(!form->isVisible());
    }

    void controlsSpeakToAssistiveTechnology()
    {
        Form1 form(PortMap{});
        auto name = [](QObject *object) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
            return iface ? iface->text(QAccessible::Name) : QStringLiteral("(none)");
        };
        QCOMPARE(name(panel(form, 1)), QStringLiteral("DISCONNESSO"));
        QCOMPARE(name(panel(form, 3)), QStringLiteral("ESCI"));
        form.setPanel2Text(QStringLiteral("Squillo.."));
        QCOMPARE(name(panel(form, 2)), QStringLiteral("Squillo.."));
        QCOMPARE(name(control<QObject>(form, "Label5")), QStringLiteral("!ATTIVO!"));
        QCOMPARE(name(control<QObject>(form, "Frame2")), QStringLiteral("Porta seriale"));

        auto *slider = control<QSlider>(form, "Slider2");
        QAccessibleInterface *sliderIface = QAccessible::queryAccessibleInterface(slider);
        QCOMPARE(sliderIface->text(QAccessible::Name),
                 QStringLiteral("Tempo attesa prima di ripondere allo squillo"));
        QCOMPARE(sliderIface->valueInterface()->currentValue().toInt(), 2);

        auto *list2 = control<QListWidget>(form, "List2");
        form.appendToList2(
            QStringLiteral("Ha squillato : errore          >                 = Risposto"));
        QAccessibleInterface *listIface = QAccessible::queryAccessibleInterface(list2);
        QCOMPARE(listIface->text(QAccessible::Name), QStringLiteral("Lista eventi"));
        QStringList lines;
        for (int i = 0; i < listIface->childCount(); ++i)
            lines << listIface->child(i)->text(QAccessible::Name);
        QVERIFY2(lines.contains(QStringLiteral("Ha squillato : errore > = Risposto")),
                 qPrintable(lines.join('|')));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_window.moc"
