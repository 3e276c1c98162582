// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

/// The file the call log appends to. Each record goes in one piece and is on the disk before
/// append() returns, so two programs appending to the same file never mix their lines and a
/// power cut loses at most the record being written.
class LogFile
{
public:
    /// What became of one append.
    struct Written
    {
        qint64 bytes = 0; ///< how much of the record reached the file
        QString failure;  ///< why the record is not safely on disk; empty when it is
    };

    virtual ~LogFile() = default;

    virtual QString path() const = 0;
    /// Opens the file for appending, creating it (readable by its owner only) when missing.
    /// False, with the reason, when it cannot be opened.
    virtual bool open(QString *reason) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    virtual Written append(const QByteArray &record) = 0;
};

/// A file on the machine's disks.
class PosixLogFile final : public LogFile
{
public:
    explicit PosixLogFile(const QString &path);
    ~PosixLogFile() override;
    PosixLogFile(const PosixLogFile &) = delete;
    PosixLogFile &operator=(const PosixLogFile &) = delete;

    QString path() const override { return m_path; }
    bool open(QString *reason) override;
    bool isOpen() const override { return m_fd >= 0; }
    void close() override;
    Written append(const QByteArray &record) override;

private:
    QString m_path;
    int m_fd = -1;
};
