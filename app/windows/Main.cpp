// The program's entry point and its one application object.

#include "app/windows/LumivoxApp.h"

CLumivoxApp theApp;

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
