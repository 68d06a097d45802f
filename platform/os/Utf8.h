#pragma once
// UTF-8 text: 8-bit text of the system code page is UTF-8 here.

#include <cstddef>
#include <string_view>

// Bytes of the well-formed UTF-8 sequence at the start of `text` (1 for an ASCII byte), or 0 when
// it starts with no well-formed sequence (a stray continuation byte, an overlong or cut lead).
std::size_t Utf8SequenceLength(std::string_view text);
