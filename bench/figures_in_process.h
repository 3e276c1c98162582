// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Figures of the program's parts in the bench's own process, over a pseudo-terminal with the
// simulated phone in a thread (exchange, ring, lookup, call-back, silent exchange, idle), or on
// the tests' fake line and clock (memory).

#include <QStringList>

namespace bench {

/// Latency from the phone's final "OK" to IOP returning, over `count` exchanges.
void benchExchange(int count);
/// Latency from a "RING" written to its count in panel 2, over `count` rings.
void benchRing(int count);
/// Delay of the phone-book lookup after the 8-second mark, over `calls` calls.
void benchLookup(int calls);
/// CPU of one call-back with the sliders given, against `idleSeconds` of idle first.
void benchCallBack(int slider2, int slider1, int idleSeconds);
/// CPU of one exchange the phone never answers, alone and with Timer1 running.
void benchSilent(int idleSeconds);
/// CPU of the parts on an open, idle line beside a bare Qt event loop, each in a child process.
void benchIdle(int seconds);
/// Resident memory after `calls` calls through the monitor, the event lines kept or dropped.
void benchMemory(int calls, bool keepLines);

/// The child processes of benchIdle(), started as `tornasquillo-bench --child ...`.
int runChild(const QStringList &args);

} // namespace bench
