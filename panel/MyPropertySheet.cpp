#include "panel/MyPropertySheet.h"

#include "resources/Resource.h"

namespace {

constexpr int kTabLeft = 5;
constexpr int kTabTop = 5;
constexpr int kTabWidth = 235;
constexpr int kTabHeight = 455;

} // namespace

CMyPropertySheet::CMyPropertySheet() : CPropertySheet(IDS_SHEET_CAPTION, nullptr, 0) {
    AddPage(&page1);
    AddPage(&page3);
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
}

BOOL CMyPropertySheet::OnInitDialog() {
    const BOOL result = CPropertySheet::OnInitDialog();
    if (CTabCtrl* tabs = GetTabControl())
        tabs->setGeometry(kTabLeft, kTabTop, kTabWidth, kTabHeight);
    return result;
}
