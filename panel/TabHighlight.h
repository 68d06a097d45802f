#pragma once
// The pages draw their own tab highlighted while they are shown.

#include "platform/os/WinTypes.h"

class CPropertyPage;

// Highlights (or clears) the tab of `page` on its sheet, when it has one.
void HighlightOwnTab(CPropertyPage& page, bool highlight);

// Clears the highlight of a page that is being left (`leaving` from its base OnKillActive); a page
// that refuses to be left keeps it. Returns `leaving`.
BOOL UnhighlightWhenLeft(CPropertyPage& page, BOOL leaving);
