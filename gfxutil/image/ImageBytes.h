#pragma once
// Little helpers the image decoders share for reading file fields and sizing buffers safely.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <system_error>

#include "platform/os/WinTypes.h"

inline WORD ReadLE16(const BYTE* p) {
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

inline DWORD ReadLE32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

inline DWORD ReadBE32(const BYTE* p) {
    return (static_cast<DWORD>(p[0]) << 24) | (static_cast<DWORD>(p[1]) << 16) |
           (static_cast<DWORD>(p[2]) << 8) | static_cast<DWORD>(p[3]);
}

// a * b, or false when it does not fit in 64 bits.
inline bool CheckedMul(std::uint64_t a, std::uint64_t b, std::uint64_t* product) {
    return !__builtin_mul_overflow(a, b, product);
}

// a * b * c, or false when it does not fit in 64 bits.
inline bool CheckedMul(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t* product) {
    std::uint64_t ab = 0;
    return CheckedMul(a, b, &ab) && CheckedMul(ab, c, product);
}

inline void StoreFloat(BYTE* p, float value) {
    std::memcpy(p, &value, sizeof value);
}

// Reads the text headers of the PPM, PFM and Radiance formats. Numbers are parsed without the C
// library's locale, every read bounded by the data size.
class TextCursor {
public:
    TextCursor(const BYTE* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return size_ - pos_; }
    bool AtEnd() const { return pos_ >= size_; }

    static bool IsSpace(BYTE c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }

    // Skips white space and, when `comments` is set, "#" comments to the end of the line.
    void SkipSpace(bool comments) {
        while (pos_ < size_) {
            if (IsSpace(data_[pos_])) {
                ++pos_;
            } else if (comments && data_[pos_] == '#') {
                while (pos_ < size_ && data_[pos_] != '\n' && data_[pos_] != '\r')
                    ++pos_;
            } else {
                break;
            }
        }
    }

    // Consumes exactly one white-space byte (the separator before binary data).
    bool SkipOneSpace() {
        if (pos_ >= size_ || !IsSpace(data_[pos_]))
            return false;
        ++pos_;
        return true;
    }

    // Consumes `text` if the data continues with it.
    bool Match(const char* text) {
        const std::size_t length = std::strlen(text);
        if (Remaining() < length || std::memcmp(data_ + pos_, text, length) != 0)
            return false;
        pos_ += length;
        return true;
    }

    // A decimal number; the token must end at white space, a comment or the end of the data.
    template <typename Number> bool Read(Number* value) {
        const char* first = reinterpret_cast<const char*>(data_ + pos_);
        const char* last = reinterpret_cast<const char*>(data_ + size_);
        const auto [end, error] = std::from_chars(first, last, *value);
        if (error != std::errc() || end == first)
            return false;
        pos_ += static_cast<std::size_t>(end - first);
        return pos_ == size_ || IsSpace(data_[pos_]) || data_[pos_] == '#';
    }

    // The rest of the current line, without its end; moves past the line end.
    std::string_view ReadLine() {
        const std::size_t start = pos_;
        while (pos_ < size_ && data_[pos_] != '\n')
            ++pos_;
        std::string_view line(reinterpret_cast<const char*>(data_ + start), pos_ - start);
        if (pos_ < size_)
            ++pos_;
        return line;
    }

private:
    const BYTE* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};
