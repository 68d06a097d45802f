#pragma once
// The pages draw their own tab highlighted while they are shown.

class CPropertyPage;

// Highlights (or clears) the tab of `page` on its sheet, when it has one.
void HighlightOwnTab(CPropertyPage& page, bool highlight);
