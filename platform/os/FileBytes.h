#pragma once
// The bytes of one file: mapped from disk (a plain file, or an entry stored whole inside a mapped
// archive) or held in memory (an entry unpacked from a compressed archive).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/os/FileMapping.h"

// How reading a file went. Missing: no such file (or no such entry in the archive); Damaged: the
// archive the path runs through cannot be read, and the reader says why.
enum class FileStatus { Read, Missing, Damaged };

class FileBytes {
public:
    const std::uint8_t* data() const;
    std::size_t size() const { return length_; }

    // `length` bytes of `mapping` from `offset`, which must lie inside it.
    void SetMapped(FileMapping mapping, std::size_t offset, std::size_t length);
    void SetOwned(std::vector<std::uint8_t> bytes);
    void Clear();

private:
    FileMapping mapping_;
    std::vector<std::uint8_t> owned_;
    bool usesOwned_ = false;
    std::size_t offset_ = 0;
    std::size_t length_ = 0;
};
