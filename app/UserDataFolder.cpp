#include "app/UserDataFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/SettingsFile.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "lumivox";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool IsFolder(const fs::path& path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

bool MakeFolder(const std::string& folder, std::string& error) {
    std::error_code failure;
    fs::create_directories(folder, failure);
    if (!failure && IsFolder(folder))
        return true;
    error = "cannot make the folder " + folder + (failure ? ": " + failure.message() : "");
    return false;
}

// Copies under a temporary name and renames, so an interrupted copy leaves no half file behind.
bool CopyWhole(const fs::path& from, const fs::path& to, std::string& error) {
    const fs::path partial = to.string() + ".partial";
    std::error_code failure;
    fs::copy_file(from, partial, fs::copy_options::overwrite_existing, failure);
    if (!failure)
        fs::rename(partial, to, failure);
    if (failure) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        error = "cannot copy " + from.string() + " to " + to.string() + ": " + failure.message();
        return false;
    }
    return true;
}

} // namespace

std::string UserDataFolder() {
    // A relative XDG_DATA_HOME is ignored, as the freedesktop base directory rules say.
    const std::string xdg = Environment("XDG_DATA_HOME");
    if (!xdg.empty() && xdg.front() == '/')
        return (fs::path(xdg) / kFolderName).string();
    const std::string home = Environment("HOME");
    if (home.empty())
        return {};
    return (fs::path(home) / ".local" / "share" / kFolderName).string();
}

std::vector<std::string> BundledSampleFolders() {
    std::error_code ignored;
    const fs::path program = fs::read_symlink("/proc/self/exe", ignored);
    return {(program.parent_path().parent_path() / LUMIVOX_INSTALL_DATA_DIR / kFolderName / "Data").string(),
            LUMIVOX_SOURCE_DATA_DIR};
}

bool SeedDataFolder(const std::string& dataFolder, const std::string& sampleFolder, std::string& error) {
    if (!MakeFolder(dataFolder, error))
        return false;
    std::error_code failure;
    for (fs::directory_iterator it(sampleFolder, failure), end; !failure && it != end;
         it.increment(failure)) {
        const fs::path target = fs::path(dataFolder) / it->path().filename();
        std::error_code ignored;
        if (!it->is_regular_file(ignored) || it->path().filename() == SETTINGS_FILE_NAME ||
            fs::exists(target, ignored))
            continue;
        if (!CopyWhole(it->path(), target, error))
            return false;
    }
    if (failure) {
        error = "cannot read the folder " + sampleFolder + ": " + failure.message();
        return false;
    }
    return true;
}

std::string ChooseWorkingFolder(const std::string& workingFolder,
                                const std::vector<std::string>& sampleFolders, std::string& error) {
    if (IsFolder(fs::path(workingFolder) / "Data"))
        return workingFolder;
    const std::string folder = UserDataFolder();
    if (folder.empty()) {
        error = "neither XDG_DATA_HOME nor HOME is set";
        return {};
    }
    const std::string dataFolder = (fs::path(folder) / "Data").string();
    for (const std::string& sample : sampleFolders) {
        if (!sample.empty() && IsFolder(sample))
            return SeedDataFolder(dataFolder, sample, error) ? folder : std::string();
    }
    if (!MakeFolder(dataFolder, error))
        return {};
    error = "no bundled sample model was found";
    return folder;
}

std::string AbsoluteFileArgument(const std::string& argument) {
    if (argument.empty() || argument.front() == '-')
        return argument;
    std::error_code ignored;
    for (fs::path part = argument; !part.empty(); part = part.parent_path()) {
        if (!fs::exists(part, ignored))
            continue;
        const bool named = part == fs::path(argument) || fs::is_regular_file(part, ignored);
        return named ? fs::absolute(argument, ignored).string() : argument;
    }
    return argument;
}
