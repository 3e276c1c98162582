// SPDX-License-Identifier: GPL-3.0-or-later
#include "state_folder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

/// Writes all of `bytes` to `fd`, across short writes and interruptions.
bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

StateFolder::StateFolder(QString path) : m_path(std::move(path)) {}

QString StateFolder::defaultPath()
{
    // systemd names the service's StateDirectory here; several would be separated by colons.
    const QString service = qEnvironmentVariable("STATE_DIRECTORY").section(u':', 0, 0);
    if (!service.isEmpty())
        return service;
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // The XDG rule: a relative path is no path, and the default is ~/.local/state.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/tornasquillo");
}

QString StateFolder::filePath(const QString &name) const
{
    return m_path + u'/' + name;
}

std::optional<QByteArray> StateFolder::read(const QString &name, QString *error) const
{
    setError(error, QString());
    QFile file(filePath(name));
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

bool StateFolder::write(const QString &name, const QByteArray &contents, QString *error) const
{
    setError(error, QString());
    const QByteArray folder = QFile::encodeName(m_path);
    // Made by its owner for its owner: a refused PIN's file says which SIM is locked.
    if (!QDir(m_path).exists() && !QDir().mkpath(m_path)) {
        setError(error, tr("cannot make the folder %1").arg(m_path));
        return false;
    }
    ::chmod(folder.constData(), S_IRWXU);
    const QByteArray target = QFile::encodeName(filePath(name));
    const QByteArray temporary = target + ".new";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        setError(error, errorText(errno));
        return false;
    }
    // A file left by a write that a power cut stopped keeps its mode; this one is the owner's.
    const bool written =
        ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, contents) && ::fsync(fd) == 0;
    const int writeError = errno;
    ::close(fd);
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        setError(error, errorText(written ? errno : writeError));
        ::unlink(temporary.constData());
        return false;
    }
    // The rename survives a power cut once the folder's entry is on the disk.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
