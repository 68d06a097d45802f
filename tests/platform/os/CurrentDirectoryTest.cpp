#include "platform/os/CurrentDirectory.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class CurrentDirectory : public testing::Test {
protected:
    void SetUp() override { std::filesystem::current_path(folder.Path()); }
    void TearDown() override { std::filesystem::current_path(saved); }

    std::filesystem::path saved = std::filesystem::current_path();
    TempFolder folder;
    std::string expected = folder.Path().string();
    DWORD length = static_cast<DWORD>(expected.size());
};

TEST_F(CurrentDirectory, FitsWhenThereIsRoomForTheNul) {
    std::string buffer(length + 1, '#');
    EXPECT_EQ(GetCurrentDirectoryA(length + 1, buffer.data()), length);
    EXPECT_EQ(buffer, expected + '\0');
}

TEST_F(CurrentDirectory, TooSmallReportsTheSizeNeededAndWritesNothing) {
    std::string buffer(length + 4, '#');
    EXPECT_EQ(GetCurrentDirectoryA(length, buffer.data()), length + 1);
    EXPECT_EQ(buffer, std::string(length + 4, '#'));
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), length + 1);
}

TEST_F(CurrentDirectory, RemovedDirectoryFails) {
    const std::filesystem::path gone = folder.Path() / "gone";
    std::filesystem::create_directory(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);
    char buffer[4096];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 0u);
}

} // namespace
