#include "desktop/ControlPanelHooks.h"

#include "desktop/LoadMD2Dialog.h"
#include "desktop/LumivoxViewWindow.h"
#include "desktop/NamedModelLoad.h"
#include "panel/MyPropertySheet.h"

void ConnectControlPanel(CLumivoxViewWindow& window, CMyPropertySheet& sheet) {
    CMyPropertyPage3* modelPage = &sheet.page3;
    window.loadDialog = [&window, modelPage](CLumivoxViewWindow::LoadOccasion occasion) {
        if (occasion == CLumivoxViewWindow::LoadOccasion::Startup)
            OnStartupLoad(window.View(), modelPage);
        else
            OnLoadModel(window.View(), modelPage);
    };
    window.namedModelLoad = [&window, modelPage](const ModelChoice& choice) {
        LoadNamedModel(window.View(), modelPage, choice);
    };
    window.View().frameDisplayHook = [modelPage] { modelPage->UpdateFrame(); };
}
