#pragma once
// Writes small PAK and zip archives for tests: named entries with the given bytes.

#include <zip.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using ArchiveEntries = std::vector<std::pair<std::string, std::string>>;

// "PACK", directory offset and length, the entries' bytes, then the directory at the end.
inline std::string MakePak(const ArchiveEntries& entries) {
    auto putLE32 = [](std::string& out, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>(v >> (8 * i)));
    };
    std::string body;
    std::string directory;
    for (const auto& [name, bytes] : entries) {
        std::string record(56, '\0');
        std::memcpy(record.data(), name.data(), std::min<std::size_t>(name.size(), 56));
        putLE32(record, static_cast<std::uint32_t>(12 + body.size()));
        putLE32(record, static_cast<std::uint32_t>(bytes.size()));
        directory += record;
        body += bytes;
    }
    std::string out = "PACK";
    putLE32(out, static_cast<std::uint32_t>(12 + body.size()));
    putLE32(out, static_cast<std::uint32_t>(directory.size()));
    return out + body + directory;
}

inline void WriteArchiveFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A zip archive with deflated entries; false when libzip cannot write it.
inline bool WriteZip(const std::string& path, const ArchiveEntries& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = source ? zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
    }
    return zip_close(archive) == 0;
}
