#include "platform/os/FileMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Closes the descriptor when the mapping is made (or fails); the mapping outlives it.
class ScopedDescriptor {
public:
    explicit ScopedDescriptor(int descriptor) : fd(descriptor) {}
    ~ScopedDescriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    ScopedDescriptor(const ScopedDescriptor&) = delete;
    ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;
    int get() const { return fd; }

private:
    int fd;
};

} // namespace

FileMapping::~FileMapping() {
    Close();
}

FileMapping::FileMapping(FileMapping&& other) noexcept
    : bytes(std::exchange(other.bytes, nullptr)), length(std::exchange(other.length, 0)) {}

FileMapping& FileMapping::operator=(FileMapping&& other) noexcept {
    if (this != &other) {
        Close();
        bytes = std::exchange(other.bytes, nullptr);
        length = std::exchange(other.length, 0);
    }
    return *this;
}

HRESULT FileMapping::Open(const char* path) {
    Close();
    if (path == nullptr) {
        return E_FAIL;
    }
    const ScopedDescriptor file(::open(path, O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return E_FAIL;
    }
    if (info.st_size == 0) {
        return S_OK;
    }
    const auto fileSize = static_cast<std::size_t>(info.st_size);
    void* mapped = ::mmap(nullptr, fileSize, PROT_READ, MAP_PRIVATE, file.get(), 0);
    if (mapped == MAP_FAILED) {
        return E_FAIL;
    }
    bytes = static_cast<const std::uint8_t*>(mapped);
    length = fileSize;
    return S_OK;
}

void FileMapping::Close() {
    if (bytes != nullptr) {
        ::munmap(const_cast<std::uint8_t*>(bytes), length);
    }
    bytes = nullptr;
    length = 0;
}
