// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Figures of the real program as a process of its own: its start-up, its wake-ups and CPU under
// Xvfb beside a bare Qt Widgets window with no timer, and its run without a window beside a bare
// QCoreApplication with no timer and an open pseudo-terminal, measured over the same seconds.

namespace bench {

/// Start-up to the window shown (offscreen) over `runs` starts, and the resident memory.
void benchStartup(int runs);
/// The program under Xvfb against the bare window, `seconds` for each state of the port.
void benchWindow(int seconds);
/// tornasquillo --headless, its port open and idle, against the bare QCoreApplication over the
/// same `seconds`: CPU, and resident memory.
void benchHeadless(int seconds);

} // namespace bench
