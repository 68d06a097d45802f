#include "platform/os/TextFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Descriptor {
public:
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd; }
    bool Close() {
        const int closing = fd;
        fd = -1;
        return closing < 0 || ::close(closing) == 0;
    }

private:
    int fd;
};

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

fs::path ResolveSymbolicLink(const fs::path& path) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        fs::path target = fs::weakly_canonical(path, error);
        if (!error) {
            return target;
        }
    }
    return path;
}

std::string TemporaryName(const fs::path& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = "." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                             std::to_string(counter++) + "-" + std::to_string(attempt);
    return (folder / name).string();
}

// The temporary file is created with O_EXCL so it never reuses someone else's file.
int CreateTemporaryFile(const fs::path& target, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(target, attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool KeepPermissions(int fd, const fs::path& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
        return true; // a new file: the mode from creation (umask applied) stands
    }
    return ::fchmod(fd, info.st_mode & 07777) == 0;
}

void SyncFolder(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
}

} // namespace

FileReadStatus ReadTextFile(const std::string& path, std::string& text) {
    text.clear();
    // O_NONBLOCK so that a FIFO named as a settings file cannot hang the program.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? FileReadStatus::Missing : FileReadStatus::Failed;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileReadStatus::Failed;
    }
    char chunk[16384];
    for (;;) {
        const ssize_t count = ::read(file.get(), chunk, sizeof chunk);
        if (count == 0) {
            return FileReadStatus::Read;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            text.clear();
            return FileReadStatus::Failed;
        }
        text.append(chunk, static_cast<std::size_t>(count));
    }
}

bool ReplaceTextFile(const std::string& path, std::string_view text) {
    if (path.empty()) {
        return false;
    }
    const fs::path target = ResolveSymbolicLink(path);
    std::string temporary;
    Descriptor file(CreateTemporaryFile(target, temporary));
    if (file.get() < 0) {
        return false;
    }
    const bool written = WriteAll(file.get(), text) && KeepPermissions(file.get(), target) &&
                         ::fsync(file.get()) == 0 && file.Close() &&
                         ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(target);
    return true;
}
