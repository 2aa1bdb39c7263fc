#pragma once

#include <windows.h>

namespace OHUI {

// The toolkit's default background, RGB(236, 233, 216).
constexpr COLORREF kDefaultBgColor = RGB(236, 233, 216);

// Deletes a brush or font that the caller owns, if any, and forgets it.
template <typename Handle>
void ReleaseGdiObject(Handle& handle)
{
    if (handle) {
        DeleteObject(handle);
        handle = nullptr;
    }
}

// Releases the owned brush and keeps a new solid one of the colour (0x00BBGGRR).
inline void ReplaceSolidBrush(HBRUSH& brush, int color)
{
    ReleaseGdiObject(brush);
    brush = CreateSolidBrush(static_cast<COLORREF>(color));
}

// A null brush paints nothing (FillRect would take 0 for a system colour index).
inline void FillWithBrush(HDC dc, const RECT& rect, HBRUSH brush)
{
    if (brush)
        FillRect(dc, &rect, brush);
}

}  // namespace OHUI
