#include <QCheckBox>
#include <QColorDialog>
#include <QPushButton>
#include <QTimer>

#include "PanelFixture.h"
#include "platform/ui/DataExchange.h"

namespace {

class ColorsPageTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        sheet->SetActivePage(0);
    }
    // The colour painted in the middle of swatch `id`.
    QColor Swatch(int id) {
        const QImage shot = page1().grab().toImage();
        return shot.pixelColor(page1().GetDlgItem(id)->geometry().center());
    }
    // Clicks colour button `id` and answers the colour dialog with `chosen`, or cancels it.
    void AnswerColorDialog(int id, std::optional<QColor> chosen) {
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->currentColor(), QColor(Qt::black)) << "no initial colour";
            answered = true;
            if (chosen) {
                dialog->setCurrentColor(*chosen);
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        QTest::mouseClick(page1().GetDlgItem(id), Qt::LeftButton);
        EXPECT_TRUE(answered);
    }
};

TEST_F(ColorsPageTest, FirstDisplayShowsTheSettings) {
    const std::pair<int, const char*> edits[] = {
        {IDC_BACK_RED, "125"},   {IDC_BACK_GREEN, "167"}, {IDC_BACK_BLUE, "217"}, {IDC_TEXT_RED, "255"},
        {IDC_TEXT_GREEN, "255"}, {IDC_TEXT_BLUE, "0"},    {IDC_FONT_HEIGHT, "16"}};
    for (const auto& [id, text] : edits)
        EXPECT_EQ(Text(page1(), id), QString::fromLatin1(text)) << id;
    EXPECT_TRUE(page1().DlgItem<QCheckBox>(IDC_DISPLAY_TEXT)->isChecked());
    auto* slider = page1().DlgItem<QSlider>(IDC_FONT_SLIDER);
    EXPECT_EQ(slider->value(), 16);
    EXPECT_EQ(slider->minimum(), 10);
    EXPECT_EQ(slider->maximum(), 50);
    EXPECT_EQ(slider->tickInterval(), 10);
    EXPECT_EQ(Swatch(IDC_BACK_SWATCH), QColor(125, 167, 217));
    EXPECT_EQ(Swatch(IDC_TEXT_SWATCH), QColor(255, 255, 0));
    EXPECT_EQ(page1().m_backgroundColor, 0xD9A77Du);
}

TEST_F(ColorsPageTest, TypedComponentTakesEffectAtOnce) {
    TypeOver(page1(), IDC_BACK_RED, "0");
    EXPECT_EQ(settings().backgroundRed, 0);
    EXPECT_EQ(settings().backgroundGreen, 167);
    EXPECT_EQ(Swatch(IDC_BACK_SWATCH), QColor(0, 167, 217));
    TypeOver(page1(), IDC_TEXT_BLUE, "128");
    EXPECT_EQ(settings().textBlue, 128);
    EXPECT_EQ(Swatch(IDC_TEXT_SWATCH), QColor(255, 255, 128));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ColorsPageTest, ValueOutOfRangeIsRefusedAtTheThirdDigit) {
    TypeOver(page1(), IDC_BACK_GREEN, "300");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(QString::fromStdString(messages.messages[0].text), IntegerRangeMessage(0, 255));
    EXPECT_EQ(settings().backgroundGreen, 30) << "the last accepted value";
    // While one colour edit is wrong, no other change goes through either.
    TypeOver(page1(), IDC_TEXT_RED, "9");
    EXPECT_EQ(settings().textRed, 255);
}

TEST_F(ColorsPageTest, LeadingZeroIsDroppedFromTheEdit) {
    TypeOver(page1(), IDC_BACK_BLUE, "07");
    EXPECT_EQ(settings().backgroundBlue, 7);
    EXPECT_EQ(Text(page1(), IDC_BACK_BLUE), QStringLiteral("7"));
}

TEST_F(ColorsPageTest, CancelledColorDialogKeepsTheColour) {
    AnswerColorDialog(IDC_BACK_COLOR_DIALOG, std::nullopt);
    EXPECT_EQ(settings().backgroundRed, 125);
    EXPECT_EQ(settings().backgroundBlue, 217);
    EXPECT_EQ(Text(page1(), IDC_BACK_GREEN), QStringLiteral("167"));
    EXPECT_EQ(Swatch(IDC_BACK_SWATCH), QColor(125, 167, 217));
}

TEST_F(ColorsPageTest, ChosenColourGoesToTheSettingsEditsAndSwatch) {
    AnswerColorDialog(IDC_TEXT_COLOR_DIALOG, QColor(10, 20, 30));
    EXPECT_EQ(settings().textRed, 10);
    EXPECT_EQ(settings().textGreen, 20);
    EXPECT_EQ(settings().textBlue, 30);
    EXPECT_EQ(Text(page1(), IDC_TEXT_BLUE), QStringLiteral("30"));
    EXPECT_EQ(Swatch(IDC_TEXT_SWATCH), QColor(10, 20, 30));
    EXPECT_EQ(settings().backgroundRed, 125);
}

TEST_F(ColorsPageTest, FontSliderSetsTheHeightWithinItsRange) {
    settings().fontChanged = 0;
    MoveSlider(page1(), IDC_FONT_SLIDER, 30);
    EXPECT_EQ(settings().fontHeight, 30);
    EXPECT_EQ(settings().fontChanged, 1);
    EXPECT_EQ(Text(page1(), IDC_FONT_HEIGHT), QStringLiteral("30"));
    MoveSlider(page1(), IDC_FONT_SLIDER, 3);
    EXPECT_EQ(settings().fontHeight, 10);
    MoveSlider(page1(), IDC_FONT_SLIDER, 90);
    EXPECT_EQ(settings().fontHeight, 50);
}

TEST_F(ColorsPageTest, DisplayTextBoxSwitchesTheOverlayText) {
    auto* box = page1().DlgItem<QCheckBox>(IDC_DISPLAY_TEXT);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, box->height() / 2));
    EXPECT_EQ(settings().showText, 0);
    EXPECT_FALSE(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, box->height() / 2));
    EXPECT_EQ(settings().showText, 1);
}

} // namespace
