// How the panel reads and behaves for its user: readable disabled numbers, colour values inside
// their edits, sliders that page, tab changes refused in place, a fixed window, the block list's
// focus after a load.

#include <QTabBar>
#include <QTableWidget>
#include <algorithm>
#include <map>

#include "PanelFixture.h"
#include "platform/ui/Contrast.h"

namespace {

class PanelLookTest : public PanelTest {
protected:
    QTabBar* Tabs() { return sheet->GetTabControl()->tabBar(); }
    void ClickTab(int index) {
        QTest::mouseClick(Tabs(), Qt::LeftButton, Qt::NoModifier, Tabs()->tabRect(index).center());
    }
};

struct DrawnText {
    QColor background; // what fills most of the edit
    QColor darkest;
};

DrawnText Drawn(QWidget* edit) {
    const QImage shot = edit->grab().toImage();
    std::map<QRgb, int> counts;
    QColor darkest = Qt::white;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            ++counts[pixel.rgb()];
            if (RelativeLuminance(pixel) < RelativeLuminance(darkest))
                darkest = pixel;
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return {QColor::fromRgb(most->first), darkest};
}

// The text colour against the background drawn; the drawn strokes, anti-aliased, come close.
void ExpectReadableWhileDisabled(QWidget* edit, int id) {
    EXPECT_FALSE(edit->isEnabled()) << id;
    const DrawnText drawn = Drawn(edit);
    EXPECT_GE(ContrastRatio(edit->palette().color(QPalette::Disabled, QPalette::Text), drawn.background),
              kReadableContrast)
        << id;
    EXPECT_GE(ContrastRatio(drawn.darkest, drawn.background), 3.0) << id;
}

TEST_F(PanelLookTest, DisabledNumberFieldsStayDisabledButReadable) {
    page3().UpdateModelInfo();
    for (const int id : {IDC_TRIANGLE_COUNT, IDC_BLOCK_COUNT, IDC_CURRENT_BLOCK, IDC_CURRENT_FRAME,
                         IDC_FIRST_FRAME, IDC_LAST_FRAME, IDC_NORMAL_LENGTH})
        ExpectReadableWhileDisabled(page3().GetDlgItem(id), id);
    sheet->SetActivePage(0);
    ExpectReadableWhileDisabled(page1().GetDlgItem(IDC_FONT_HEIGHT), IDC_FONT_HEIGHT);
}

TEST_F(PanelLookTest, ThreeDigitColourValuesFitInsideTheirEdits) {
    sheet->SetActivePage(0);
    for (const int id :
         {IDC_BACK_RED, IDC_BACK_GREEN, IDC_BACK_BLUE, IDC_TEXT_RED, IDC_TEXT_GREEN, IDC_TEXT_BLUE}) {
        auto* edit = page1().DlgItem<QLineEdit>(id);
        EXPECT_EQ(edit->width(), page1().BaseUnits().ToPixelsX(14)) << "the template's width";
        edit->setText(QString());
        const QImage empty = edit->grab().toImage();
        edit->setText(QStringLiteral("888"));
        // Text wider than the edit scrolls when the caret goes to its end.
        edit->setCursorPosition(0);
        const QImage atStart = edit->grab().toImage();
        edit->setCursorPosition(3);
        const QImage atEnd = edit->grab().toImage();
        EXPECT_EQ(atStart, atEnd) << id;
        // The text leaves the border and the pixel column inside it as they are.
        for (const int x : {0, 1, empty.width() - 2, empty.width() - 1}) {
            for (int y = 0; y < empty.height(); ++y)
                EXPECT_EQ(atStart.pixel(x, y), empty.pixel(x, y)) << id << " at " << x << ", " << y;
        }
    }
}

TEST_F(PanelLookTest, SlidersPageByAFifthOfTheirRange) {
    QSlider* normal = page3().DlgItem<QSlider>(IDC_NORMAL_SLIDER);
    QSlider* speed = page3().DlgItem<QSlider>(IDC_SPEED_SLIDER);
    page3().UpdateModelInfo();
    EXPECT_EQ(normal->pageStep(), 2);
    EXPECT_EQ(speed->pageStep(), 10);
    EXPECT_EQ(page3().DlgItem<QSlider>(IDC_FRAME_SLIDER)->pageStep(), 1) << "at least one frame";
    EXPECT_EQ(page1().DlgItem<QSlider>(IDC_FONT_SLIDER)->pageStep(), 8);

    // A click in the groove right of the handle moves one page, and the page hears of it.
    ASSERT_EQ(normal->value(), 5);
    QTest::mouseClick(normal, Qt::LeftButton, Qt::NoModifier,
                      QPoint(normal->width() - 3, normal->height() / 2));
    EXPECT_EQ(normal->value(), 7);
    EXPECT_EQ(settings().normalLength, 7);
}

TEST_F(PanelLookTest, RefusedTabChangeNeverShowsTheOtherPage) {
    sheet->SetActivePage(0);
    TypeOver(page1(), IDC_BACK_RED, "300");
    ASSERT_EQ(messages.messages.size(), 1u);

    struct Seen {
        int tab;
        bool otherPageVisible;
    };
    std::vector<Seen> seen;
    const MessageBoxHandler recorder = SetMessageBoxHandler([&](HWND, const char*, const char*, UINT) {
        seen.push_back({Tabs()->currentIndex(), page3().isVisible()});
        return IDOK;
    });
    ClickTab(1);
    SetMessageBoxHandler(recorder);

    ASSERT_EQ(seen.size(), 1u) << "the range message";
    EXPECT_EQ(seen[0].tab, 0) << "the message comes before the tab changes";
    EXPECT_FALSE(seen[0].otherPageVisible);
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_EQ(Tabs()->currentIndex(), 0);
    EXPECT_TRUE(sheet->GetTabControl()->Bar()->IsHighlighted(0)) << "the page still shown stays highlighted";
    EXPECT_FALSE(sheet->GetTabControl()->Bar()->IsHighlighted(1));

    // Once the value is valid again the same click changes the page.
    TypeOver(page1(), IDC_BACK_RED, "30");
    ClickTab(1);
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    EXPECT_TRUE(page3().isVisible());
    EXPECT_TRUE(sheet->GetTabControl()->Bar()->IsHighlighted(1));
    EXPECT_FALSE(sheet->GetTabControl()->Bar()->IsHighlighted(0));
}

TEST_F(PanelLookTest, WindowHasAFixedSize) {
    sheet->MoveWindow(770, 100, 250, 500);
    EXPECT_EQ(sheet->frameGeometry(), QRect(770, 100, 250, 500));
    EXPECT_EQ(sheet->minimumSize(), sheet->size());
    EXPECT_EQ(sheet->maximumSize(), sheet->size());
    EXPECT_FALSE(sheet->windowFlags() & Qt::WindowMaximizeButtonHint);
    sheet->resize(400, 700);
    EXPECT_EQ(sheet->frameGeometry(), QRect(770, 100, 250, 500));
    // The program itself can still place it elsewhere with another size.
    sheet->MoveWindow(10, 20, 260, 480);
    EXPECT_EQ(sheet->frameGeometry(), QRect(10, 20, 260, 480));
    EXPECT_EQ(sheet->maximumSize(), sheet->size());
}

TEST_F(PanelLookTest, AfterALoadTheBlockListHasTheFocusInTheActiveWindow) {
    QWidget mainWindow;
    mainWindow.show();
    mainWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
    page3().UpdateModelInfo();
    EXPECT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    EXPECT_EQ(QApplication::focusWidget(), page3().m_blockList.Widget());
}

} // namespace
