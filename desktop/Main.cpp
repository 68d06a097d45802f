// The program's entry point and its one application object.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/UserDataFolder.h"
#include "desktop/LumivoxApp.h"
#include "platform/ui/ResourceTables.h"
#include "resources/ProgramResources.h"

namespace {

// Before the application object: the framework reads the string table while making it.
const bool resourcesInstalled = (InstallResources(ProgramResources()), true);

// Started from a desktop menu the working folder has no Data/; the program then works in the
// user's own folder, seeded with the sample installed beside it (or the one of its source tree).
void MoveToDataFolder() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    std::string error;
    const std::string folder =
        ChooseWorkingFolder(fs::current_path(ignored).string(), BundledSampleFolders(), error);
    if (!error.empty())
        std::fprintf(stderr, "lumivox: %s\n", error.c_str());
    if (!folder.empty())
        fs::current_path(folder, ignored);
}

} // namespace

CLumivoxApp theApp;

int main(int argc, char** argv) {
    // Files named on the command line keep naming the same files in the user's folder.
    static std::vector<std::string> arguments(argv, argv + argc);
    static std::vector<char*> pointers;
    for (std::string& argument : arguments) {
        argument = AbsoluteFileArgument(argument);
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    MoveToDataFolder();
    return AfxWinMain(argc, pointers.data());
}
