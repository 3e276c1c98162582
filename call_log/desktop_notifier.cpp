// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop_notifier.h"

#include "call_record.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcNotify, "tornasquillo.notify", QtInfoMsg)

namespace {

/// A notification service answers at once; one that does not within this time is not there.
constexpr int kCallTimeoutMs = 5000;
/// The Desktop Notifications urgency levels: 0 low, 1 normal, 2 critical.
constexpr uchar kNormalUrgency = 1;

/// The phone's texts on one line, without the runs of spaces its control characters leave.
QString plain(const QString &text)
{
    return onOneLine(text).simplified();
}

} // namespace

DesktopNotifier::DesktopNotifier(const QDBusConnection &bus, const QString &desktopEntry,
                                 QObject *parent)
    : QObject(parent), m_bus(bus), m_desktopEntry(desktopEntry)
{
    if (!m_bus.isConnected())
        unavailable(m_bus.lastError().isValid() ? m_bus.lastError().message()
                                                : tr("no session bus"));
}

void DesktopNotifier::notify(const HandledCall &call)
{
    if (!m_bus.isConnected())
        return;
    const bool known = isKnownCaller(call.number);
    const QString number = plain(call.number);
    const QString name = plain(call.name);
    const bool withheld = call.number == kWithheldCaller;
    const QString who = !name.isEmpty() ? name
                        : known         ? number
                        : withheld      ? tr("a withheld number")
                                        : tr("an unknown caller");
    const QString summary =
        call.squillo ? tr("Squillo from %1").arg(who) : tr("Call from %1").arg(who);
    QString body;
    if (withheld)
        body = tr("Number withheld; not called back");
    else if (!known)
        body = tr("Number not known; not called back");
    else if (call.calledBack)
        body = tr("%1, called back").arg(number);
    else
        body = tr("%1, not called back").arg(number);
    send(summary, body);
}

void DesktopNotifier::notifyPhoneState(const QString &sentence)
{
    if (m_bus.isConnected())
        send(tr("The phone"), sentence);
}

void DesktopNotifier::send(const QString &summary, const QString &body)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), m_desktopEntry},
        // A byte ('y'), as the Notifications interface defines it: some services ignore an
        // urgency sent as int.
        {QStringLiteral("urgency"), QVariant::fromValue(kNormalUrgency)},
    };
    // The body may hold markup on most services: a name with '&' or '<' is escaped.
    message << QStringLiteral("Tornasquillo") << uint(0) << QStringLiteral("tornasquillo")
            << summary << body.toHtmlEscaped() << QStringList() << hints << qint32(kExpireMs);

    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *finished) {
                if (finished->isError())
                    unavailable(finished->error().message());
                finished->deleteLater();
            });
}

void DesktopNotifier::unavailable(const QString &reason)
{
    if (m_warned)
        return;
    m_warned = true;
    qCWarning(lcNotify).noquote()
        << tr("no desktop notifications: %1; the calls are still listed in the window and the "
              "journal")
               .arg(reason);
}
