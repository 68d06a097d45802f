#include "platform/os/FileMapping.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string Contents(const FileMapping& mapping) {
    return std::string(reinterpret_cast<const char*>(mapping.data()), mapping.size());
}

TEST(FileMapping, MapsAWholeFile) {
    TempFolder folder;
    const std::string bytes("IDP2\0\x08\x00\x00 and more", 17);
    WriteBytes(folder.File("model.md2"), bytes);

    FileMapping mapping;
    ASSERT_EQ(mapping.Open(folder.File("model.md2").c_str()), S_OK);
    EXPECT_EQ(Contents(mapping), bytes);

    FileMapping moved = std::move(mapping);
    EXPECT_EQ(mapping.data(), nullptr);
    EXPECT_EQ(mapping.size(), 0u);
    EXPECT_EQ(Contents(moved), bytes);
    moved.Close();
    EXPECT_EQ(moved.data(), nullptr);
}

TEST(FileMapping, EmptyFileMapsToNothing) {
    TempFolder folder;
    WriteBytes(folder.File("empty"), "");
    FileMapping mapping;
    EXPECT_EQ(mapping.Open(folder.File("empty").c_str()), S_OK);
    EXPECT_EQ(mapping.data(), nullptr);
    EXPECT_EQ(mapping.size(), 0u);
}

TEST(FileMapping, MissingFileOrFolderFails) {
    TempFolder folder;
    WriteBytes(folder.File("real"), "data");
    FileMapping mapping;
    ASSERT_EQ(mapping.Open(folder.File("real").c_str()), S_OK);

    EXPECT_EQ(mapping.Open(folder.File("missing").c_str()), E_FAIL);
    EXPECT_EQ(mapping.data(), nullptr) << "a failed open must drop the earlier mapping";
    EXPECT_EQ(mapping.size(), 0u);
    EXPECT_EQ(mapping.Open(folder.Path().c_str()), E_FAIL);
    EXPECT_EQ(mapping.Open(nullptr), E_FAIL);
}

} // namespace
