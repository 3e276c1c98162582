// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/qt_serial_line.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

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
    void send(const QByteArray &bytes)
    {
        QCOMPARE(::write(m_fd, bytes.data(), bytes.size()), bytes.size());
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
        phone.send(QByteArray("\r\n\x00\xff\x80ok\r\n", 9));
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
        phone.send("\r\nRI");
        QStringList first = pollReads(line, 3);
        phone.send("NG\r\n");
        QStringList reads = first + pollReads(line, 200);
        QVERIFY(reads.contains(QStringLiteral("RING\r\n")) ||
                reads.contains(QStringLiteral("\r\nRING\r\n")));
    }

    void anUnfinishedLineIsReleasedAfterQuiet()
    {
        PtyMaster phone;
        QtSerialLine line(PortMap{phone.slavePath(), {}});
        QVERIFY(line.open(1));
        phone.send("ATZ\r");
        QString received;
        QTRY_COMPARE((received += line.readAll()), QStringLiteral("ATZ\r"));
    }
};

QTEST_GUILESS_MAIN(TestSerialLinePty)
#include "tst_serial_line_pty.moc"
