#pragma once
// A modeless property sheet: a captioned window holding a tab control with one page per tab. A
// page's window is created the first time its tab is shown.

#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/DialogBase.h"

class CPropertySheet;

struct PropSheetPage {
    DWORD dwFlags = 0;
    const char* pszTitle = nullptr;
};

struct PropSheetHeader {
    DWORD dwFlags = 0;
    UINT nStartPage = 0;
};

class CPropertyPage : public QWidget, public CDialogBase {
public:
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);

    // Builds the page's window inside `parent` (its tab's area) and runs OnInitDialog.
    void CreatePage(QWidget* parent, CPropertySheet* sheet);
    bool IsCreated() const { return HasControls(); }
    CPropertySheet* Sheet() const { return sheet_; }
    // The tab title: the page's own one when PSP_USETITLE is set, otherwise the template caption.
    QString Title() const;

    // The base behaviour: refresh the controls when shown again; validate when left.
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();

    PropSheetPage m_psp;

private:
    CPropertySheet* sheet_ = nullptr;
    bool firstSetActive_ = true;
};

class CPropertySheet : public QWidget {
public:
    CPropertySheet(UINT captionId, QWidget* parentWindow = nullptr, UINT selectPage = 0);

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;
    CPropertyPage* GetActivePage() const { return GetPage(active_); }
    int GetActiveIndex() const { return active_; }
    // Shows page `index`; FALSE when the current page refuses to be left or the index is bad.
    BOOL SetActivePage(int index);
    CTabCtrl* GetTabControl() const { return tabs_; }

    // Creates the window owned by `parent` with the given window style, then the start page.
    BOOL Create(QWidget* parent, DWORD style, DWORD exStyle = 0);
    virtual BOOL OnInitDialog() { return TRUE; }
    // Moves the window's outer rectangle, in screen coordinates.
    void MoveWindow(int x, int y, int width, int height);

    PropSheetHeader m_psh;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnTabChanged(int index);
    void ShowPage(int index);
    void ShowTab(int index);
    void PlaceWindow(const QRect& outer);

    QString caption_;
    std::vector<CPropertyPage*> pages_;
    std::vector<QWidget*> tabAreas_;
    CTabCtrl* tabs_ = nullptr;
    int active_ = -1;
    bool closable_ = true;
    bool fixedSize_ = false;
    std::optional<QRect> outerRequest_;
};
