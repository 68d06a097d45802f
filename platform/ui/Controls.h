#pragma once
// Common controls as the dialogs use them: slider (trackbar), list view in report view and the
// tab control whose items can be highlighted. Programmatic changes never notify the dialog; only
// the user's do.

#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <vector>

#include "platform/os/WinTypes.h"

// A trackbar pages by a fifth of its range (at least 1) unless told otherwise.
int DefaultSliderPageStep(int minimum, int maximum);

class CSliderCtrl {
public:
    void Attach(QSlider* slider) { slider_ = slider; }
    QSlider* Widget() const { return slider_; }
    bool IsAttached() const { return slider_ != nullptr; }

    // Also resets the page step to the range's default.
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    int GetRangeMin() const;
    int GetRangeMax() const;
    void SetPos(int position);
    int GetPos() const;
    void SetTicFreq(int frequency);

private:
    QSlider* slider_ = nullptr;
};

// Item state flags and extended styles with their Win32 values.
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr DWORD LVS_EX_GRIDLINES = 0x0001;
constexpr DWORD LVS_EX_SUBITEMIMAGES = 0x0002;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x0020;
constexpr DWORD LVS_EX_TWOCLICKACTIVATE = 0x0080;
constexpr DWORD LVS_EX_FLATSB = 0x0100;
constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;

class CListCtrl {
public:
    void Attach(QTableWidget* table) { table_ = table; }
    QTableWidget* Widget() const { return table_; }
    bool IsAttached() const { return table_ != nullptr; }

    DWORD GetExtendedStyle() const { return extendedStyle_; }
    void SetExtendedStyle(DWORD style);
    int InsertColumn(int column, const char* heading, int format, int width);
    int GetColumnCount() const;
    int InsertItem(int item, const char* text);
    BOOL SetItemText(int item, int subItem, const char* text);
    QString GetItemText(int item, int subItem) const;
    int GetItemCount() const;
    BOOL DeleteAllItems();
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    BOOL EnsureVisible(int item, BOOL partialOk);
    // Gives the list the keyboard focus and, as on the platform, activates its window.
    void SetFocus();
    QRect GetClientRect() const;

private:
    QTableWidget* table_ = nullptr;
    DWORD extendedStyle_ = 0;
    std::vector<int> columnFormats_;
};

// A tab bar that can draw tabs highlighted as well as selected.
class HighlightTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;
    void HighlightItem(int index, bool highlight);
    bool IsHighlighted(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void tabRemoved(int index) override;

private:
    std::vector<bool> highlighted_;
};

// The tab control of a property sheet.
class CTabCtrl : public QTabWidget {
public:
    explicit CTabCtrl(QWidget* parent = nullptr);
    HighlightTabBar* Bar() const { return bar_; }
    // Sends TCM_HIGHLIGHTITEM.
    BOOL HighlightItem(int index, BOOL highlight);

private:
    HighlightTabBar* bar_;
};
