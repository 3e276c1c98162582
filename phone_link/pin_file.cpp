// SPDX-License-Identifier: GPL-3.0-or-later
#include "pin_file.h"

#include "state_folder.h"

#include <QByteArrayList>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMinDigits = 4;
constexpr int kMaxDigits = 8;
/// A PIN file is one short line; more than this is not one.
constexpr qsizetype kMaxFileSize = 64;
/// Refusals kept: a few PIN files' worth.
constexpr qsizetype kMaxRecords = 16;

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// The PIN, its one line's end aside; nullopt for anything else.
std::optional<QString> pinOf(const QByteArray &bytes)
{
    QByteArray text = bytes;
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.endsWith('\r'))
        text.chop(1);
    if (text.size() < kMinDigits || text.size() > kMaxDigits)
        return std::nullopt;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return QString::fromLatin1(text);
}

/// A file under $CREDENTIALS_DIRECTORY is systemd's copy of a credential, made at each start.
QString credentialName(const QString &path)
{
    const QString credentials = qEnvironmentVariable("CREDENTIALS_DIRECTORY");
    if (credentials.isEmpty())
        return {};
    const QFileInfo file(path);
    return QDir(credentials).canonicalPath() == file.absoluteDir().canonicalPath() ? file.fileName()
                                                                                   : QString();
}

QString keyOf(const QString &path, const struct stat &st)
{
    const QString credential = credentialName(path);
    if (!credential.isEmpty())
        return QStringLiteral("credential %1").arg(credential);
    return QStringLiteral("file %1:%2 %3.%4 %5")
        .arg(qulonglong(st.st_dev))
        .arg(qulonglong(st.st_ino))
        .arg(qlonglong(st.st_mtim.tv_sec))
        .arg(qlonglong(st.st_mtim.tv_nsec), 9, 10, QLatin1Char('0'))
        .arg(qlonglong(st.st_size));
}

QByteArrayList recordsOf(const StateFolder &folder)
{
    QByteArrayList records =
        folder.read(QString::fromLatin1(PinFile::kRefusedName)).value_or(QByteArray()).split('\n');
    records.removeAll(QByteArray());
    return records;
}

} // namespace

PinFile::PinFile(QString path) : m_path(std::move(path)) {}

std::optional<PinFile::Contents> PinFile::read(QString *error) const
{
    const QByteArray name = QFile::encodeName(m_path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *error = tr("cannot read the PIN file %1: %2").arg(m_path, errorText(errno));
        return std::nullopt;
    }
    struct stat st = {};
    QByteArray bytes(kMaxFileSize + 1, '\0');
    ssize_t got = -1;
    const bool stated = ::fstat(fd, &st) == 0;
    const int statError = errno;
    if (stated && S_ISREG(st.st_mode) && !(st.st_mode & (S_IRWXG | S_IRWXO))) {
        do {
            got = ::read(fd, bytes.data(), std::size_t(bytes.size()));
        } while (got < 0 && errno == EINTR);
    }
    const int readError = errno;
    ::close(fd);
    if (!stated) {
        *error = tr("cannot read the PIN file %1: %2").arg(m_path, errorText(statError));
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = tr("the PIN file %1 is not a file").arg(m_path);
        return std::nullopt;
    }
    if (st.st_mode & (S_IRWXG | S_IRWXO)) {
        *error = tr("the PIN file %1 may be read by others than its owner (mode %2): make it "
                    "the owner's alone, chmod 600 %1")
                     .arg(m_path)
                     .arg(st.st_mode & 0777, 4, 8, QLatin1Char('0'));
        return std::nullopt;
    }
    if (got < 0) {
        *error = tr("cannot read the PIN file %1: %2").arg(m_path, errorText(readError));
        return std::nullopt;
    }
    bytes.truncate(got);
    const std::optional<QString> pin = got > kMaxFileSize ? std::nullopt : pinOf(bytes);
    bytes.fill('\0');
    if (!pin) {
        *error = tr("the PIN file %1 does not hold a PIN: %2 to %3 digits on one line")
                     .arg(m_path)
                     .arg(kMinDigits)
                     .arg(kMaxDigits);
        return std::nullopt;
    }
    return Contents{*pin, keyOf(m_path, st)};
}

bool PinFile::isRefused(const StateFolder &folder, const QString &key)
{
    const QByteArray wanted = key.toUtf8() + '\t';
    const QByteArrayList records = recordsOf(folder);
    return std::any_of(records.cbegin(), records.cend(),
                       [&](const QByteArray &record) { return record.startsWith(wanted); });
}

bool PinFile::rememberEntry(const StateFolder &folder, const QString &key, QString *error)
{
    return folder.write(QString::fromLatin1(kEnteredName),
                        key.isEmpty() ? QByteArray() : key.toUtf8() + '\n', error);
}

QString PinFile::lastEntry(const StateFolder &folder)
{
    return QString::fromUtf8(
        folder.read(QString::fromLatin1(kEnteredName)).value_or(QByteArray()).trimmed());
}

bool PinFile::rememberRefusal(const StateFolder &folder, const QString &key, QString *error)
{
    QByteArrayList records = recordsOf(folder);
    // The key, a tab, and when, for whoever reads the record.
    records << key.toUtf8() + '\t' +
                   QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1();
    while (records.size() > kMaxRecords)
        records.removeFirst();
    return folder.write(QString::fromLatin1(kRefusedName), records.join('\n') + '\n', error);
}
