#include "platform/os/SwitchStore.h"

#include <gtest/gtest.h>

#include <stdlib.h>

namespace {

constexpr const char* kSwitch = "LumivoxTestSwitch";

class SwitchStore : public testing::Test {
protected:
    void TearDown() override { ::unsetenv(kSwitch); }

    // The switch's value, or 0xDEADBEEF when it counts as missing.
    DWORD Read(const char* text) {
        ::setenv(kSwitch, text, 1);
        DWORD value = 0xDEADBEEF;
        found = ReadSwitch(kSwitch, &value);
        return value;
    }
    bool found = false;
};

TEST_F(SwitchStore, NumbersAreRead) {
    EXPECT_EQ(Read("1"), 1u);
    EXPECT_TRUE(found);
    EXPECT_EQ(Read(" \t2 \n"), 2u);
    EXPECT_EQ(Read("0"), 0u);
    EXPECT_TRUE(found);
    EXPECT_EQ(Read("0x1F"), 31u);
    EXPECT_EQ(Read("0XfF"), 255u);
    EXPECT_EQ(Read("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(Read("0xFFFFFFFF"), 0xFFFFFFFFu);
}

TEST_F(SwitchStore, AnythingElseCountsAsMissing) {
    for (const char* junk : {"", "  ", "yes", "2x", "1 2", "-1", "+1", "0x", "0xG", "4294967296",
                             "0x100000000", "99999999999999999999999"}) {
        EXPECT_EQ(Read(junk), 0xDEADBEEFu) << '"' << junk << '"';
        EXPECT_FALSE(found) << '"' << junk << '"';
    }
}

TEST_F(SwitchStore, UnsetSwitchIsMissing) {
    ::unsetenv(kSwitch);
    DWORD value = 7;
    EXPECT_FALSE(ReadSwitch(kSwitch, &value));
    EXPECT_EQ(value, 7u);
    EXPECT_FALSE(ReadSwitch(nullptr, &value));
}

} // namespace
