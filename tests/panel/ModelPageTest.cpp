#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include "PanelFixture.h"
#include "platform/ui/DataExchange.h"

namespace {

class ModelPageTest : public PanelTest {
protected:
    QTableWidget* List() { return page3().DlgItem<QTableWidget>(IDC_BLOCK_LIST); }
    QSlider* FrameSlider() { return page3().DlgItem<QSlider>(IDC_FRAME_SLIDER); }
    void ClickList(QPoint at) { QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, at); }
    QPoint RowCentre(int row) { return List()->visualRect(List()->model()->index(row, 1)).center(); }
    // Presses button `id`, holds it `heldMs` on the page's clock and lets go.
    void Press(int id, DWORD heldMs) {
        QWidget* button = page3().GetDlgItem(id);
        QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        now += heldMs;
        QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        now += 1000;
    }
};

TEST_F(ModelPageTest, ModelInfoListsTheBlocksAndChoosesTheFirst) {
    page3().UpdateModelInfo();
    EXPECT_EQ(Text(page3(), IDC_TRIANGLE_COUNT), QStringLiteral("2"));
    EXPECT_EQ(Text(page3(), IDC_BLOCK_COUNT), QStringLiteral("2"));
    EXPECT_EQ(Text(page3(), IDC_CURRENT_BLOCK), QStringLiteral("0"));
    CListCtrl& list = page3().m_blockList;
    ASSERT_EQ(list.GetItemCount(), 2);
    const QStringList rows[] = {{"stand01", "0", "3"}, {"run01", "3", "2"}};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(list.GetItemText(row, column), rows[row][column]) << row << ", " << column;
    }
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), 0u);
    EXPECT_EQ(FrameSlider()->minimum(), 0);
    EXPECT_EQ(FrameSlider()->maximum(), 2);
    EXPECT_EQ(model().currentFrame, 2);
    EXPECT_EQ(model().selectedBlock, 0);
    EXPECT_EQ(Text(page3(), IDC_LAST_FRAME), QStringLiteral("2"));
    EXPECT_EQ(page3().DlgItem<QSlider>(IDC_SPEED_SLIDER)->value(), 30);
    EXPECT_EQ(page3().DlgItem<QSlider>(IDC_NORMAL_SLIDER)->value(), 5);
}

TEST_F(ModelPageTest, BlockListIsAGriddedReportWithThreeCentredColumns) {
    QTableWidget* table = List();
    EXPECT_TRUE(table->showGrid());
    EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(table->selectionMode(), QAbstractItemView::SingleSelection);
    ASSERT_EQ(table->columnCount(), 3);
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), QStringLiteral("구 분"));
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), QStringLiteral("st_F."));
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), QStringLiteral("Frame"));
    EXPECT_EQ(table->columnWidth(0), 110);
    EXPECT_EQ(table->columnWidth(1), 40);
    EXPECT_EQ(table->columnWidth(2), table->contentsRect().width() - 150);
    page3().UpdateModelInfo();
    EXPECT_EQ(table->item(1, 2)->textAlignment(), int(Qt::AlignCenter));
}

TEST_F(ModelPageTest, ClickingARowChoosesItsBlockAndBelowTheRowsNothing) {
    page3().UpdateModelInfo();
    model().animationMode = ANIMATION_PLAY_BACKWARD;
    ClickList(RowCentre(1));
    EXPECT_EQ(FrameSlider()->minimum(), 3);
    EXPECT_EQ(FrameSlider()->maximum(), 4);
    EXPECT_EQ(Text(page3(), IDC_FIRST_FRAME), QStringLiteral("3"));
    EXPECT_EQ(Text(page3(), IDC_LAST_FRAME), QStringLiteral("4"));
    EXPECT_EQ(model().currentFrame, 4);
    EXPECT_EQ(model().selectedBlock, 1);
    EXPECT_EQ(Text(page3(), IDC_CURRENT_BLOCK), QStringLiteral("1"));
    EXPECT_EQ(model().animationMode, ANIMATION_PLAY_BACKWARD);

    model().currentFrame = 3;
    ClickList(QPoint(20, List()->viewport()->height() - 3));
    EXPECT_EQ(model().selectedBlock, 1);
    EXPECT_EQ(model().currentFrame, 3);
    EXPECT_EQ(FrameSlider()->minimum(), 3);
}

TEST_F(ModelPageTest, MovingTheFrameSliderStopsOnThatFrame) {
    page3().UpdateModelInfo();
    model().animationMode = ANIMATION_PLAY_FORWARD;
    MoveSlider(page3(), IDC_FRAME_SLIDER, 1);
    EXPECT_EQ(model().currentFrame, 1);
    EXPECT_EQ(model().animationMode, ANIMATION_STOPPED);
    EXPECT_FALSE(page3().UpdateFrame() == FALSE);
    EXPECT_EQ(Text(page3(), IDC_CURRENT_FRAME), QStringLiteral("1"));
}

TEST_F(ModelPageTest, NormalSliderAloneLeavesTheAnimationAndTakesTheSpeedFromItsSlider) {
    page3().UpdateModelInfo();
    model().animationMode = ANIMATION_PLAY_FORWARD;
    theScene->modelFile.speed = 44;
    MoveSlider(page3(), IDC_NORMAL_SLIDER, 7);
    EXPECT_EQ(settings().normalLength, 7);
    EXPECT_EQ(Text(page3(), IDC_NORMAL_LENGTH), QStringLiteral("7"));
    EXPECT_EQ(theScene->modelFile.speed, 30) << "the speed slider's position";
    EXPECT_FLOAT_EQ(settings().frameInterval, 1000.0f / 30.0f);
    EXPECT_EQ(model().animationMode, ANIMATION_PLAY_FORWARD);
    EXPECT_EQ(model().currentFrame, 2);
}

TEST_F(ModelPageTest, TypedSpeedAboveTheSliderHoldsUntilASliderMoves) {
    page3().UpdateModelInfo();
    TypeOver(page3(), IDC_SPEED, "80");
    EXPECT_EQ(theScene->modelFile.speed, 80);
    EXPECT_FLOAT_EQ(settings().frameInterval, 12.5f);
    EXPECT_EQ(page3().DlgItem<QSlider>(IDC_SPEED_SLIDER)->value(), 50);
    page3().UpdateFrame();
    EXPECT_EQ(theScene->modelFile.speed, 80);
    MoveSlider(page3(), IDC_NORMAL_SLIDER, 3);
    EXPECT_EQ(theScene->modelFile.speed, 50);
    EXPECT_FLOAT_EQ(settings().frameInterval, 20.0f);
    EXPECT_EQ(Text(page3(), IDC_SPEED), QStringLiteral("50"));
}

TEST_F(ModelPageTest, SpeedSliderSetsSpeedIntervalAndEdit) {
    page3().UpdateModelInfo();
    MoveSlider(page3(), IDC_SPEED_SLIDER, 10);
    EXPECT_EQ(theScene->modelFile.speed, 10);
    EXPECT_FLOAT_EQ(settings().frameInterval, 100.0f);
    EXPECT_EQ(Text(page3(), IDC_SPEED), QStringLiteral("10"));
    // The left end: the model stands still instead of dividing by zero.
    MoveSlider(page3(), IDC_SPEED_SLIDER, 0);
    EXPECT_EQ(theScene->modelFile.speed, 0);
    EXPECT_GT(settings().frameInterval, 1.0e30f);
}

TEST_F(ModelPageTest, EachKeystrokeInTheSpeedEditTakesEffect) {
    page3().UpdateModelInfo();
    TypeOver(page3(), IDC_SPEED, "2");
    EXPECT_EQ(theScene->modelFile.speed, 2);
    EXPECT_FLOAT_EQ(settings().frameInterval, 500.0f);
    QTest::keyClicks(page3().DlgItem<QLineEdit>(IDC_SPEED), QStringLiteral("0"));
    EXPECT_EQ(theScene->modelFile.speed, 20);
    EXPECT_FLOAT_EQ(settings().frameInterval, 50.0f);
    EXPECT_EQ(page3().DlgItem<QSlider>(IDC_SPEED_SLIDER)->value(), 20);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ModelPageTest, EmptySpeedEditIsRefusedAndTheNextPictureRestoresIt) {
    page3().UpdateModelInfo();
    auto* edit = page3().DlgItem<QLineEdit>(IDC_SPEED);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(QString::fromStdString(messages.messages[0].text), IntegerExpectedMessage());
    EXPECT_EQ(theScene->modelFile.speed, 30);
    EXPECT_FLOAT_EQ(settings().frameInterval, 1000.0f / 30.0f);
    EXPECT_EQ(page3().UpdateFrame(), TRUE);
    EXPECT_EQ(edit->text(), QStringLiteral("30"));
    EXPECT_EQ(messages.messages.size(), 1u) << "refreshing the page does not re-enter its handlers";
}

TEST_F(ModelPageTest, PlayButtonsTellStepFromPlayByHowLongTheyWereHeld) {
    page3().UpdateModelInfo();
    const struct {
        int id;
        DWORD held;
        std::int32_t mode;
    } cases[] = {
        {IDC_BUTTON_AHEAD, 300, ANIMATION_PLAY_FORWARD_BUTTON},
        {IDC_BUTTON_AHEAD, 20, ANIMATION_STEP_FORWARD},
        {IDC_BUTTON_BACK, 300, ANIMATION_PLAY_BACKWARD},
        {IDC_BUTTON_BACK, 20, ANIMATION_STEP_BACKWARD},
        {IDC_BUTTON_BACK, 200, ANIMATION_PLAY_BACKWARD},
        {IDC_BUTTON_BACK, 199, ANIMATION_STEP_BACKWARD},
        {IDC_BUTTON_PLAY, 300, ANIMATION_PLAY_FORWARD},
        {IDC_BUTTON_STOP, 20, ANIMATION_STOPPED},
        {IDC_BUTTON_PLAY, 20, ANIMATION_PLAY_FORWARD},
        {IDC_BUTTON_STOP, 300, ANIMATION_STOPPED},
    };
    for (const auto& c : cases) {
        model().animationMode = -1;
        Press(c.id, c.held);
        EXPECT_EQ(model().animationMode, c.mode) << "button " << c.id << " held " << c.held;
    }
}

TEST_F(ModelPageTest, NormalsCommandAndCheckBoxAgree) {
    auto* box = page3().DlgItem<QCheckBox>(IDC_DISPLAY_NORMALS);
    settings().showNormals = 1;
    page3().SetShowNormals(settings().showNormals);
    EXPECT_TRUE(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, box->height() / 2));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(settings().showNormals, 0);
    settings().showNormals = 1;
    page3().SetShowNormals(settings().showNormals);
    EXPECT_TRUE(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, box->height() / 2));
    EXPECT_EQ(settings().showNormals, 0);
    EXPECT_FALSE(box->isChecked());
}

TEST_F(ModelPageTest, LiftAndInverseNormalBoxesToggleTheirSwitches) {
    auto* lift = page3().DlgItem<QCheckBox>(IDC_APPLY_OFFSET_Y);
    auto* inverse = page3().DlgItem<QCheckBox>(IDC_INVERSE_NORMALS);
    EXPECT_TRUE(lift->isChecked()) << "shows the lift that is on at start";
    EXPECT_FALSE(inverse->isChecked());
    QTest::mouseClick(lift, Qt::LeftButton, Qt::NoModifier, QPoint(5, lift->height() / 2));
    EXPECT_EQ(settings().applyOffsetY, 0);
    EXPECT_FALSE(lift->isChecked());
    QTest::mouseClick(inverse, Qt::LeftButton, Qt::NoModifier, QPoint(5, inverse->height() / 2));
    EXPECT_EQ(settings().inverseNormals, 1);
    QTest::mouseClick(inverse, Qt::LeftButton, Qt::NoModifier, QPoint(5, inverse->height() / 2));
    EXPECT_EQ(settings().inverseNormals, 0);
}

TEST_F(ModelPageTest, FrameRefreshRewritesOnlyWhatChanged) {
    page3().UpdateModelInfo();
    QSignalSpy speedWrites(page3().DlgItem<QLineEdit>(IDC_SPEED), &QLineEdit::textChanged);
    QSignalSpy frameWrites(page3().DlgItem<QLineEdit>(IDC_CURRENT_FRAME), &QLineEdit::textChanged);
    for (int frame : {0, 0, 1, 1, 2}) {
        model().currentFrame = frame;
        EXPECT_EQ(page3().UpdateFrame(), TRUE);
        EXPECT_EQ(FrameSlider()->value(), frame);
    }
    EXPECT_EQ(speedWrites.count(), 0);
    EXPECT_EQ(frameWrites.count(), 3);
    EXPECT_EQ(Text(page3(), IDC_CURRENT_FRAME), QStringLiteral("2"));
}

TEST_F(ModelPageTest, ModelWithoutBlocksLeavesTheListEmpty) {
    page3().UpdateModelInfo();
    theScene->model = std::make_unique<MD2Model>();
    page3().UpdateModelInfo();
    EXPECT_EQ(page3().m_blockList.GetItemCount(), 0);
    for (int id : {IDC_TRIANGLE_COUNT, IDC_BLOCK_COUNT, IDC_CURRENT_BLOCK, IDC_FIRST_FRAME, IDC_LAST_FRAME,
                   IDC_CURRENT_FRAME})
        EXPECT_EQ(Text(page3(), id), QStringLiteral("0")) << id;
    page3().SelectBlock(0);
    ClickList(QPoint(20, 20));
    EXPECT_EQ(page3().UpdateFrame(), TRUE);

    theScene->model.reset();
    page3().UpdateModelInfo();
    MoveSlider(page3(), IDC_NORMAL_SLIDER, 4);
    Press(IDC_BUTTON_PLAY, 10);
    EXPECT_EQ(page3().UpdateFrame(), TRUE);
    EXPECT_EQ(page3().m_blockList.GetItemCount(), 0);
}

TEST_F(ModelPageTest, PlayButtonsShowTheirRoundPictures) {
    auto* play = page3().DlgItem<QPushButton>(IDC_BUTTON_PLAY);
    EXPECT_EQ(play->size(), QSize(20, 20));
    const QImage up = page3().m_buttonPlay.UpPicture();
    const QImage down = page3().m_buttonPlay.DownPicture();
    ASSERT_EQ(up.size(), QSize(20, 20));
    EXPECT_EQ(up.pixelColor(0, 0).alpha(), 0) << "outside the round face";
    const QColor symbolUp = up.pixelColor(9, 10);
    const QColor symbolDown = down.pixelColor(10, 11);
    EXPECT_GT(symbolUp.green(), 2 * symbolUp.red());
    EXPECT_LT(symbolUp.green(), 128) << "dark green when up";
    EXPECT_GT(symbolDown.green(), 200) << "bright green when pressed";
    const QColor face = up.pixelColor(15, 4);
    EXPECT_GT(face.blue(), face.red()) << "blue-grey face";
    EXPECT_EQ(play->grab().toImage().convertToFormat(QImage::Format_ARGB32).pixelColor(9, 10), symbolUp);
    EXPECT_TRUE(LoadButtonBitmap(QStringLiteral("XU")).isNull());
    EXPECT_NE(LoadButtonBitmap(QStringLiteral("BU")), LoadButtonBitmap(QStringLiteral("AU")));
}

} // namespace
