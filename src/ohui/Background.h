#pragma once

#include "framework/ScopedWin.h"

#include <windows.h>

namespace OHUI {

// The toolkit's default background, RGB(236, 233, 216).
constexpr COLORREF kDefaultBgColor = RGB(236, 233, 216);

// Gives up the brush held, then keeps a new solid one of the colour (0x00BBGGRR).
inline void ReplaceSolidBrush(GdiObject<HBRUSH>& brush, int color)
{
    brush.reset();
    brush.reset(CreateSolidBrush(static_cast<COLORREF>(color)));
}

}  // namespace OHUI
