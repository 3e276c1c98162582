#include "twips.h"

int twipsToPixels(int twips, qreal logicalDpi)
{
    return qRound(twips * logicalDpi / kTwipsPerInch);
}
