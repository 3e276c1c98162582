// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_pty.h"

#include "sim_log.h"

#include <QFile>
#include <QMutexLocker>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

/// Both ends of a pseudo-terminal, and the device of its slave end.
struct PtyEnds
{
    int master;
    int slave;
    QString device;
};

/// A new pseudo-terminal, raw at 19200 baud, both ends open; none, said on standard error and
/// with nothing left open, when it cannot be made.
std::optional<PtyEnds> openRawPty()
{
    auto fail = [](const char *what, int master, int slave) {
        qCWarning(lcPhoneSim).noquote() << "cannot open a pty:" << what << std::strerror(errno);
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
        return std::nullopt;
    };

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return fail("posix_openpt", master, -1);
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return fail("grantpt/unlockpt", master, -1);
    char name[128] = {};
    if (::ptsname_r(master, name, sizeof name) != 0)
        return fail("ptsname_r", master, -1);
    if (::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0)
        return fail("fcntl", master, -1);
    // Holding the slave open keeps the master from seeing a hang-up whenever the program has
    // closed the port: without it the master polls readable with EIO forever.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave < 0)
        return fail("open slave", master, slave);
    termios tio{};
    if (::tcgetattr(slave, &tio) != 0)
        return fail("tcgetattr", master, slave);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    if (::tcsetattr(slave, TCSANOW, &tio) != 0)
        return fail("tcsetattr", master, slave);
    return PtyEnds{master, slave, QString::fromLocal8Bit(name)};
}

} // namespace

SimPty::SimPty(QObject *parent) : QObject(parent) {}

SimPty::~SimPty()
{
    close();
    removeOwnLink();
}

bool SimPty::open(const QString &linkPath)
{
    const std::optional<PtyEnds> ends = openRawPty();
    if (!ends)
        return false;
    const auto [master, slave, device] = *ends;
    if (linkPath != this->linkPath())
        removeOwnLink();
    if (!linkPath.isEmpty() && !makeLink(linkPath, device)) {
        ::close(slave);
        ::close(master);
        return false;
    }

    m_master = master;
    m_slave = slave;
    ++m_generation;
    m_linkTarget = linkPath.isEmpty() ? QString() : device;
    m_readNotifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimPty::onReadable);
    m_writeNotifier = new QSocketNotifier(master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
        m_writeNotifier->setEnabled(false);
        emit writable();
    });
    watchForCloses(device.toLocal8Bit().constData());
    {
        QMutexLocker lock(&m_mutex);
        m_devicePath = device;
        m_linkPath = linkPath;
    }
    qCInfo(lcPhoneSim).noquote() << simStamp() << "line up on"
                                 << (linkPath.isEmpty()
                                         ? device
                                         : device + QLatin1String(" <- ") + linkPath);
    return true;
}

// QSerialPort makes the port exclusive (TIOCEXCL) and only a clean close undoes it. The tty keeps
// that flag until its last close, which never comes while we hold the slave: a program that was
// killed would find its port busy ever after. A real port forgets it on the last close, so we
// forget it whenever someone else closes the device.
void SimPty::watchForCloses(const char *device)
{
    m_closeWatch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_closeWatch < 0 ||
        ::inotify_add_watch(m_closeWatch, device, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        qCWarning(lcPhoneSim).noquote()
            << "cannot watch" << device << "for closes:" << std::strerror(errno);
        if (m_closeWatch >= 0)
            ::close(m_closeWatch);
        m_closeWatch = -1;
        return;
    }
    m_closeNotifier = new QSocketNotifier(m_closeWatch, QSocketNotifier::Read, this);
    connect(m_closeNotifier, &QSocketNotifier::activated, this, [this] {
        alignas(inotify_event) char events[1024];
        while (::read(m_closeWatch, events, sizeof events) > 0) {
        }
        ::ioctl(m_slave, TIOCNXCL);
    });
}

bool SimPty::makeLink(const QString &linkPath, const QString &target)
{
    const QByteArray link = QFile::encodeName(linkPath);
    struct stat st
    {
    };
    if (::lstat(link.constData(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        qCWarning(lcPhoneSim).noquote()
            << linkPath << "exists and is not a symlink; not replacing it";
        return false;
    }
    // A rename over the old link never leaves a moment without one.
    const QByteArray temp = link + ".new." + QByteArray::number(::getpid());
    ::unlink(temp.constData());
    if (::symlink(QFile::encodeName(target).constData(), temp.constData()) != 0 ||
        ::rename(temp.constData(), link.constData()) != 0) {
        qCWarning(lcPhoneSim).noquote()
            << "cannot link" << linkPath << "to" << target << ":" << std::strerror(errno);
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

void SimPty::removeOwnLink()
{
    const QString link = linkPath();
    if (link.isEmpty() || m_linkTarget.isEmpty())
        return;
    // Only our own link: someone may have pointed it elsewhere meanwhile.
    if (QFile::symLinkTarget(link) == m_linkTarget)
        QFile::remove(link);
    m_linkTarget.clear();
    QMutexLocker lock(&m_mutex);
    m_linkPath.clear();
}

void SimPty::close()
{
    if (m_master < 0)
        return;
    for (QSocketNotifier *notifier : {m_readNotifier, m_writeNotifier, m_closeNotifier}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_readNotifier = m_writeNotifier = m_closeNotifier = nullptr;
    if (m_closeWatch >= 0)
        ::close(m_closeWatch);
    m_closeWatch = -1;
    ::close(m_slave);
    ::close(m_master);
    m_master = m_slave = -1;
    ++m_generation;
    QMutexLocker lock(&m_mutex);
    m_devicePath.clear();
}

QString SimPty::devicePath() const
{
    QMutexLocker lock(&m_mutex);
    return m_devicePath;
}

QString SimPty::linkPath() const
{
    QMutexLocker lock(&m_mutex);
    return m_linkPath;
}

qint64 SimPty::write(const char *data, qint64 size)
{
    for (;;) {
        const ssize_t n = ::write(m_master, data, size_t(size));
        if (n > 0)
            return n;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            waitWritable();
            return 0;
        }
        qCWarning(lcPhoneSim).noquote()
            << "pty write failed, output dropped:" << std::strerror(errno);
        return -1;
    }
}

void SimPty::waitWritable()
{
    m_writeNotifier->setEnabled(true);
}

void SimPty::onReadable()
{
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        // Stays readable with EIO or EOF: listening on would spin.
        qCWarning(lcPhoneSim).noquote() << "pty read failed, no longer listening:"
                                        << (n == 0 ? "end of file" : std::strerror(errno));
        m_readNotifier->setEnabled(false);
        return;
    }
    emit received(QByteArray(buffer, n), simSteadyNs());
}
