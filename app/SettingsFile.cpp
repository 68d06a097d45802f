#include "app/SettingsFile.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "platform/os/FileSource.h"
#include "platform/os/PrivateProfile.h"

namespace {

constexpr const char* kSection = "MD2Data";
constexpr std::size_t kFileNameLimit = 60;
constexpr DWORD kLongestValue = 4096;

// A regular file that can be opened for reading; a folder is not one.
bool IsReadableFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    struct stat info {};
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    std::fclose(file);
    return regular;
}

} // namespace

std::string DisplayFileName(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\')
            name = p + 1;
    }
    return std::string(name).substr(0, kFileNameLimit);
}

SettingsFile::SettingsFile(const char* currentDirectory, ModelFile& record)
    : currentDirectory_(currentDirectory), record_(record) {}

void SettingsFile::LoadDefaults() {
    record_.speed = DEFAULT_SPEED;
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
    if (!IsReadableFile(file.c_str())) {
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
    const std::string repaired = DataFolder() + DisplayFileName(path);
    StoreModelPath(path, repaired.c_str());
    return E_FAIL;
}

void SettingsFile::SaveSettings(const char* fileName) {
    const std::string file = DataFolder() + fileName;
    const std::string speed = std::to_string(record_.speed);
    WritePrivateProfileStringA(kSection, "Speed", speed.c_str(), file.c_str());
    WritePrivateProfileStringA(kSection, "MD2file", record_.md2Path, file.c_str());
    WritePrivateProfileStringA(kSection, "Texture", record_.texturePath, file.c_str());
    WritePrivateProfileStringA(kSection, "Cartoon", record_.cartoonPath, file.c_str());
}
