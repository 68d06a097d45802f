// The program's entry point and its one application object.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/UserDataFolder.h"
#include "app/windows/LumivoxApp.h"

CLumivoxApp theApp;

namespace {

// Started from a desktop menu the working folder has no Data/; the program then works in the
// user's own folder, seeded with the sample installed beside it (or the one of its source tree).
void MoveToDataFolder() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::path program = fs::read_symlink("/proc/self/exe", ignored);
    const std::vector<std::string> samples = {
        (program.parent_path().parent_path() / LUMIVOX_INSTALL_DATA_DIR / "lumivox" / "Data").string(),
        LUMIVOX_SOURCE_DATA_DIR};
    std::string error;
    const std::string folder = ChooseWorkingFolder(fs::current_path(ignored).string(), samples, error);
    if (!error.empty())
        std::fprintf(stderr, "lumivox: %s\n", error.c_str());
    if (!folder.empty())
        fs::current_path(folder, ignored);
}

} // namespace

int main(int argc, char** argv) {
    MoveToDataFolder();
    return AfxWinMain(argc, argv);
}
