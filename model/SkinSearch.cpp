#include "model/SkinSearch.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "gfxutil/image/ImageDecoder.h"
#include "model/MD2File.h"
#include "platform/os/FileSource.h"

namespace {

// The image extensions tried, most likely first; the decoders recognise files by content alone.
constexpr const char* kImageExtensions[] = {".png", ".jpg", ".jpeg", ".tga", ".bmp", ".pcx", ".dds"};
// The MD2 format allows 32 skins; this only keeps a damaged count from meaning much work.
constexpr std::int64_t kMaxSkinNames = 256;

std::int32_t ReadLE32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The extension of the last component, with its dot; empty when there is none.
std::string ExtensionOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || dot == 0 || (slash != std::string::npos && dot <= slash + 1))
        return {};
    return path.substr(dot);
}

std::string GameFolder(const std::string& modelPath) {
    std::string archive, inner;
    if (SplitArchivePath(modelPath, archive, inner))
        return archive;
    const std::string folder = FolderOf(modelPath);
    const std::size_t models = ("/" + folder + "/").rfind("/models/");
    if (models == std::string::npos)
        return folder;
    if (models == 0)
        return ".";
    return models == 1 ? "/" : folder.substr(0, models - 1);
}

// Where a header skin name points, before extensions are tried; empty when it names nothing.
std::string SkinNameTarget(const std::string& modelPath, std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name[0] == '.') {
        const bool relativePath = name.rfind("./", 0) == 0 || name.rfind("../", 0) == 0;
        const std::string rest = relativePath ? name : name.substr(1);
        return rest.empty() || rest.back() == '/' ? std::string() : Join(FolderOf(modelPath), rest);
    }
    const std::size_t start = name.find_first_not_of('/');
    if (start == std::string::npos || name.back() == '/')
        return {};
    return Join(GameFolder(modelPath), name.substr(start));
}

void AddOnce(std::vector<std::string>& list, const std::string& path) {
    if (std::find(list.begin(), list.end(), path) == list.end())
        list.push_back(path);
}

// `target` as written when it has an extension, then with each image extension in its place.
void AddWithExtensions(std::vector<std::string>& list, const std::string& target) {
    const std::string extension = ExtensionOf(target);
    if (!extension.empty())
        AddOnce(list, target);
    const std::string stem = target.substr(0, target.size() - extension.size());
    for (const char* other : kImageExtensions)
        AddOnce(list, stem + other);
}

bool DecodesAsImage(const std::string& path) {
    FileBytes bytes;
    std::string problem;
    if (ReadFileBytes(path, bytes, problem) != FileStatus::Read)
        return false;
    std::unique_ptr<DecodedImage> image;
    return SUCCEEDED(DecodeImage(bytes.data(), bytes.size(), nullptr, true, &image));
}

} // namespace

std::vector<std::string> MD2SkinNames(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> names;
    if (data == nullptr || size < sizeof(MD2Header))
        return names;
    const std::int64_t count = ReadLE32(data + offsetof(MD2Header, numSkins));
    const std::int64_t offset = ReadLE32(data + offsetof(MD2Header, offsetSkins));
    if (count < 0 || count > kMaxSkinNames || offset < 0 ||
        offset + count * MD2_SKIN_NAME_SIZE > static_cast<std::int64_t>(size))
        return names;
    for (std::int64_t i = 0; i < count; ++i) {
        const auto* name = reinterpret_cast<const char*>(data + offset + i * MD2_SKIN_NAME_SIZE);
        const std::size_t length = strnlen(name, MD2_SKIN_NAME_SIZE);
        if (length > 0)
            names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::string> ModelSkinCandidates(const std::string& modelPath) {
    std::vector<std::string> candidates;
    FileBytes bytes;
    std::string problem;
    if (ReadFileBytes(modelPath, bytes, problem) == FileStatus::Read) {
        for (const std::string& name : MD2SkinNames(bytes.data(), bytes.size())) {
            const std::string target = SkinNameTarget(modelPath, name);
            if (!target.empty())
                AddWithExtensions(candidates, target);
        }
    }
    const std::string modelName = modelPath.substr(modelPath.rfind('/') + 1);
    const std::string stem = modelName.substr(0, modelName.size() - ExtensionOf(modelName).size());
    if (!stem.empty())
        AddWithExtensions(candidates, Join(FolderOf(modelPath), stem));
    return candidates;
}

std::string FindModelSkin(const std::string& modelPath) {
    for (const std::string& candidate : ModelSkinCandidates(modelPath)) {
        if (DecodesAsImage(candidate))
            return candidate;
    }
    return {};
}
