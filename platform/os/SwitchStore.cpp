#include "platform/os/SwitchStore.h"

#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// The whole text must be one decimal or 0x-hex number that fits in 32 bits.
std::optional<DWORD> ParseUnsigned32(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        const int digit = DigitValue(c);
        if (digit >= base) {
            return std::nullopt;
        }
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) {
            return std::nullopt;
        }
    }
    return static_cast<DWORD>(value);
}

} // namespace

bool ReadSwitch(const char* name, DWORD* value) {
    if (name == nullptr || value == nullptr) {
        return false;
    }
    const char* text = std::getenv(name);
    if (text == nullptr) {
        return false;
    }
    const std::optional<DWORD> number = ParseUnsigned32(TrimBlanks(text));
    if (!number) {
        return false;
    }
    *value = *number;
    return true;
}
