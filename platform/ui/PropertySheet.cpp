#include "platform/ui/PropertySheet.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/ui/OuterGeometry.h"
#include "platform/ui/StringResources.h"

namespace {

constexpr int kSheetMargin = 7;

QSize TemplatePixelSize(const DialogTemplate* t) {
    if (!t)
        return {};
    const DialogBaseUnits units(TemplateFont(t->fontFace, t->pointSize));
    return {units.ToPixelsX(t->cx), units.ToPixelsY(t->cy)};
}

} // namespace

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialogBase(templateId) {
    if (captionId)
        m_psp.dwFlags |= PSP_USETITLE;
}

void CPropertyPage::CreatePage(QWidget* parent, CPropertySheet* sheet) {
    sheet_ = sheet;
    setParent(parent);
    CreateControls(this);
    resize(TemplateSize());
    OnInitDialog();
    show();
}

QString CPropertyPage::Title() const {
    if ((m_psp.dwFlags & PSP_USETITLE) && m_psp.pszTitle)
        return QString::fromUtf8(m_psp.pszTitle);
    return Template() ? QString::fromUtf8(Template()->caption) : QString();
}

BOOL CPropertyPage::OnSetActive() {
    if (firstSetActive_)
        firstSetActive_ = false;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}

CPropertySheet::CPropertySheet(UINT captionId, QWidget*, UINT selectPage)
    : caption_(LoadResourceString(captionId)) {
    m_psh.nStartPage = selectPage;
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    pages_.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
    for (int i = 0; i < GetPageCount(); ++i) {
        if (pages_[static_cast<std::size_t>(i)] == page)
            return i;
    }
    return -1;
}

BOOL CPropertySheet::Create(QWidget* parent, DWORD style, DWORD) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if ((style & WS_CAPTION) == WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    closable_ = (style & WS_SYSMENU) != 0;
    fixedSize_ = (style & WS_THICKFRAME) == 0;
    setParent(parent, flags);
    setWindowTitle(caption_);

    tabs_ = new CTabCtrl(this);
    QSize largest(1, 1);
    for (CPropertyPage* page : pages_) {
        auto* area = new QWidget;
        tabAreas_.push_back(area);
        tabs_->addTab(area, page->Title());
        largest = largest.expandedTo(TemplatePixelSize(page->Template()));
    }
    QObject::connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });
    // The sheet is as large as its largest page and the tabs around it.
    tabs_->setGeometry(kSheetMargin, kSheetMargin, largest.width() + kSheetMargin,
                       largest.height() + tabs_->tabBar()->sizeHint().height() + kSheetMargin);
    PlaceWindow(QRect(
        pos(), QSize(tabs_->geometry().right() + kSheetMargin, tabs_->geometry().bottom() + kSheetMargin)));
    const int start =
        static_cast<int>(m_psh.nStartPage) < GetPageCount() ? static_cast<int>(m_psh.nStartPage) : 0;
    ShowTab(start);
    ShowPage(start);
    OnInitDialog();
    return TRUE;
}

void CPropertySheet::ShowPage(int index) {
    CPropertyPage* page = GetPage(index);
    if (!page)
        return;
    if (!page->IsCreated())
        page->CreatePage(tabAreas_[static_cast<std::size_t>(index)], this);
    active_ = index;
    page->OnSetActive();
}

void CPropertySheet::ShowTab(int index) {
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(index);
}

void CPropertySheet::OnTabChanged(int index) {
    // The tab control has switched already. The page being left decides first, in front of the
    // user, so the tab goes back until it agrees: nothing has been painted in between.
    if (index == active_)
        return;
    ShowTab(active_);
    CPropertyPage* current = GetActivePage();
    if (current && current->IsCreated() && !current->OnKillActive())
        return;
    ShowTab(index);
    ShowPage(index);
}

BOOL CPropertySheet::SetActivePage(int index) {
    if (!GetPage(index) || !tabs_)
        return FALSE;
    if (index == active_)
        return TRUE;
    CPropertyPage* current = GetActivePage();
    if (current && current->IsCreated() && !current->OnKillActive())
        return FALSE;
    ShowTab(index);
    ShowPage(index);
    return TRUE;
}

void CPropertySheet::MoveWindow(int x, int y, int width, int height) {
    outerRequest_ = QRect(x, y, width, height);
    PlaceWindow(*outerRequest_);
}

void CPropertySheet::PlaceWindow(const QRect& outer) {
    if (fixedSize_)
        ApplyFixedOuterGeometry(this, outer);
    else
        ApplyOuterGeometry(this, outer);
}

void CPropertySheet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The frame is known now: place the outer rectangle again.
    if (outerRequest_ && frameGeometry() != *outerRequest_)
        PlaceWindow(*outerRequest_);
}

void CPropertySheet::closeEvent(QCloseEvent* event) {
    // A sheet without a close box cannot be closed by the user.
    if (closable_)
        QWidget::closeEvent(event);
    else
        event->ignore();
}
