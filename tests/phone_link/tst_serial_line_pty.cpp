// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/event_pump.h"
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

    /// Reads as the monitor does, once a millisecond, for forMs.
    static QStringList pollReads(QtSerialLine &line, int forMs)
    {
        QStringList reads;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < forMs) {
            QTest::qWait(1);
            const QString text = line.readAll();
            if (!text.isEmpty())
                reads << text;
        }
        return reads;
    }

private slots:
    void writesAndReadsOverAPseudoTerminal()
    {
        PtyMaster phone;
        QVERIFY(!phone.slavePath().isEmpty());
        QtSerialLine line(PortMap{phone.slavePath(), QStringLiteral("/nonexistent/tty")});
        QVERIFY(line.open(1));
        QVERIFY(line.isOpen());

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

    void aRingCutInTwoIsHandedOutWhole()
    {
        PtyMaster phone;
        QtSerialLine line(PortMap{phone.slavePath(), {}});
        QVERIFY(line.open(1));
        QVERIFY(phone.write("\r\nRI"));
        QStringList first = pollReads(line, 3);
        QVERIFY(phone.write("NG\r\n"));
        QStringList reads = first + pollReads(line, 200);
        QVERIFY(reads.contains(QStringLiteral("RING\r\n")) ||
                reads.contains(QStringLiteral("\r\nRING\r\n")));
    }

    void anUnfinishedLineIsReleasedAfterQuiet()
    {
        PtyMaster phone;
        QtSerialLine line(PortMap{phone.slavePath(), {}});
        QVERIFY(line.open(1));
        QVERIFY(phone.write("ATZ\r"));
        QString received;
        QTRY_COMPARE((received += line.readAll()), QStringLiteral("ATZ\r"));
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
