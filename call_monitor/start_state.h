// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

/// How a run is to start when nobody is there to click: the operator's clicks and drags. The
/// window does them at start-up through its own handlers; the run without one starts its view
/// from them. The default is the designed start: port closed, responder off, sliders at their
/// designed values.
struct StartState
{
    /// 1 or 2: choose COM 1 or COM 2 and open it, waiting for a device that is not there yet or
    /// is busy; 0: the port stays closed.
    int port = 0;
    /// Switch the responder on.
    bool responderOn = false;
    /// Start values of Slider1, Slider2 and Slider3; none leaves a slider as designed.
    std::optional<int> slider1;
    std::optional<int> slider2;
    std::optional<int> slider3;
};
