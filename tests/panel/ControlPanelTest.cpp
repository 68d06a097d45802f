#include <QMainWindow>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "panel/MyPropertySheet.h"
#include "platform/ui/Controls.h"
#include "platform/ui/WindowStyles.h"

namespace {

class ControlPanel : public ::testing::Test {
protected:
    void SetUp() override {
        sheet = new CMyPropertySheet;
        sheet->Create(&owner, WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION, 0);
        sheet->MoveWindow(770, 100, 250, 500);
        sheet->show();
        sheet->SetActivePage(1);
    }

    QMainWindow owner;
    CMyPropertySheet* sheet = nullptr; // belongs to the owner window
};

} // namespace

TEST_F(ControlPanel, StandsBesideTheMainWindowWithItsCaptionAndTabs) {
    EXPECT_EQ(sheet->frameGeometry(), QRect(770, 100, 250, 500));
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Hand Made"));
    EXPECT_EQ(sheet->parentWidget(), &owner);
    CTabCtrl* tabs = sheet->GetTabControl();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("우씨~"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("option_MD2"));
    EXPECT_EQ(tabs->geometry(), QRect(5, 5, 235, 455));
    EXPECT_FALSE(sheet->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(sheet->m_psh.dwFlags & PSH_NOAPPLYNOW);
}

TEST_F(ControlPanel, StartsOnTheModelPageHighlighted) {
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    EXPECT_EQ(sheet->GetTabControl()->currentIndex(), 1);
    EXPECT_TRUE(sheet->GetTabControl()->Bar()->IsHighlighted(1));
    EXPECT_FALSE(sheet->GetTabControl()->Bar()->IsHighlighted(0));
    // Both pages' windows exist: the first from the sheet's start, the second from the switch.
    EXPECT_TRUE(sheet->page1.IsCreated());
    EXPECT_TRUE(sheet->page3.IsCreated());
    EXPECT_EQ(sheet->page3.size(), sheet->page3.TemplateSize());
}

TEST_F(ControlPanel, ChoosingTheFirstTabMovesTheHighlight) {
    sheet->GetTabControl()->setCurrentIndex(0);
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_TRUE(sheet->GetTabControl()->Bar()->IsHighlighted(0));
    EXPECT_FALSE(sheet->GetTabControl()->Bar()->IsHighlighted(1));
}

TEST_F(ControlPanel, CannotBeClosedByTheUser) {
    EXPECT_FALSE(sheet->close());
    EXPECT_TRUE(sheet->isVisible());
}

TEST_F(ControlPanel, PageWindowIsMadeOnlyWhenItsTabIsFirstShown) {
    CMyPropertySheet fresh;
    fresh.Create(nullptr, WS_POPUP | WS_CAPTION, 0);
    EXPECT_TRUE(fresh.page1.IsCreated());
    EXPECT_FALSE(fresh.page3.IsCreated());
    EXPECT_TRUE(fresh.SetActivePage(1));
    EXPECT_TRUE(fresh.page3.IsCreated());
    EXPECT_FALSE(fresh.SetActivePage(2));
}

TEST(SliderControl, ProgramChangesDoNotNotify) {
    QSlider widget(Qt::Horizontal);
    CSliderCtrl slider;
    slider.Attach(&widget);
    QSignalSpy moves(&widget, &QSlider::valueChanged);
    slider.SetRange(10, 50);
    slider.SetPos(30);
    slider.SetPos(80);
    EXPECT_EQ(moves.count(), 0);
    EXPECT_EQ(slider.GetPos(), 50) << "the position stays in the range";
    EXPECT_EQ(slider.GetRangeMin(), 10);
}

TEST(ListControl, ReportViewRowsColumnsAndSelection) {
    QTableWidget widget;
    CListCtrl list;
    list.Attach(&widget);
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(widget.showGrid());
    list.InsertColumn(0, "구 분", LVCFMT_CENTER, 110);
    list.InsertColumn(1, "st_F.", LVCFMT_CENTER, 40);
    EXPECT_EQ(list.InsertItem(0, "stand01"), 0);
    EXPECT_EQ(list.InsertItem(1, "run01"), 1);
    EXPECT_TRUE(list.SetItemText(1, 1, "3"));
    EXPECT_FALSE(list.SetItemText(5, 1, "x"));
    EXPECT_FALSE(list.SetItemText(1, 2, "x"));
    EXPECT_EQ(list.GetItemText(1, 1), QStringLiteral("3"));
    EXPECT_EQ(widget.item(1, 1)->textAlignment(), int(Qt::AlignCenter));
    EXPECT_EQ(widget.horizontalHeaderItem(0)->text(), QStringLiteral("구 분"));

    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), 0u);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
}
