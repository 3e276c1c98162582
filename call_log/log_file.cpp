// SPDX-License-Identifier: GPL-3.0-or-later
#include "log_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// A file just created survives a power cut only once its folder's entry is on the disk too.
void syncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return; // the file is open all the same; its own syncs still hold its lines
    ::fsync(fd);
    ::close(fd);
}

} // namespace

PosixLogFile::PosixLogFile(const QString &path) : m_path(path) {}

PosixLogFile::~PosixLogFile()
{
    close();
}

bool PosixLogFile::open(QString *reason)
{
    close();
    const QByteArray name = QFile::encodeName(m_path);
    do {
        m_fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        *reason = errorText(errno);
        return false;
    }
    syncFolderOf(m_path);
    return true;
}

void PosixLogFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

LogFile::Written PosixLogFile::append(const QByteArray &record)
{
    Written result;
    if (m_fd < 0) {
        result.failure = QCoreApplication::translate("CallLog", "the file is not open");
        return result;
    }
    // One write: with O_APPEND the kernel puts the whole record at the end of the file at once.
    ssize_t written;
    do {
        written = ::write(m_fd, record.constData(), std::size_t(record.size()));
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        result.failure = errorText(errno);
        return result;
    }
    result.bytes = written;
    if (written < record.size()) {
        // What stops a write half-way (usually a full disk) only shows on the next one.
        result.failure = QCoreApplication::translate("CallLog", "only %1 of %2 bytes written")
                             .arg(written)
                             .arg(record.size());
        return result;
    }
    // A terminal or a pipe (--log /dev/stderr) has nothing to sync and says so with EINVAL.
    if (::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        result.failure = errorText(errno);
    return result;
}
