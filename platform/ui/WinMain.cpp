#include <QApplication>
#include <QScreen>

#include "platform/d3d9/Direct3D9.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/QtMessageBox.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/TemplateFonts.h"
#include "platform/ui/WinApp.h"

namespace {

// The interface font of a Korean desktop: 굴림 9 points, here its installed stand-in.
constexpr const char* kInterfaceFace = "굴림";
constexpr int kInterfacePointSize = 9;

} // namespace

int AfxWinMain(int argc, char** argv) {
    QApplication application(argc, argv);
    // The main frame ends the loop itself when it closes.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallKoreanQtTranslations();
    InstallTemplateFaces();
    QApplication::setFont(TemplateFont(kInterfaceFace, kInterfacePointSize));
    InstallQtMessageBox();
    if (const QScreen* screen = QApplication::primaryScreen())
        SetAdapterDesktopSize(static_cast<UINT>(screen->size().width()),
                              static_cast<UINT>(screen->size().height()));

    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    if (!app->InitInstance()) {
        app->CloseAllDocuments();
        app->ExitInstance();
        return 1;
    }
    return app->Run();
}
