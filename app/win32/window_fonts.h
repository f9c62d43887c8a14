#pragma once
// The fonts the main window makes: the buttons' and the counter's, at a
// display scale. The caller owns each and deletes it once nothing draws with it.
#include <windows.h>

#include "app/display_scale.h"

// The GUI font's size and look at scale, with a Japanese character set.
HFONT makeButtonFont(const DisplayScale& scale);
// Height 24 at 96 DPI, weight 600, Shift-JIS, fixed pitch, no face name.
HFONT makeCounterFont(const DisplayScale& scale);
