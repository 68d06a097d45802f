#pragma once
// Turning 8-bit (UTF-8) and wide (UTF-16) text into code points. Malformed sequences become
// U+FFFD, one per bad unit, so no input can read past its end or lose the text after it.

#include <cstddef>
#include <string>

constexpr char32_t kReplacementCharacter = 0xFFFD;

std::u32string DecodeUtf8(const char* text, std::size_t length);
std::u32string DecodeUtf16(const char16_t* text, std::size_t length);

// The length of a zero-terminated string when count is negative, else count.
std::size_t TextLength(const char* text, int count);
std::size_t TextLength(const char16_t* text, int count);
