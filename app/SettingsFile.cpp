#include "app/SettingsFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/os/CurrentDirectory.h"
#include "platform/os/FileSource.h"
#include "platform/os/MessageBox.h"
#include "platform/os/PrivateProfile.h"
#include "platform/os/Utf8.h"

namespace {

constexpr const char* kSection = "MD2Data";
constexpr std::size_t kFileNameLimit = 60;
constexpr DWORD kLongestValue = 4096;

// The text after the last '/' or '\'.
std::string_view LastComponent(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\')
            name = p + 1;
    }
    return name;
}

// At most `limit` characters of `text`; a byte that starts no well-formed sequence counts as one
// character and, when `replaceMalformed` is set, becomes U+FFFD.
std::string CutToCharacters(std::string_view text, std::size_t limit, bool replaceMalformed) {
    std::string cut;
    for (std::size_t count = 0; count < limit && !text.empty(); ++count) {
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0 && replaceMalformed)
            cut += "\xEF\xBF\xBD";
        else
            cut.append(text.substr(0, std::max<std::size_t>(length, 1)));
        text.remove_prefix(std::max<std::size_t>(length, 1));
    }
    return cut;
}

} // namespace

std::string FileNameOfPath(const char* path) {
    return CutToCharacters(LastComponent(path), kFileNameLimit, false);
}

std::string DisplayFileName(const char* path) {
    return CutToCharacters(LastComponent(path), kFileNameLimit, true);
}

bool CaptureCurrentDirectory(char (&directory)[MODEL_PATH_SIZE]) {
    const DWORD length = GetCurrentDirectoryA(MODEL_PATH_SIZE, directory);
    if (length != 0 && length < MODEL_PATH_SIZE)
        return true;
    directory[0] = '\0';
    MessageBoxA(nullptr,
                "The working folder cannot be used: its path is longer than 255 characters (or cannot be "
                "read). The data folder and the settings file are not used; start the viewer from a "
                "shorter folder.",
                "Path_error", MB_OK);
    return false;
}

SettingsFile::SettingsFile(const char* currentDirectory, ModelFile& record)
    : currentDirectory_(currentDirectory), record_(record) {}

void SettingsFile::LoadDefaults() {
    record_.speed = DEFAULT_SPEED;
    if (!HasDataFolder()) {
        record_.md2Path[0] = record_.texturePath[0] = record_.cartoonPath[0] = '\0';
        return;
    }
    StoreModelPath(record_.md2Path, (DataFolder() + "ex1.md2").c_str());
    StoreModelPath(record_.texturePath, (DataFolder() + "ex1.jpg").c_str());
    StoreModelPath(record_.cartoonPath, (DataFolder() + "catoon.jpg").c_str());
}

// Values longer than the field are read whole so that they are refused, not cut into another path.
void SettingsFile::ReadPath(const char* key, const char* defaultName, char (&field)[MODEL_PATH_SIZE],
                            const std::string& file) {
    const std::string fallback = DataFolder() + defaultName;
    char value[kLongestValue];
    GetPrivateProfileStringA(kSection, key, fallback.c_str(), value, kLongestValue, file.c_str());
    StoreModelPath(field, value);
}

void SettingsFile::LoadSettings(const char* fileName) {
    const std::string file = DataFolder() + fileName;
    if (!HasDataFolder() || !IsReadablePlainFile(file)) {
        LoadDefaults();
        return;
    }
    record_.speed = static_cast<int>(GetPrivateProfileIntA(kSection, "Speed", DEFAULT_SPEED, file.c_str()));
    ReadPath("MD2file", "ex1.md2", record_.md2Path, file);
    ReadPath("Texture", "ex1.jpg", record_.texturePath, file);
    ReadPath("Cartoon", "catoon.jpg", record_.cartoonPath, file);
    CheckDataPath(record_.md2Path);
    CheckDataPath(record_.texturePath);
    CheckDataPath(record_.cartoonPath);
    if (record_.speed < 1 || record_.speed > MAX_SPEED)
        record_.speed = DEFAULT_SPEED;
}

HRESULT SettingsFile::CheckDataPath(char (&path)[MODEL_PATH_SIZE]) {
    if (FileExists(path))
        return S_OK;
    if (!HasDataFolder())
        return E_FAIL;
    const std::string repaired = DataFolder() + FileNameOfPath(path);
    StoreModelPath(path, repaired.c_str());
    return E_FAIL;
}

void SettingsFile::SaveSettings(const char* fileName) {
    if (!HasDataFolder())
        return;
    const std::string file = DataFolder() + fileName;
    const std::string speed = std::to_string(record_.speed);
    WritePrivateProfileStringA(kSection, "Speed", speed.c_str(), file.c_str());
    WritePrivateProfileStringA(kSection, "MD2file", record_.md2Path, file.c_str());
    WritePrivateProfileStringA(kSection, "Texture", record_.texturePath, file.c_str());
    WritePrivateProfileStringA(kSection, "Cartoon", record_.cartoonPath, file.c_str());
}
