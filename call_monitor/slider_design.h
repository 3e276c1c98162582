// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// A slider of the window's design: its range and the value it starts from. What the monitor
/// reads from it is the same with the window or without one: the window builds its sliders from
/// these, the run without one starts from their values, and the start options check their values
/// against the same ranges.
struct SliderDesign
{
    int minimum;
    int maximum;
    int value;
};

/// Slider1: seconds the call-back stands before it is hung up.
inline constexpr SliderDesign kSlider1Design{0, 20, 10};
/// Slider2: seconds after a squillo before calling back.
inline constexpr SliderDesign kSlider2Design{0, 60, 2};
/// Slider3: the largest ring count that is still a squillo.
inline constexpr SliderDesign kSlider3Design{1, 10, 1};
