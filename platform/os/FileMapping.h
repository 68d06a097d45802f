#pragma once
// A whole file mapped read-only into memory, unmapped when the object goes away.

#include "platform/os/WinTypes.h"

#include <cstddef>
#include <cstdint>

class FileMapping {
public:
    FileMapping() = default;
    ~FileMapping();
    FileMapping(FileMapping&& other) noexcept;
    FileMapping& operator=(FileMapping&& other) noexcept;
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    // Maps the regular file `path`, closing any earlier mapping first. E_FAIL when it is missing,
    // unreadable or not a regular file. An empty file succeeds with data() null and size() 0.
    HRESULT Open(const char* path);
    void Close();

    const std::uint8_t* data() const { return bytes; }
    std::size_t size() const { return length; }

private:
    const std::uint8_t* bytes = nullptr;
    std::size_t length = 0;
};
