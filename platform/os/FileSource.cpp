#include "platform/os/FileSource.h"

#include <cstdio>
#include <sys/stat.h>

#include "platform/os/ArchiveNames.h"
#include "platform/os/PakArchive.h"
#include "platform/os/ZipArchive.h"

namespace {

bool EndsWithIgnoringCase(const std::string& text, const char* ending) {
    const std::string_view end(ending);
    return text.size() >= end.size() &&
           SameNameIgnoringCase(std::string_view(text).substr(text.size() - end.size()), end);
}

bool IsPakName(const std::string& name) {
    return EndsWithIgnoringCase(name, ".pak");
}

// Reads (or, with `bytes` null, looks for) a file inside the archive that `path` runs through.
FileStatus ReadThroughArchive(const std::string& path, FileBytes* bytes, std::string& problem) {
    std::string archive;
    std::string inner;
    std::string name;
    if (!SplitArchivePath(path, archive, inner) || !NormaliseArchiveName(inner, name))
        return FileStatus::Missing;
    if (IsPakName(archive))
        return ReadPakEntry(archive, name, bytes, problem);
    return ReadZipEntry(archive, name, bytes, problem);
}

} // namespace

bool IsReadablePlainFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    struct stat info {};
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    std::fclose(file);
    return regular;
}

bool IsArchiveName(const std::string& name) {
    return EndsWithIgnoringCase(name, ".pak") || EndsWithIgnoringCase(name, ".pk3") ||
           EndsWithIgnoringCase(name, ".zip");
}

bool SplitArchivePath(const std::string& path, std::string& archive, std::string& inner) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        struct stat info {};
        if (::stat(prefix.c_str(), &info) != 0)
            return false;
        if (S_ISDIR(info.st_mode))
            continue;
        if (!S_ISREG(info.st_mode) || !IsArchiveName(prefix))
            return false;
        archive = prefix;
        inner = path.substr(slash + 1);
        return true;
    }
    return false;
}

FileStatus ReadFileBytes(const std::string& path, FileBytes& bytes, std::string& problem) {
    FileMapping plain;
    if (SUCCEEDED(plain.Open(path.c_str()))) {
        const std::size_t size = plain.size();
        bytes.SetMapped(std::move(plain), 0, size);
        return FileStatus::Read;
    }
    return ReadThroughArchive(path, &bytes, problem);
}

bool FileExists(const std::string& path) {
    if (IsReadablePlainFile(path))
        return true;
    std::string problem;
    return ReadThroughArchive(path, nullptr, problem) == FileStatus::Read;
}
