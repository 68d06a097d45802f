#include "platform/os/ZipArchive.h"

#include <zip.h>

#include <cstdint>
#include <memory>
#include <sys/stat.h>
#include <vector>

#include "platform/os/ArchiveNames.h"

namespace {

// No model or image the program shows comes near this; a larger entry is taken as damage.
constexpr std::uint64_t kMaxEntryBytes = std::uint64_t{1} << 30;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveCloser>;
using EntryHandle = std::unique_ptr<zip_file_t, EntryCloser>;

std::string Damaged(const std::string& archivePath, const std::string& what) {
    return "Invalid zip archive " + std::string(LastPathComponent(archivePath)) + ": " + what;
}

std::string OpenErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Reads the whole entry, then once more, so that libzip compares the CRC at its end.
bool Unpack(zip_t* archive, zip_int64_t index, std::uint64_t size, std::vector<std::uint8_t>& out,
            std::string& what) {
    const EntryHandle entry(zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0));
    if (!entry) {
        what = zip_strerror(archive);
        return false;
    }
    out.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < out.size()) {
        const zip_int64_t got = zip_fread(entry.get(), out.data() + done, out.size() - done);
        if (got <= 0) {
            what = got < 0 ? zip_file_strerror(entry.get()) : "an entry is shorter than its recorded size";
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    std::uint8_t extra = 0;
    const zip_int64_t more = zip_fread(entry.get(), &extra, 1);
    if (more != 0) {
        what = more < 0 ? zip_file_strerror(entry.get()) : "an entry is longer than its recorded size";
        return false;
    }
    return true;
}

} // namespace

FileStatus ReadZipEntry(const std::string& archivePath, const std::string& name, FileBytes* bytes,
                        std::string& problem) {
    if (!IsRegularFile(archivePath))
        return FileStatus::Missing;
    int openError = 0;
    const ArchiveHandle archive(zip_open(archivePath.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!archive) {
        problem = Damaged(archivePath, OpenErrorText(openError));
        return FileStatus::Damaged;
    }
    zip_int64_t index = zip_name_locate(archive.get(), name.c_str(), 0);
    if (index < 0)
        index = zip_name_locate(archive.get(), name.c_str(), ZIP_FL_NOCASE);
    if (index < 0)
        return FileStatus::Missing;
    if (bytes == nullptr)
        return FileStatus::Read;

    zip_stat_t info;
    zip_stat_init(&info);
    if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(index), 0, &info) != 0 ||
        (info.valid & ZIP_STAT_SIZE) == 0 || info.size > kMaxEntryBytes) {
        problem = Damaged(archivePath, "the size of " + name + " is missing or too large");
        return FileStatus::Damaged;
    }
    std::vector<std::uint8_t> unpacked;
    std::string what;
    if (!Unpack(archive.get(), index, info.size, unpacked, what)) {
        problem = Damaged(archivePath, name + ": " + what);
        return FileStatus::Damaged;
    }
    bytes->SetOwned(std::move(unpacked));
    return FileStatus::Read;
}
