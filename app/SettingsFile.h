#pragma once
// The settings file MD2DATA.ini in the data folder below the working directory: which model, skin
// and cartoon ramp to show and at which speed. Missing files named in it are looked for in the
// data folder.

#include <string>

#include "platform/os/WinTypes.h"
#include "state/AnimationSpeed.h"
#include "state/ModelFile.h"

constexpr const char* SETTINGS_FILE_NAME = "MD2DATA.ini";

class SettingsFile {
public:
    // `currentDirectory` is the working directory the view captured (read at each use, so it must
    // outlive this object); `record` is filled and saved.
    SettingsFile(const char* currentDirectory, ModelFile& record);

    void LoadSettings(const char* fileName);
    // Leaves a path that names an existing file alone (0); otherwise points it at the file of the
    // same name in the data folder (E_FAIL).
    HRESULT CheckDataPath(char (&path)[MODEL_PATH_SIZE]);
    void SaveSettings(const char* fileName);

    std::string DataFolder() const { return std::string(currentDirectory_) + "/Data/"; }

private:
    void LoadDefaults();
    void ReadPath(const char* key, const char* defaultName, char (&field)[MODEL_PATH_SIZE], const std::string& file);

    const char* currentDirectory_;
    ModelFile& record_;
};

// The text after the last '/' or '\', at most 60 characters of it.
std::string DisplayFileName(const char* path);
