#include "app/windows/ControlPanelHooks.h"

#include "app/windows/LoadMD2Dialog.h"
#include "app/windows/LumivoxViewWindow.h"
#include "app/windows/NamedModelLoad.h"
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
