#pragma once

// The index that Tab (or Shift+Tab, backwards) moves the focus to among count controls,
// going round at either end; from a control outside the order (-1), Tab goes to the first
// and Shift+Tab to the last.
int NextInFocusOrder(int current, int count, bool backwards);
