#include "ohui/LayoutRules.h"

#include <cstdint>

namespace OHUI {

namespace {

int WrappedSum(int a, int b)
{
    return static_cast<int>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

RECT OffsetFrom(const RECT& parent, const RECT& offset)
{
    return {WrappedSum(parent.left, offset.left), WrappedSum(parent.top, offset.top),
            WrappedSum(parent.left, offset.right), WrappedSum(parent.top, offset.bottom)};
}

RECT NextOnLineFromRight(LayoutCursor& cursor, const RECT& size)
{
    int width = WrappedDifference(size.right, size.left);
    int height = WrappedDifference(size.bottom, size.top);
    cursor.right = WrappedDifference(cursor.right, width);
    return {cursor.right, cursor.line, WrappedSum(cursor.right, width),
            WrappedSum(cursor.line, height)};
}

}  // namespace

int WrappedDifference(int high, int low)
{
    return static_cast<int>(static_cast<uint32_t>(high) - static_cast<uint32_t>(low));
}

LayoutCursor StartLayoutCursor(const RECT& parent)
{
    return {parent.top, parent.right, 0, 0};
}

bool PlaceChild(const RECT& parent, LayoutCursor& cursor, int floatType, const RECT& offset,
                RECT& placed)
{
    switch (floatType) {
    case eFloatNone:
        cursor.line = WrappedSum(cursor.line, WrappedDifference(cursor.prevBottom, cursor.prevTop));
        placed = OffsetFrom(parent, offset);
        break;
    case eFloatAbsolute:
        placed = OffsetFrom(parent, offset);
        break;
    case eFloatRight:
        placed = NextOnLineFromRight(cursor, offset);
        break;
    default:
        return false;
    }
    cursor.prevTop = offset.top;
    cursor.prevBottom = offset.bottom;
    return true;
}

}  // namespace OHUI
