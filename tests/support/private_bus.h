// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

/// A D-Bus daemon of the test's own, running as long as this object: the fakes of the services
/// the program asks (ModemManager, the desktop's notifications) register on it, and the program
/// is pointed at it in place of the system or the session bus. It starts no service of the
/// machine's on demand: a test that leaves a name unowned finds it unowned, whatever daemons the
/// machine has installed.
class PrivateBus
{
public:
    PrivateBus() = default;
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    /// Starts the daemon and gives its address; empty when it cannot run (it comes with the
    /// Debian package dbus-daemon).
    QString start()
    {
        // A session bus's settings without its service folders.
        const QString config = m_folder.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!m_folder.isValid() || !file.open(QIODevice::WriteOnly))
            return {};
        file.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                   "<auth>EXTERNAL</auth><policy context=\"default\">"
                   "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                   "<allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, "--print-address", "--nofork"});
        if (!m_daemon.waitForStarted())
            return {};
        const QDeadlineTimer deadline(30000);
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(int(deadline.remainingTime())))
            ;
        return QString::fromLatin1(m_daemon.readLine().trimmed());
    }

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
};
