#include "controls/tep_rich_edit_margins.h"

#include "controls/mul_div.h"

int TEPRichEditMargins::fromTwips(int twips) const
{
    switch (units_) {
    case epmuInches:
        return MulDiv(twips, 1000, 1440);
    case epmuMillimeters:
        return MulDiv(twips, 100, 57);
    case epmuTwips:
        break;
    }
    return twips;
}

int TEPRichEditMargins::toTwips(int value) const
{
    switch (units_) {
    case epmuInches:
        return MulDiv(value, 1440, 1000);
    case epmuMillimeters:
        return MulDiv(value, 57, 100);
    case epmuTwips:
        break;
    }
    return value;
}
