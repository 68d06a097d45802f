#include "gfxutil/text/TextDecoding.h"

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

struct Utf8Lead {
    int extraBytes;
    char32_t initialBits;
    char32_t minimum; // smallest value this length may encode; below it is an overlong form
};

bool ReadLead(unsigned char byte, Utf8Lead& lead) {
    if (byte >= 0xC2 && byte <= 0xDF)
        lead = {1, char32_t(byte & 0x1F), 0x80};
    else if (byte >= 0xE0 && byte <= 0xEF)
        lead = {2, char32_t(byte & 0x0F), 0x800};
    else if (byte >= 0xF0 && byte <= 0xF4)
        lead = {3, char32_t(byte & 0x07), 0x10000};
    else
        return false;
    return true;
}

// Decodes one sequence at text[i]; returns the number of bytes used (at least 1).
std::size_t DecodeUtf8Sequence(const unsigned char* text, std::size_t length, std::size_t i, char32_t& out) {
    const unsigned char byte = text[i];
    out = kReplacementCharacter;
    if (byte < 0x80) {
        out = byte;
        return 1;
    }
    Utf8Lead lead{};
    if (!ReadLead(byte, lead))
        return 1;
    char32_t value = lead.initialBits;
    for (int k = 1; k <= lead.extraBytes; ++k) {
        if (i + k >= length || !IsContinuation(text[i + k]))
            return std::size_t(k);
        value = (value << 6) | (text[i + k] & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    if (value >= lead.minimum && value <= 0x10FFFF && !surrogate)
        out = value;
    return std::size_t(lead.extraBytes) + 1;
}

} // namespace

std::u32string DecodeUtf8(const char* text, std::size_t length) {
    std::u32string result;
    if (!text)
        return result;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    result.reserve(length);
    for (std::size_t i = 0; i < length;) {
        char32_t c = 0;
        i += DecodeUtf8Sequence(bytes, length, i, c);
        result.push_back(c);
    }
    return result;
}

std::u32string DecodeUtf16(const char16_t* text, std::size_t length) {
    std::u32string result;
    if (!text)
        return result;
    result.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const char32_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            result.push_back(0x10000 + ((unit - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (high || low) {
            result.push_back(kReplacementCharacter);
        } else {
            result.push_back(unit);
        }
    }
    return result;
}

std::size_t TextLength(const char* text, int count) {
    if (!text)
        return 0;
    if (count >= 0)
        return std::size_t(count);
    std::size_t n = 0;
    while (text[n] != '\0')
        ++n;
    return n;
}

std::size_t TextLength(const char16_t* text, int count) {
    if (!text)
        return 0;
    if (count >= 0)
        return std::size_t(count);
    std::size_t n = 0;
    while (text[n] != u'\0')
        ++n;
    return n;
}
