#include <gtest/gtest.h>

#include "MD2TestModels.h"
#include "state/AnimationSpeed.h"
#include "support/MessageRecorder.h"
#include "support/RenderSettingsScope.h"
#include "support/TempDir.h"

namespace {

class MD2AnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ReadModelBytes(model, dir.File("m.md2"),
                                 WriteMD2(MakeTestModel({"stand01", "stand02", "stand03", "run01", "run02"}))),
                  S_OK);
    }
    // Frames shown by `count` pictures one interval apart.
    std::vector<int> Play(int from, int mode, int count) {
        model.currentFrame = from;
        model.animationMode = mode;
        std::vector<int> shown;
        for (int i = 0; i < count; ++i) {
            shown.push_back(model.currentFrame);
            time += 40.0f;
            model.Animate(time);
        }
        return shown;
    }

    TempDir dir;
    MessageRecorder recorder;
    RenderSettingsScope scope;
    MD2Model model;
    float time = 0.0f;
};

TEST_F(MD2AnimationTest, ForwardLoopsInsideTheBlock) {
    EXPECT_EQ(Play(0, ANIMATION_PLAY_FORWARD, 7), (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
    EXPECT_EQ(Play(3, ANIMATION_PLAY_FORWARD_BUTTON, 5), (std::vector<int>{3, 4, 3, 4, 3}));
}

TEST_F(MD2AnimationTest, BackwardLoopsInsideTheBlock) {
    EXPECT_EQ(Play(2, ANIMATION_PLAY_BACKWARD, 7), (std::vector<int>{2, 1, 0, 2, 1, 0, 2}));
    EXPECT_EQ(Play(4, ANIMATION_PLAY_BACKWARD, 4), (std::vector<int>{4, 3, 4, 3}));
    EXPECT_EQ(Play(3, ANIMATION_PLAY_BACKWARD, 4), (std::vector<int>{3, 4, 3, 4}));
}

TEST_F(MD2AnimationTest, StoppedAndUnknownModesStayPut) {
    EXPECT_EQ(Play(1, ANIMATION_STOPPED, 3), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(Play(1, 2, 3), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(Play(1, 99, 3), (std::vector<int>{1, 1, 1}));
}

TEST_F(MD2AnimationTest, StepsHappenOnlyWhenAnIntervalHasPassed) {
    scope.settings.frameInterval = 1000.0f / 30.0f;
    scope.settings.lastFrameTime = 0.0f;
    model.animationMode = ANIMATION_PLAY_FORWARD;
    std::vector<int> frames;
    for (float t : {0.0f, 20.0f, 40.0f, 60.0f, 80.0f}) {
        model.Animate(t);
        frames.push_back(model.currentFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 2}));
    EXPECT_EQ(scope.settings.lastFrameTime, 80.0f);
}

TEST_F(MD2AnimationTest, SingleStepsStopAfterOneStepOrWhenNotDue) {
    scope.settings.lastFrameTime = 100.0f;
    model.currentFrame = 1;
    model.animationMode = ANIMATION_STEP_FORWARD;
    model.Animate(110.0f);
    EXPECT_EQ(model.animationMode, ANIMATION_STOPPED);
    EXPECT_EQ(model.currentFrame, 1); // not due: the step is dropped

    model.animationMode = ANIMATION_STEP_BACKWARD;
    model.Animate(200.0f);
    EXPECT_EQ(model.animationMode, ANIMATION_STOPPED);
    EXPECT_EQ(model.currentFrame, 0);
    model.Animate(300.0f);
    EXPECT_EQ(model.currentFrame, 0);
}

TEST_F(MD2AnimationTest, ChoosingABlockStartsAtItsFirstFrameOnTheNextStep) {
    // The panel puts the block's last frame (the link of its first) as the current frame.
    model.currentFrame = model.frames[3].link;
    EXPECT_EQ(model.currentFrame, 4);
    model.animationMode = ANIMATION_PLAY_FORWARD;
    model.Animate(1000.0f);
    EXPECT_EQ(model.currentFrame, 3);
}

TEST_F(MD2AnimationTest, SpeedsOfZeroOrLessNeverStepAndNeverDivideByZero) {
    EXPECT_FLOAT_EQ(FrameIntervalForSpeed(30), 33.333332f);
    EXPECT_EQ(FrameIntervalForSpeed(1), 1000.0f);
    for (int speed : {0, -5}) {
        scope.settings.frameInterval = FrameIntervalForSpeed(speed);
        EXPECT_EQ(Play(0, ANIMATION_PLAY_FORWARD, 4), (std::vector<int>{0, 0, 0, 0}));
    }
}

TEST_F(MD2AnimationTest, AFrameOutsideTheModelIsBroughtBackInside) {
    EXPECT_EQ(Play(57, ANIMATION_PLAY_FORWARD, 3), (std::vector<int>{57, 3, 4})); // drawn as 4, the last frame
    model.currentFrame = -3;
    model.animationMode = ANIMATION_STOPPED;
    model.Animate(time + 100.0f);
    EXPECT_EQ(model.currentFrame, 0);
}

TEST_F(MD2AnimationTest, OneFrameBlocksAndEmptyModelsStayStill) {
    MD2Model single;
    ASSERT_EQ(ReadModelBytes(single, dir.File("one.md2"), WriteMD2(MakeTestModel({"a01", "b01", "b02"}))), S_OK);
    for (int mode : {ANIMATION_PLAY_FORWARD, ANIMATION_PLAY_BACKWARD}) {
        single.currentFrame = 0;
        single.animationMode = mode;
        for (int i = 0; i < 3; ++i) {
            time += 100.0f;
            single.Animate(time);
            EXPECT_EQ(single.currentFrame, 0);
        }
    }
    MD2Model empty;
    empty.Animate(time + 1000.0f);
    EXPECT_EQ(empty.currentFrame, 0);
}

} // namespace
