// The program's entry point and its one application object.

#include "desktop/LumivoxApp.h"
#include "platform/ui/ResourceTables.h"
#include "resources/ProgramResources.h"

namespace {

// Before the application object: the framework reads the string table while making it.
const bool resourcesInstalled = (InstallResources(ProgramResources()), true);

} // namespace

CLumivoxApp theApp;

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
