// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QSocketNotifier>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

// The program's end of the cable, kept to plain POSIX so the checks do not lean on the code
// under test or on QSerialPort's own handling of a hang-up.
class PtyClient
{
public:
    explicit PtyClient(const QString &path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0)
            return;
        termios tio{};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_fd, TCSANOW, &tio);
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier,
                         [this] { onReadable(); });
    }
    ~PtyClient()
    {
        delete m_notifier;
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PtyClient(const PtyClient &) = delete;
    PtyClient &operator=(const PtyClient &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    bool send(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    void setReading(bool on) { m_notifier->setEnabled(on && !closed); }

    QByteArray received;
    int reads = 0;
    bool closed = false;

private:
    void onReadable()
    {
        char buffer[4096];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, n);
            ++reads;
        } else if (n == 0 || errno != EAGAIN) {
            closed = true;
            m_notifier->setEnabled(false);
        }
    }

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
