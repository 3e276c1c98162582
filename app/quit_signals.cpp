// SPDX-License-Identifier: GPL-3.0-or-later
#include "quit_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_quitPipe[2] = {-1, -1};

void onQuitSignal(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_quitPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

bool watchQuitSignals(QObject *context, std::function<void(int signal)> onSignal)
{
    if (g_quitPipe[0] < 0 && ::pipe2(g_quitPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    auto *notifier = new QSocketNotifier(g_quitPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context,
                     [onSignal = std::move(onSignal)] {
                         // Signals that came together are one quit: the first one names it.
                         char buffer[16];
                         int first = 0;
                         for (ssize_t n; (n = ::read(g_quitPipe[0], buffer, sizeof buffer)) > 0;) {
                             if (first == 0)
                                 first = buffer[0];
                         }
                         if (first != 0)
                             onSignal(first);
                     });
    struct sigaction action
    {
    };
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &action, nullptr);
    return true;
}

QString quitSignalName(int signal)
{
    switch (signal) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return QStringLiteral("signal %1").arg(signal);
    }
}
