// The user-interface tests run inside one Qt application without a display, with the program's
// resources installed. Profile settings go
// to a scratch folder, never to the user's own.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/ui/ResourceTables.h"
#include "platform/ui/TemplateFonts.h"
#include "resources/ProgramResources.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    QApplication application(argc, argv);
    InstallTemplateFaces();
    InstallResources(ProgramResources());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
