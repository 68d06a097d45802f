#include "platform/os/PrivateProfile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PrivateProfileRead : public testing::Test {
protected:
    std::string Get(const char* section, const char* key, const char* fallback = "none", DWORD size = 512) {
        std::string buffer(size, '#');
        lastLength = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, file.c_str());
        return buffer.c_str();
    }
    UINT GetInt(const char* key, INT fallback = 30) {
        return GetPrivateProfileIntA("MD2Data", key, fallback, file.c_str());
    }

    TempFolder folder;
    std::string file = folder.File("MD2DATA.ini");
    DWORD lastLength = 0;
};

TEST_F(PrivateProfileRead, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(Get("MD2Data", "Speed", "dflt"), "dflt");
    EXPECT_EQ(lastLength, 4u);
    EXPECT_EQ(Get("MD2Data", "Speed", nullptr), "");
    EXPECT_EQ(lastLength, 0u);

    WriteBytes(file, "[Other]\nSpeed=5\n[MD2Data]\nTexture=a.jpg\n");
    EXPECT_EQ(Get("Missing", "Speed"), "none");
    EXPECT_EQ(Get("MD2Data", "Speed"), "none") << "a key of another section must not be found";
    EXPECT_EQ(Get("MD2Data", "Texture"), "a.jpg");
    EXPECT_EQ(Get("MD2Data", "Speed", "trailing  "), "trailing");
}

TEST_F(PrivateProfileRead, NamesMatchIgnoringCaseAndBlanks) {
    WriteBytes(
        file,
        "; Speed=1 is only a comment\n[ md2data ]\n;Speed=2\n  SPEED =   30  \nMD2file=C:\\a b\\x.md2\n");
    EXPECT_EQ(Get("MD2Data", "Speed"), "30");
    EXPECT_EQ(Get("MD2DATA", "md2FILE"), "C:\\a b\\x.md2");
}

TEST_F(PrivateProfileRead, MatchingQuotesAreRemoved) {
    WriteBytes(file, "[MD2Data]\na=\"two words \"\nb='x'\nc=\"unbalanced\nd=\"\"\ne=\"mixed'\n");
    EXPECT_EQ(Get("MD2Data", "a"), "two words ");
    EXPECT_EQ(Get("MD2Data", "b"), "x");
    EXPECT_EQ(Get("MD2Data", "c"), "\"unbalanced");
    EXPECT_EQ(Get("MD2Data", "d", "none"), "");
    EXPECT_EQ(Get("MD2Data", "e"), "\"mixed'");
}

TEST_F(PrivateProfileRead, ResultIsCutToTheBuffer) {
    WriteBytes(file, "[MD2Data]\nTexture=abcdef\n");
    EXPECT_EQ(Get("MD2Data", "Texture", "", 4), "abc");
    EXPECT_EQ(lastLength, 3u);
    EXPECT_EQ(Get("MD2Data", "Texture", "", 7), "abcdef");
    EXPECT_EQ(lastLength, 6u);
    EXPECT_EQ(Get("MD2Data", "Missing", "default", 3), "de");
    EXPECT_EQ(Get("MD2Data", "Texture", "", 1), "");
    EXPECT_EQ(lastLength, 0u);

    char untouched = '#';
    EXPECT_EQ(GetPrivateProfileStringA("MD2Data", "Texture", "", &untouched, 0, file.c_str()), 0u);
    EXPECT_EQ(untouched, '#');
    EXPECT_EQ(GetPrivateProfileStringA("MD2Data", "Texture", "", nullptr, 10, file.c_str()), 0u);
}

TEST_F(PrivateProfileRead, LongLinesAndWindowsLineEndings) {
    const std::string longValue(100000, 'v');
    WriteBytes(file, "\xEF\xBB\xBF[MD2Data]\r\nSpeed=25\r\nLong=" + longValue + "\r\nMD2file=x.md2\r\n");
    EXPECT_EQ(Get("MD2Data", "MD2file"), "x.md2");
    EXPECT_EQ(GetInt("Speed"), 25u);
    EXPECT_EQ(Get("MD2Data", "Long", "", 256), std::string(255, 'v'));
    EXPECT_EQ(Get("MD2Data", "Long", "", 200000), longValue);
}

TEST_F(PrivateProfileRead, IntegersFollowWin32Parsing) {
    WriteBytes(file, "[MD2Data]\nplain=50\nneg= -5\nplus=+7\nhex=0x1F\ntrail=12fps\nword=fast\nempty=\n");
    EXPECT_EQ(GetInt("plain"), 50u);
    EXPECT_EQ(static_cast<int>(GetInt("neg")), -5);
    EXPECT_EQ(GetInt("plus"), 7u);
    EXPECT_EQ(GetInt("hex"), 31u);
    EXPECT_EQ(GetInt("trail"), 12u);
    EXPECT_EQ(GetInt("word"), 0u);
    EXPECT_EQ(GetInt("empty"), 30u);
    EXPECT_EQ(GetInt("missing"), 30u);
    EXPECT_EQ(static_cast<int>(GetInt("missing", -2)), -2);
    EXPECT_EQ(GetPrivateProfileIntA("MD2Data", "plain", 30, folder.File("absent.ini").c_str()), 30u);
}

TEST_F(PrivateProfileRead, NullNamesListSectionsAndKeys) {
    WriteBytes(file, "[One]\na=1\nB=2\n[two]\nc=3\n[ONE]\nd=4\n");
    char buffer[64];
    DWORD length = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(std::string(buffer, length + 1), std::string("One\0two\0\0", 9));
    length = GetPrivateProfileStringA("one", nullptr, "", buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(std::string(buffer, length + 1), std::string("a\0B\0\0", 5));

    length = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 5, file.c_str());
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(std::string(buffer, 5), std::string("One\0\0", 5));
}

} // namespace
