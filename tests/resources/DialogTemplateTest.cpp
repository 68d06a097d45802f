#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <gtest/gtest.h>
#include <set>

#include "platform/ui/Dialog.h"
#include "resources/ProgramResources.h"

TEST(DialogTemplates, EveryControlLiesInsideItsDialogAndIdsAreUnique) {
    for (const DialogTemplate& t : dialog_templates::kTemplates) {
        std::set<int> ids;
        for (int i = 0; i < t.itemCount; ++i) {
            const DialogItem& item = t.items[i];
            EXPECT_GE(item.x, 0) << t.id << " item " << i;
            EXPECT_LE(item.x + item.cx, t.cx) << t.id << " item " << i;
            EXPECT_LE(item.y + item.cy, t.cy) << t.id << " item " << i;
            if (item.id != IDC_STATIC) {
                EXPECT_TRUE(ids.insert(item.id).second) << t.id << " repeats id " << item.id;
            }
        }
    }
    EXPECT_EQ(FindDialogTemplate(999), nullptr);
}

TEST(DialogFromTemplate, AboutBoxHasItsCaptionTextsAndPlaces) {
    CDialog about(IDD_ABOUTBOX);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Quorvel 정보"));
    EXPECT_EQ(about.size(), about.TemplateSize());
    auto* ok = about.DlgItem<QPushButton>(IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("확인"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->geometry(), about.BaseUnits().ToPixels(178, 7, 50, 14));
    bool versionShown = false;
    for (const QLabel* label : about.findChildren<QLabel*>())
        versionShown |= label->text() == QStringLiteral("QuorvelMD2Viewer 버전 1.02");
    EXPECT_TRUE(versionShown);
}

TEST(DialogFromTemplate, ControlKindsAndStylesBecomeWidgets) {
    CDialog page(IDD_PROPPAGE_MODEL);
    auto* triangles = page.DlgItem<QLineEdit>(IDC_TRIANGLE_COUNT);
    ASSERT_NE(triangles, nullptr);
    EXPECT_FALSE(triangles->isEnabled());
    EXPECT_FALSE(triangles->hasFrame());
    EXPECT_TRUE(triangles->alignment() & Qt::AlignRight);
    auto* speed = page.DlgItem<QLineEdit>(IDC_SPEED);
    ASSERT_NE(speed, nullptr);
    EXPECT_TRUE(speed->isEnabled());
    EXPECT_TRUE(speed->hasFrame());
    auto* slider = page.DlgItem<QSlider>(IDC_SPEED_SLIDER);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->tickPosition(), QSlider::TicksBothSides);
    auto* list = page.DlgItem<QTableWidget>(IDC_BLOCK_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(page.GetDlgItem(IDC_STATIC), nullptr);
}

TEST(DialogFromTemplate, ModalDialogEndsWithTheButtonPressed) {
    CDialog about(IDD_ABOUTBOX);
    QMetaObject::invokeMethod(
        &about, [&about] { about.DlgItem<QPushButton>(IDOK)->click(); }, Qt::QueuedConnection);
    EXPECT_EQ(about.DoModal(), IDOK);
    CDialog again(IDD_ABOUTBOX);
    QMetaObject::invokeMethod(
        &again, [&again] { again.OnCancel(); }, Qt::QueuedConnection);
    EXPECT_EQ(again.DoModal(), IDCANCEL);
}
