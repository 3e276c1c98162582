// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The phone's end of the cable: the master side of a pseudo-terminal, with a symlink to its
// device where the program expects a port. It tells when bytes come in and when a blocked write
// may go on; it knows nothing of what the bytes mean. The paths may be read from any thread.
class SimPty : public QObject
{
    Q_OBJECT
public:
    explicit SimPty(QObject *parent = nullptr);
    ~SimPty() override;

    /// A new pty, raw at 19200 baud, linked from `linkPath` unless that is empty.
    bool open(const QString &linkPath);
    void close();
    bool isOpen() const { return m_master >= 0; }
    /// Changes whenever the line is opened or closed, so a caller can tell whether the line it
    /// was handling is still the one plugged in.
    quint64 generation() const { return m_generation; }
    QString devicePath() const;
    QString linkPath() const;

    /// Writes what the pty takes now: the count written, 0 when it is full (writable() follows
    /// once it drains), -1 when the line is broken.
    qint64 write(const char *data, qint64 size);
    /// Asks for writable() as soon as the pty can take more.
    void waitWritable();

signals:
    void received(const QByteArray &bytes, qint64 steadyNs);
    void writable();

private:
    void onReadable();
    void watchForCloses(const char *device);
    bool makeLink(const QString &linkPath, const QString &target);
    void removeOwnLink();

    int m_master = -1;
    int m_slave = -1;
    quint64 m_generation = 0;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    int m_closeWatch = -1;
    QSocketNotifier *m_closeNotifier = nullptr;
    QString m_linkTarget;

    // Guards the paths, which the getters may read from other threads.
    mutable QMutex m_mutex;
    QString m_devicePath;
    QString m_linkPath;
};
