// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_sim/sim_phone.h"
#include "tests/support/pty_program.h"
#include "tests/support/resident_memory.h"
#include "tests/support/test_numbers.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer keeps freed blocks in quarantine (256 MB by default): the resident size then
// says nothing about what the program holds. The plain build checks it.
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif

/// What the phone can do to the program: vanish mid-call, flood the line, never end a line.
class TestMonitorFaults : public QObject
{
    Q_OBJECT

    /// The longest the event loop went without running a 10 ms timer while `until` was false.
    template<typename Until>
    static qint64 longestStall(Until until, int timeoutMs)
    {
        QElapsedTimer total, sinceTick;
        total.start();
        sinceTick.start();
        qint64 longest = 0;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout,
                         [&] { longest = std::max(longest, sinceTick.restart()); });
        probe.start(10);
        while (!until() && total.elapsed() < timeoutMs)
            QTest::qWait(20);
        return longest;
    }

    /// The simulated phone as a separate process, so its output buffers are not ours.
    struct PhoneProcess
    {
        /// False when the phone did not start or put up no line at `link`.
        bool start(const QString &link)
        {
            process.start(QStringLiteral(PHONE_SIM_PATH), {QStringLiteral("--link"), link});
            return process.waitForStarted() &&
                   QTest::qWaitFor([&link] { return QFile::exists(link); });
        }
        ~PhoneProcess()
        {
            process.terminate();
            process.waitForFinished(5000);
        }
        void script(const QByteArray &lines) { process.write(lines); }
        QProcess process;
    };

    QTemporaryDir m_dir;

private slots:
    void anUnpluggedPhoneLeavesTheLogIntactAndIsBackByItself()
    {
        SimPhone phone;
        const QString link = m_dir.filePath(QStringLiteral("unplug"));
        QVERIFY(phone.start(link));
        PtyProgram program(link);
        program.view.slider1 = program.view.slider2 = 0;
        program.control.Command1_Click();

        // One whole call first.
        phone.ring(1, 500);
        QTRY_COMPARE(program.view.panel2, QStringLiteral("Rilevata chiamata .. 1 squilli"));
        program.clock.skip(CallMonitor::kCallOver);
        QTRY_COMPARE(program.view.list2.size(), 1);

        // A second one is cut off by the unplugged cable while it rings.
        phone.ring(5, 500);
        QTRY_COMPARE_WITH_TIMEOUT(program.view.panel2,
                                  QStringLiteral("Rilevata chiamata .. 2 squilli"), 10000);
        phone.hangUpLine();
        QTRY_VERIFY(!program.line.isOpen());
        QTRY_COMPARE(program.view.panel2, QStringLiteral("Porta non aperta o occupata"));
        QCOMPARE(program.portView.panels[1], QStringLiteral("DISCONNESSO"));
        QVERIFY(program.portView.frame2Enabled);
        QCOMPARE(program.view.list2.size(), 1);
        QVERIFY(
            program.view.list2[0].startsWith(QStringLiteral("Ha squillato : ") + kCallerNumber));

        // Plugged back in, the link opens again by itself: the start-up dialogue runs again and
        // the monitor counts the next call.
        const qsizetype heard = phone.receivedCommands().size();
        QVERIFY(phone.start(link));
        QTRY_COMPARE_WITH_TIMEOUT(program.portView.panels[2],
                                  QStringLiteral("CONNESSO A ") + phone.model(), 10000);
        QCOMPARE(program.portView.panels[1], QStringLiteral("CONNESSO"));
        QVERIFY(!program.portView.frame2Enabled);
        QCOMPARE(withoutStateQuestions(phone.receivedCommands().mid(heard)), kStartUpCommands);
        phone.ring(1, 500);
        QTRY_VERIFY(program.view.panel2.startsWith(QStringLiteral("Rilevata chiamata")));
        program.clock.skip(CallMonitor::kCallOver);
        QTRY_COMPARE(program.view.list2.size(), 2);
        QVERIFY2(
            program.view.list2[1].contains(kCallerNumber + QStringLiteral("   > ") + kCallerName),
            qPrintable(program.view.list2[1]));
    }

    void floodsNeitherFillTheMemoryNorStopTheProgram_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("calls"); // the event lines
        QTest::addColumn<int>("settleMs");
        // The event line's caller and name columns, 16 characters each.
        const QString caller =
            kCallerNumber.leftJustified(16) + QStringLiteral("> ") + kCallerName.leftJustified(16);
        QTest::newRow("50 MB of garbage")
            << QByteArray("flood 52428800\n") << QStringList() << 3000;
        // A thousand rings 2 ms apart, several to a read: each is a line of its own and is
        // counted, and all of them are one call.
        QTest::newRow("RING without end") << QByteArray("ring 1000 2\n")
                                          << QStringList{QStringLiteral("Ha ciamato   : ") +
                                                         caller + QStringLiteral("= Non risposto")}
                                          << 16000;
        QTest::newRow("one unterminated line")
            << QByteArray("ring 1 10\nwait 300\nsend ") + QByteArray(8000, 'x') + "\nsend " +
                   QByteArray(8000, '\xff') + "\n"
            << QStringList{QStringLiteral("Ha squillato : ") + caller +
                           QStringLiteral("= Risposto")}
            << 10000;
    }
    void floodsNeitherFillTheMemoryNorStopTheProgram()
    {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, calls);
        QFETCH(int, settleMs);
        const QString link = m_dir.filePath(QStringLiteral("flood"));
        PhoneProcess phone;
        QVERIFY(phone.start(link));
        PtyProgram program(link);
        program.control.Command1_Click();
        QVERIFY(program.line.isOpen());
        const QString model = QStringLiteral("TS-GSM 900/1800 simulato");
        QCOMPARE(program.portView.panels[2], QStringLiteral("CONNESSO A ") + model);

        const long before = residentKb();
        long peak = before;
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout, [&] { peak = std::max(peak, residentKb()); });
        sample.start(50);
        phone.script(script);
        // While the phone is busy with the script, the monitor alone reads the line (an exchange
        // would take the rings for its answer). Then the phone answers after all it had queued:
        // a clean model means the flood is over.
        QElapsedTimer settling;
        settling.start();
        int exchanges = 0;
        const qint64 stall = longestStall(
            [&] {
                if (settling.elapsed() < settleMs)
                    return false;
                ++exchanges;
                return program.exchange.IOP(QStringLiteral("+CGMM")) == model || exchanges > 10;
            },
            180000);
        QVERIFY2(exchanges <= 10, "the phone was never understood again");
        QVERIFY2(stall < 1000, qPrintable(QStringLiteral("%1 ms without events").arg(stall)));
        if (kMemoryIsMeasurable)
            QVERIFY2(peak - before < 40 * 1024,
                     qPrintable(QStringLiteral("%1 kB more").arg(peak - before)));
        QVERIFY(program.line.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(program.view.list2, calls, 10000);
    }
};

QTEST_GUILESS_MAIN(TestMonitorFaults)
#include "tst_monitor_faults.moc"
