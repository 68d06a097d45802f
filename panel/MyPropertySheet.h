#pragma once
// The control panel: a captioned window beside the main window with the two pages.

#include "panel/MyPropertyPage1.h"
#include "panel/MyPropertyPage3.h"
#include "platform/ui/PropertySheet.h"

class CMyPropertySheet : public CPropertySheet {
public:
    CMyPropertySheet();
    // Moves the tab control to (5, 5), 235 x 455.
    BOOL OnInitDialog() override;

    CMyPropertyPage1 page1;
    CMyPropertyPage3 page3;
};
