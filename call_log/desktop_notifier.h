// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Each handled call as a desktop notification (--notify), through org.freedesktop.Notifications
// on the session bus: the summary says squillo or call and who (the name, else the number), the
// body gives the number and whether it was called back. The calls go out without waiting for an
// answer, so a slow or missing notification service never holds the monitor. A desktop without
// one (no session bus, nobody owning the name, a call that fails) is reported once on standard
// error; the window, the journal and the file go on as before. Later calls still go out, so a
// notification service that starts after the program (at login) is used once it is there.

#include "handled_call.h"

#include <QDBusConnection>
#include <QObject>

class DesktopNotifier final : public QObject
{
    Q_OBJECT

public:
    /// Milliseconds a notification stands unless the desktop's settings say otherwise.
    static constexpr int kExpireMs = 15000;

    /// Notifies on bus; desktopEntry names the program's desktop entry, without ".desktop".
    DesktopNotifier(const QDBusConnection &bus, const QString &desktopEntry,
                    QObject *parent = nullptr);

    void notify(const HandledCall &call);
    /// The phone can no longer take calls, or can again: `sentence` says which.
    void notifyPhoneState(const QString &sentence);

private:
    void send(const QString &summary, const QString &body);
    void unavailable(const QString &reason);

    QDBusConnection m_bus;
    QString m_desktopEntry;
    bool m_warned = false;
};
