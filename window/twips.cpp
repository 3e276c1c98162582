// SPDX-License-Identifier: GPL-3.0-or-later
#include "twips.h"

int twipsToPixels(int twips, qreal logicalDpi)
{
    return qRound(twips * logicalDpi / kTwipsPerInch);
}
