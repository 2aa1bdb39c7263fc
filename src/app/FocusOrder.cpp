#include "app/FocusOrder.h"

int NextInFocusOrder(int current, int count, bool backwards)
{
    if (current < 0 || current >= count)
        return backwards ? count - 1 : 0;
    return (current + (backwards ? count - 1 : 1)) % count;
}
