#include "platform/os/MessageBox.h"

#include "MessageBoxRecorder.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageBox, HandlerReceivesTheBoxAndAnswersIt) {
    MessageBoxRecorder recorder(IDCANCEL);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(MessageBoxA(owner, "initD3D() - Failed", "Error", MB_OK | MB_ICONERROR), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDCANCEL);

    ASSERT_EQ(recorder.shown.size(), 2u);
    EXPECT_EQ(recorder.shown[0].owner, owner);
    EXPECT_EQ(recorder.shown[0].text, "initD3D() - Failed");
    EXPECT_EQ(recorder.shown[0].caption, "Error");
    EXPECT_EQ(recorder.shown[0].type, MB_ICONERROR);
    EXPECT_EQ(recorder.shown[1].text, "");
    EXPECT_EQ(recorder.shown[1].caption, "");
}

TEST(MessageBox, InstallingReturnsThePreviousHandler) {
    MessageBoxRecorder outer;
    {
        MessageBoxRecorder inner;
        MessageBoxA(nullptr, "inner", "c", MB_OK);
        EXPECT_EQ(inner.shown.size(), 1u);
    }
    MessageBoxA(nullptr, "outer", "c", MB_OK);
    ASSERT_EQ(outer.shown.size(), 1u);
    EXPECT_EQ(outer.shown[0].text, "outer");
}

TEST(MessageBox, DefaultHandlerPrintsToStderrWithoutWaiting) {
    const MessageBoxHandler saved = SetMessageBoxHandler(nullptr);
    testing::internal::CaptureStderr();
    const int answer = MessageBoxA(nullptr, "Could not find Load_MD2_File", "Loading_error", MB_OK);
    const std::string printed = testing::internal::GetCapturedStderr();
    SetMessageBoxHandler(saved);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(printed, "Loading_error: Could not find Load_MD2_File\n");
}

TEST(MessageBox, HandlerMayReplaceItselfWhileShowing) {
    MessageBoxRecorder recorder;
    const MessageBoxHandler saved = SetMessageBoxHandler([](HWND, const char* text, const char*, UINT) {
        SetMessageBoxHandler(nullptr);
        return std::string(text) == "first" ? IDYES : IDNO;
    });
    EXPECT_EQ(MessageBoxA(nullptr, "first", "c", MB_YESNO), IDYES);
    SetMessageBoxHandler(saved);
    MessageBoxA(nullptr, "second", "c", MB_OK);
    ASSERT_EQ(recorder.shown.size(), 1u);
    EXPECT_EQ(recorder.shown[0].text, "second");
}

TEST(QuitRequest, IsRecordedAndReported) {
    ClearQuitRequest();
    EXPECT_FALSE(QuitRequested());
    int toldCode = -1;
    const QuitHandler saved = SetQuitHandler([&](int code) { toldCode = code; });

    PostQuitMessage(3);
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(QuitExitCode(), 3);
    EXPECT_EQ(toldCode, 3);

    ClearQuitRequest();
    EXPECT_FALSE(QuitRequested());
    SetQuitHandler(saved);
    PostQuitMessage(0);
    EXPECT_EQ(toldCode, 3) << "a removed quit handler is no longer told";
    EXPECT_TRUE(QuitRequested());
    ClearQuitRequest();
}

} // namespace
