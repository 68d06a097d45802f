#include <gtest/gtest.h>

#include "platform/os/Utf8.h"

TEST(Utf8Test, WellFormedSequencesAreMeasuredByTheirLead) {
    EXPECT_EQ(Utf8SequenceLength("a"), 1u);
    EXPECT_EQ(Utf8SequenceLength("\xC3\xA9x"), 2u);                // é
    EXPECT_EQ(Utf8SequenceLength("\xED\x95\x9C\xEA\xB8\x80"), 3u); // 한글: the first syllable only
    EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x99\x82"), 4u);
}

TEST(Utf8Test, MalformedOrCutSequencesMeasureZero) {
    EXPECT_EQ(Utf8SequenceLength(""), 0u);
    EXPECT_EQ(Utf8SequenceLength("\x80"), 0u);             // a continuation byte cannot lead
    EXPECT_EQ(Utf8SequenceLength("\xC0\x80"), 0u);         // overlong lead
    EXPECT_EQ(Utf8SequenceLength("\xF5\x80\x80\x80"), 0u); // beyond U+10FFFF
    EXPECT_EQ(Utf8SequenceLength("\xED\x95"), 0u);         // cut short at the end of the text
    EXPECT_EQ(Utf8SequenceLength("\xED\x95x"), 0u);        // an ASCII byte where a continuation belongs
}
