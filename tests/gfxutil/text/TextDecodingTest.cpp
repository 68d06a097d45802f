// Decoding 8-bit (UTF-8) and wide (UTF-16) text: valid text intact, malformed units replaced one
// by one without reading past the end.

#include "gfxutil/text/TextDecoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u32string Utf8(const std::string& bytes) {
    return DecodeUtf8(bytes.data(), bytes.size());
}

TEST(TextDecodingTest, ValidUtf8KeepsEveryCharacter) {
    EXPECT_EQ(Utf8("FPS: 60.0"), U"FPS: 60.0");
    EXPECT_EQ(Utf8("우씨~"), U"우씨~");
    EXPECT_EQ(Utf8("\xC3\xA9\xF0\x9F\x98\x80"), U"é\U0001F600");
    EXPECT_EQ(Utf8(std::string("a\0b", 3)), std::u32string(U"a\0b", 3)) << "a count may cover a zero byte";
}

TEST(TextDecodingTest, MalformedUtf8BecomesReplacementCharacters) {
    const char32_t r = kReplacementCharacter;
    EXPECT_EQ(Utf8("A\xFF"
                   "B"),
              (std::u32string{U'A', r, U'B'}));
    EXPECT_EQ(Utf8("\x80\x80"), (std::u32string{r, r})) << "stray continuation bytes";
    EXPECT_EQ(Utf8("\xC0\xAF"), (std::u32string{r, r})) << "overlong forms are not characters";
    EXPECT_EQ(Utf8("\xED\xA0\x80"), (std::u32string{r})) << "encoded surrogates";
    EXPECT_EQ(Utf8("\xF4\x90\x80\x80"), (std::u32string{r})) << "beyond U+10FFFF";
    EXPECT_EQ(Utf8("\xE0\x80"
                   "x"),
              (std::u32string{r, U'x'}))
        << "a cut sequence keeps what follows";
    EXPECT_EQ(Utf8("x\xF0\x9F"), (std::u32string{U'x', r})) << "a sequence cut by the end";
    EXPECT_TRUE(DecodeUtf8(nullptr, 5).empty());
}

TEST(TextDecodingTest, Utf16PairsAndLoneSurrogates) {
    const char16_t pair[] = {u'a', 0xD83D, 0xDE00, 0};
    EXPECT_EQ(DecodeUtf16(pair, 3), U"a\U0001F600");
    const char16_t lone[] = {0xDE00, u'b', 0xD83D};
    EXPECT_EQ(DecodeUtf16(lone, 3), (std::u32string{kReplacementCharacter, U'b', kReplacementCharacter}));
    EXPECT_EQ(DecodeUtf16(pair, 2), (std::u32string{U'a', kReplacementCharacter}))
        << "a pair cut by the count";
}

TEST(TextDecodingTest, NegativeCountMeansZeroTerminated) {
    EXPECT_EQ(TextLength("abc", -1), 3u);
    EXPECT_EQ(TextLength("abc", -7), 3u);
    EXPECT_EQ(TextLength("abcdef", 2), 2u);
    EXPECT_EQ(TextLength(u"wide", -1), 4u);
    EXPECT_EQ(TextLength(static_cast<const char*>(nullptr), -1), 0u);
}

} // namespace
