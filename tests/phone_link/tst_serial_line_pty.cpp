// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/event_pump.h"
#include "phone_link/line_assembler.h"
#include "phone_link/qt_serial_line.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

/// The far end of a pseudo-terminal, played by the test.
class PtyMaster
{
public:
    PtyMaster()
    {
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)
            return;
        termios raw{};
        ::tcgetattr(m_fd, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_fd, TCSANOW, &raw);
        m_slave = QString::fromLocal8Bit(::ptsname(m_fd));
    }
    ~PtyMaster()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    QString slavePath() const { return m_slave; }
    /// The line settings of the pseudo-terminal: its master reads and sets those of the line.
    termios settings() const
    {
        termios settings{};
        ::tcgetattr(m_fd, &settings);
        return settings;
    }
    [[nodiscard]] bool setSettings(const termios &settings)
    {
        return ::tcsetattr(m_fd, TCSANOW, &settings) == 0;
    }
    /// Sends bytes to the line; false when the pty did not take them all. Any thread may send.
    [[nodiscard]] bool write(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.data(), bytes.size()) == bytes.size();
    }
    QByteArray receive()
    {
        QByteArray all;
        char chunk[256];
        ::fcntl(m_fd, F_SETFL, O_NONBLOCK);
        for (ssize_t n; (n = ::read(m_fd, chunk, sizeof chunk)) > 0;)
            all.append(chunk, n);
        return all;
    }

private:
    int m_fd = -1;
    QString m_slave;
};

class TestSerialLinePty : public QObject
{
    Q_OBJECT

private slots:
    void writesAndReadsOverAPseudoTerminal()
    {
        PtyMaster phone;
        QVERIFY(!phone.slavePath().isEmpty());
        // Each setting the phone needs that a pseudo-terminal keeps is another before the open.
        termios before = phone.settings();
        ::cfsetspeed(&before, B9600);
        before.c_cflag |= CSTOPB | CRTSCTS;
        QVERIFY(phone.setSettings(before));
        QtSerialLine line(PortMap{phone.slavePath(), QStringLiteral("/nonexistent/tty")});
        QVERIFY(line.open(1));
        QVERIFY(line.isOpen());
        // 19200 baud, 1 stop bit, no handshaking; a pseudo-terminal has 8 data bits and no parity
        // whatever it is told.
        const termios set = phone.settings();
        QCOMPARE(::cfgetispeed(&set), speed_t(B19200));
        QCOMPARE(::cfgetospeed(&set), speed_t(B19200));
        QCOMPARE(set.c_cflag & (CSTOPB | CRTSCTS), tcflag_t(0));

        line.write(QStringLiteral("AT+CGMM\r"));
        // QTRY_* evaluate their expression once more when done: collect, then compare.
        QByteArray sent;
        QTRY_COMPARE((sent += phone.receive()), QByteArray("AT+CGMM\r"));

        // Bytes that are not text come through one character per byte, NULs included.
        QVERIFY(phone.write(QByteArray("\r\n\x00\xff\x80ok\r\n", 9)));
        QString received;
        QTRY_COMPARE((received += line.readAll()),
                     QString::fromLatin1("\r\n\x00\xff\x80ok\r\n", 9));
        line.close();
        QVERIFY(!line.isOpen());
    }

    void anUnfinishedLineIsHeldUntilItIsWhole_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("rest");   ///< none: the line stays unfinished, and goes quiet
        QTest::addColumn<QString>("firstRead"); ///< a read while only `first` is there
        QTest::addColumn<QString>("whole");     ///< the next read that hands anything out
        QTest::newRow("a ring cut in two") << QByteArray("\r\nRI") << QByteArray("NG\r\n") << "\r\n"
                                           << "RING\r\n";
        QTest::newRow("a line that goes quiet unfinished")
            << QByteArray("ATZ\r") << QByteArray() << ""
            << "ATZ\r";
    }

    /// A read holds back the unfinished last line: it is handed out whole in one read once its
    /// end arrives or, without one, once the line has been quiet for the assembler's while, and
    /// not before. A pseudo-terminal delivers at the pace of a loaded machine: an attempt whose
    /// reads came too late to tell a hold from a release is made again.
    void anUnfinishedLineIsHeldUntilItIsWhole()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, rest);
        QFETCH(QString, firstRead);
        QFETCH(QString, whole);
        // The clocks count whole milliseconds: measured from before the read that took the
        // line's beginning in, a release may show a millisecond less than the quiet.
        const qint64 quietMs = LineAssembler::kQuietMs - 1;
        bool inTime = false;
        for (int attempt = 0; attempt < 20 && !inTime; ++attempt) {
            PtyMaster phone;
            QtSerialLine line(PortMap{phone.slavePath(), {}});
            int arrivals = 0;
            line.setArrivalHandler([&] { ++arrivals; });
            QVERIFY(line.open(1));
            QVERIFY(phone.write(first));
            QTRY_VERIFY(arrivals > 0);
            QElapsedTimer sinceFirst;
            sinceFirst.start();
            const QString read = line.readAll();
            if (read != firstRead && sinceFirst.elapsed() >= quietMs)
                continue;
            QCOMPARE(read, firstRead);

            if (!rest.isEmpty())
                QVERIFY(phone.write(rest));
            QString next;
            qint64 nextAt = 0;
            while (next.isEmpty() && nextAt < 5000) {
                QTest::qWait(1);
                next = line.readAll();
                nextAt = sinceFirst.elapsed();
            }
            if (!rest.isEmpty() && next != whole && nextAt >= quietMs)
                continue;
            QCOMPARE(next, whole);
            if (rest.isEmpty())
                QVERIFY2(nextAt >= quietMs, qPrintable(QString::number(nextAt)));
            inTime = true;
        }
        QVERIFY2(inTime, "no attempt read the line in time");
    }

    /// The device is not in the event loop's poll, yet an answer wakes the loop that waits for
    /// it at once, not at the end of the wait's slice.
    void anAnswerWakesTheWaitForIt()
    {
        PtyMaster phone;
        QtSerialLine line(PortMap{phone.slavePath(), {}});
        QVERIFY(line.open(1));
        QtEventPump pump;
        line.write(QStringLiteral("AT\r"));
        bool answered = false;
        std::unique_ptr<QThread> answer(QThread::create([&] {
            QThread::msleep(100);
            answered = phone.write("\r\nOK\r\n");
        }));
        answer->start();
        QElapsedTimer timer;
        timer.start();
        QString received;
        while (!received.contains(u"OK") && timer.elapsed() < 10000) {
            pump.pumpEvents(5000);
            received += line.readAll();
        }
        const qint64 waited = timer.elapsed();
        answer->wait();
        QVERIFY(answered);
        QCOMPARE(received, QStringLiteral("\r\nOK\r\n"));
        QVERIFY2(waited < 2500, qPrintable(QString::number(waited)));
    }

    void aLostLineClosesThePortOnce_data()
    {
        QTest::addColumn<bool>("answerAwaited");
        QTest::newRow("idle") << false;
        QTest::newRow("an answer awaited") << true;
    }

    /// The far end goes, as an unplugged phone does: the next look at the line closes the port,
    /// says why and reports the line lost, once.
    void aLostLineClosesThePortOnce()
    {
        QFETCH(bool, answerAwaited);
        auto phone = std::make_unique<PtyMaster>();
        QtSerialLine line(PortMap{phone->slavePath(), {}});
        int lost = 0;
        line.setLostHandler([&] { ++lost; });
        QVERIFY(line.open(1));
        if (answerAwaited)
            line.write(QStringLiteral("AT\r"));
        QTest::qWait(20);
        QVERIFY(line.readAll().isEmpty());
        QVERIFY(line.isOpen());

        phone.reset();
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral(
                                 "^the line to .+ failed: the device was removed or stopped "
                                 "working - port closed$")));
        QTRY_VERIFY((line.readAll(), !line.isOpen()));
        QCOMPARE(lost, 1);
        QVERIFY(line.readAll().isEmpty());
        QTest::qWait(20);
        QCOMPARE(lost, 1);
    }
};

QTEST_GUILESS_MAIN(TestSerialLinePty)
#include "tst_serial_line_pty.moc"
