// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The quit signals (SIGINT, SIGTERM, SIGHUP) as events of the program's own loop: the handler
// only writes the signal's number into a pipe, and a socket notifier on the pipe's other end
// runs the program's reaction from the event loop, where it may do anything (talk to the phone,
// end the run through its ordinary path).

#include <QString>

#include <functional>

class QObject;

/// SIGINT, SIGTERM and SIGHUP run onSignal with the signal's number from the event loop (a
/// self-pipe read by a socket notifier owned by context). False, with errno set, when the pipe
/// cannot be made.
bool watchQuitSignals(QObject *context, std::function<void(int signal)> onSignal);

/// "SIGTERM", "SIGINT", "SIGHUP": the name the journal gives a quit signal.
QString quitSignalName(int signal);
