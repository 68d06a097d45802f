#include "desktop/LoadMD2Dialog.h"

#include <QFileDialog>
#include <QLineEdit>

#include "app/LumivoxView.h"
#include "panel/MyPropertyPage3.h"
#include "platform/os/CurrentDirectory.h"
#include "platform/ui/DataExchange.h"
#include "resources/Resource.h"
#include "scene/Scene.h"

namespace {

// The data folder below the working directory as it is now.
QString DataFolderNow() {
    char directory[CURRENT_DIRECTORY_SIZE] = {};
    GetCurrentDirectoryA(CURRENT_DIRECTORY_SIZE, directory);
    return QString::fromUtf8(directory) + QStringLiteral("/Data/");
}

QString ChooserPatterns(const QString& patterns) {
    QStringList offered;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        offered << pattern.trimmed();
        if (pattern.trimmed().toUpper() != pattern.trimmed())
            offered << pattern.trimmed().toUpper();
    }
    return offered.join(QLatin1Char(' '));
}

} // namespace

QStringList FileChooserFilters(const char* filter) {
    const QStringList parts = QString::fromUtf8(filter ? filter : "").split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        const QString patterns = ChooserPatterns(parts[i + 1]);
        if (!patterns.isEmpty())
            filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

CLoadMD2Dialog::CLoadMD2Dialog(QWidget* parent) : CDialog(IDD_LOAD_MD2, parent) {
    OnControl(IDC_CHOOSE_MD2, BN_CLICKED, [this] { OnChoose(m_strMD2file, MD2_FILE_FILTER); });
    OnControl(IDC_CHOOSE_TEXTURE, BN_CLICKED, [this] { OnChoose(m_strTexture, TEXTURE_FILE_FILTER); });
    OnControl(IDC_CHOOSE_CARTOON, BN_CLICKED, [this] { OnChoose(m_strCartoon, CARTOON_FILE_FILTER); });
}

void CLoadMD2Dialog::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, IDC_MD2_FILE, m_strMD2file);
    DDX_Text(dx, IDC_TEXTURE_FILE, m_strTexture);
    DDX_Text(dx, IDC_CARTOON_FILE, m_strCartoon);
}

BOOL CLoadMD2Dialog::OnInitDialog() {
    CDialog::OnInitDialog();
    MoveTo(LOAD_DIALOG_X, LOAD_DIALOG_Y);
    return TRUE;
}

void CLoadMD2Dialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    if (!PathFits(IDC_MD2_FILE, m_strMD2file) || !PathFits(IDC_TEXTURE_FILE, m_strTexture) ||
        !PathFits(IDC_CARTOON_FILE, m_strCartoon))
        return;
    EndDialog(IDOK);
}

// Tells the user when `path` would not fit, and puts them back in its edit.
bool CLoadMD2Dialog::PathFits(int id, const std::string& path) {
    if (ModelPathFits(path.c_str()))
        return true;
    if (auto* edit = DlgItem<QLineEdit>(id)) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
    return false;
}

int CLoadMD2Dialog::ChooseFile(std::string& outPath, const char* filter) {
    QFileDialog chooser(nullptr, QString(), DataFolderNow());
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setNameFilters(FileChooserFilters(filter));
    // Shows each filter as its description only, as the filter string gives it.
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return 0;
    outPath = chooser.selectedFiles().constFirst().toStdString();
    return 1;
}

void CLoadMD2Dialog::OnChoose(std::string& member, const char* filter) {
    if (ChooseFile(member, filter) == 1)
        UpdateData(FALSE);
}

int RunLoadDialog(CLumivoxView& view, CMyPropertyPage3* modelPage, bool startup) {
    CLoadMD2Dialog dialog;
    view.LoadSettings(SETTINGS_FILE_NAME);
    ModelFile& record = theScene->modelFile;
    dialog.m_strMD2file = record.md2Path;
    dialog.m_strTexture = record.texturePath;
    dialog.m_strCartoon = record.cartoonPath;
    const int result = dialog.DoModal();
    if (result == IDOK) {
        // The dialog refused paths that do not fit, so these all go in.
        StoreModelPath(record.md2Path, dialog.m_strMD2file.c_str());
        StoreModelPath(record.texturePath, dialog.m_strTexture.c_str());
        StoreModelPath(record.cartoonPath, dialog.m_strCartoon.c_str());
        view.SaveSettings(SETTINGS_FILE_NAME);
        if (view.device)
            theScene->InitData(view.device);
    }
    if (modelPage && (result == IDOK || startup))
        modelPage->UpdateModelInfo();
    return result;
}
