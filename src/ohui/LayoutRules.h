#pragma once

#include "ohui/ILayout.h"

namespace OHUI {

// The state a parent's sizing pass carries from one child to the next.
struct LayoutCursor {
    int line;        // top of the current line
    int right;       // left edge of the last right-floating box on the line
    int prevTop;     // offset top and bottom of the previous placed sibling
    int prevBottom;
};

LayoutCursor StartLayoutCursor(const RECT& parent);

// Where a parent placed at `parent` puts a child with this float type and offset
// rectangle (for eFloatRight only its size counts). False: the type is unknown and the
// child is skipped, the cursor untouched. Arithmetic wraps like the 32-bit machine's.
bool PlaceChild(const RECT& parent, LayoutCursor& cursor, int floatType, const RECT& offset,
                RECT& placed);

// right - left and bottom - top, wrapping instead of overflowing.
int WrappedDifference(int high, int low);

}  // namespace OHUI
