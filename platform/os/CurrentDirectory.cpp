#include "platform/os/CurrentDirectory.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

std::optional<std::string> WorkingDirectory() {
    std::string buffer(256, '\0');
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) {
            return std::nullopt;
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

} // namespace

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    const std::optional<std::string> directory = WorkingDirectory();
    if (!directory) {
        return 0;
    }
    const auto length = static_cast<DWORD>(directory->size());
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    std::memcpy(buffer, directory->c_str(), length + 1);
    return length;
}
