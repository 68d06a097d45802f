#include "platform/os/PakArchive.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/os/ArchiveNames.h"

namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kEntrySize = 64;
constexpr std::size_t kNameSize = 56;

std::int64_t ReadLE32Signed(const std::uint8_t* p) {
    const std::uint32_t value = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                (static_cast<std::uint32_t>(p[2]) << 16) |
                                (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(value);
}

struct PakEntry {
    std::string_view name;
    std::size_t offset = 0;
    std::size_t length = 0;
};

// A range of `length` bytes at `offset` that lies inside a file of `size` bytes.
bool InsideFile(std::int64_t offset, std::int64_t length, std::size_t size) {
    return offset >= 0 && length >= 0 && static_cast<std::uint64_t>(offset) <= size &&
           static_cast<std::uint64_t>(length) <= size - static_cast<std::uint64_t>(offset);
}

std::string Damaged(const std::string& archivePath, const std::string& what) {
    return "Invalid PAK archive " + std::string(LastPathComponent(archivePath)) + ": " + what;
}

bool ReadDirectory(const FileMapping& file, std::vector<PakEntry>& entries, std::string& what) {
    const std::uint8_t* data = file.data();
    const std::size_t size = file.size();
    if (size < kHeaderSize || std::memcmp(data, "PACK", 4) != 0) {
        what = "it does not start with a PAK header";
        return false;
    }
    const std::int64_t directoryOffset = ReadLE32Signed(data + 4);
    const std::int64_t directoryLength = ReadLE32Signed(data + 8);
    if (!InsideFile(directoryOffset, directoryLength, size)) {
        what = "the directory lies outside the file (is it cut short?)";
        return false;
    }
    if (directoryLength % kEntrySize != 0) {
        what = "the directory length is not a whole number of entries";
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(directoryLength) / kEntrySize;
    entries.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* record = data + directoryOffset + i * kEntrySize;
        const auto* name = reinterpret_cast<const char*>(record);
        const std::int64_t offset = ReadLE32Signed(record + kNameSize);
        const std::int64_t length = ReadLE32Signed(record + kNameSize + 4);
        if (!InsideFile(offset, length, size)) {
            what = "entry " + std::to_string(i) + " lies outside the file";
            return false;
        }
        entries[i] = PakEntry{std::string_view(name, strnlen(name, kNameSize)),
                              static_cast<std::size_t>(offset), static_cast<std::size_t>(length)};
    }
    return true;
}

const PakEntry* FindEntry(const std::vector<PakEntry>& entries, const std::string& name) {
    for (const PakEntry& entry : entries) {
        if (entry.name == name)
            return &entry;
    }
    for (const PakEntry& entry : entries) {
        if (SameNameIgnoringCase(entry.name, name))
            return &entry;
    }
    return nullptr;
}

} // namespace

FileStatus ReadPakEntry(const std::string& archivePath, const std::string& name, FileBytes* bytes,
                        std::string& problem) {
    FileMapping file;
    if (FAILED(file.Open(archivePath.c_str())))
        return FileStatus::Missing;
    std::vector<PakEntry> entries;
    std::string what;
    if (!ReadDirectory(file, entries, what)) {
        problem = Damaged(archivePath, what);
        return FileStatus::Damaged;
    }
    const PakEntry* entry = FindEntry(entries, name);
    if (entry == nullptr)
        return FileStatus::Missing;
    if (bytes != nullptr) {
        const PakEntry found = *entry;
        bytes->SetMapped(std::move(file), found.offset, found.length);
    }
    return FileStatus::Read;
}
