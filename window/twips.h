// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

/// The window's design measures everything in twips: 1440 to the inch, so 15 to a pixel on an
/// ordinary 96 DPI screen and 10 on a 144 DPI one.
constexpr int kTwipsPerInch = 1440;

/// A length or coordinate of the design in pixels at the given logical DPI, rounded to the
/// nearest pixel. Convert edges rather than widths, so neighbours that touch in the design
/// still touch on the screen.
int twipsToPixels(int twips, qreal logicalDpi);
