#include "panel/TabHighlight.h"

#include "platform/ui/PropertySheet.h"

void HighlightOwnTab(CPropertyPage& page, bool highlight) {
    CPropertySheet* sheet = page.Sheet();
    if (!sheet)
        return;
    if (CTabCtrl* tabs = sheet->GetTabControl())
        tabs->HighlightItem(sheet->GetPageIndex(&page), highlight ? TRUE : FALSE);
}

BOOL UnhighlightWhenLeft(CPropertyPage& page, BOOL leaving) {
    if (leaving)
        HighlightOwnTab(page, false);
    return leaving;
}
