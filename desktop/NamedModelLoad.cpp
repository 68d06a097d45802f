#include "desktop/NamedModelLoad.h"

#include "app/LumivoxView.h"
#include "panel/MyPropertyPage3.h"
#include "scene/Scene.h"

std::optional<ModelChoice> ModelFromArguments(const QStringList& arguments) {
    QStringList named;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].startsWith(QLatin1Char('-')))
            named.append(arguments[i]);
    }
    if (named.isEmpty())
        return std::nullopt;
    ModelChoice choice;
    choice.model = named[0].toStdString();
    if (named.size() > 1)
        choice.skin = named[1].toStdString();
    if (named.size() > 2)
        choice.ramp = named[2].toStdString();
    return choice;
}

bool StoreNamedModel(CLumivoxView& view, const ModelChoice& choice) {
    if (!ApplyModelChoice(choice, theScene->modelFile))
        return false;
    view.SaveSettings(SETTINGS_FILE_NAME);
    return true;
}

void LoadNamedModel(CLumivoxView& view, CMyPropertyPage3* modelPage, const ModelChoice& choice) {
    if (!StoreNamedModel(view, choice))
        return;
    if (view.device)
        theScene->InitData(view.device);
    if (modelPage)
        modelPage->UpdateModelInfo();
}
