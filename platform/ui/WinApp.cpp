#include "platform/ui/WinApp.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>

#include "platform/os/MessageBox.h"
#include "platform/ui/FrameWnd.h"
#include "platform/ui/FrameworkIds.h"
#include "platform/ui/QtMessageBox.h"
#include "platform/ui/StringResources.h"

namespace {

CWinApp* g_application = nullptr;

constexpr const char* kRecentSection = "Recent File List";

} // namespace

CWinApp* AfxGetApp() {
    return g_application;
}

CWinApp::CWinApp() : m_pszAppName(LoadResourceString(AFX_IDS_APP_TITLE)) {
    g_application = this;
    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_APP_EXIT, [this] { OnAppExit(); });
    OnCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
}

CWinApp::~CWinApp() {
    template_.reset();
    if (g_application == this)
        g_application = nullptr;
}

BOOL CWinApp::OnIdle(LONG count) {
    if (count == 0 && m_pMainWnd) {
        m_pMainWnd->UpdateToolbarState();
        m_pMainWnd->UpdateLockIndicators();
    }
    return FALSE;
}

int CWinApp::ExitInstance() {
    SaveStdProfileSettings();
    return QuitRequested() ? QuitExitCode() : 0;
}

IdleLoop& CWinApp::Idle() {
    if (!idle_)
        idle_ = std::make_unique<IdleLoop>([this](LONG count) { return OnIdle(count); });
    return *idle_;
}

int CWinApp::Run() {
    // Boxes held back during start-up are shown before the loop would start or be skipped.
    ShowDeferredMessageBoxes();
    if (!QuitRequested()) {
        Idle().Start();
        QApplication::exec();
        Idle().Stop();
    }
    CloseAllDocuments();
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const char* key) {
    registryKey_ = QString::fromUtf8(key);
}

QString CWinApp::ProfileFilePath() const {
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, registryKey_, m_pszAppName);
    return settings.fileName();
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const {
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, registryKey_, m_pszAppName);
    bool isNumber = false;
    const int value =
        settings.value(QStringLiteral("%1/%2").arg(QString::fromUtf8(section), QString::fromUtf8(entry)))
            .toInt(&isNumber);
    return static_cast<UINT>(isNumber ? value : defaultValue);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, registryKey_, m_pszAppName);
    settings.setValue(QStringLiteral("%1/%2").arg(QString::fromUtf8(section), QString::fromUtf8(entry)),
                      value);
    settings.sync();
    return settings.status() == QSettings::NoError ? TRUE : FALSE;
}

void CWinApp::LoadStdProfileSettings(UINT recentFileCount) {
    recentFileCount_ = recentFileCount;
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, registryKey_, m_pszAppName);
    recentFiles_.clear();
    for (UINT i = 1; i <= recentFileCount_; ++i) {
        const QString file =
            settings.value(QStringLiteral("%1/File%2").arg(QLatin1String(kRecentSection)).arg(i)).toString();
        if (!file.isEmpty())
            recentFiles_.append(file);
    }
    profileLoaded_ = true;
}

void CWinApp::SaveStdProfileSettings() {
    if (!profileLoaded_)
        return;
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, registryKey_, m_pszAppName);
    settings.remove(QLatin1String(kRecentSection));
    for (int i = 0; i < recentFiles_.size() && i < static_cast<int>(recentFileCount_); ++i)
        settings.setValue(QStringLiteral("%1/File%2").arg(QLatin1String(kRecentSection)).arg(i + 1),
                          recentFiles_[i]);
    settings.setValue(QStringLiteral("Settings/PreviewPages"), 0);
    settings.sync();
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) {
    template_ = std::move(docTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const {
    const QStringList arguments =
        QCoreApplication::instance() ? QCoreApplication::arguments() : QStringList();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        // Options are the toolkit's own; the first other argument names a document.
        if (argument.startsWith(QLatin1Char('-')))
            continue;
        if (info.m_strFileName.isEmpty()) {
            info.m_strFileName = argument;
            info.m_nShellCommand = CCommandLineInfo::FileOpen;
        }
    }
}

BOOL CWinApp::ProcessShellCommand(const CCommandLineInfo& info) {
    if (!template_)
        return FALSE;
    const QByteArray path = info.m_strFileName.toUtf8();
    const char* file = info.m_nShellCommand == CCommandLineInfo::FileOpen ? path.constData() : nullptr;
    return template_->OpenDocumentFile(file) != nullptr;
}

void CWinApp::CloseAllDocuments() {
    if (template_)
        template_->CloseAllDocuments();
}

void CWinApp::OnFileNew() {
    if (template_)
        template_->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {}

void CWinApp::OnAppExit() {
    if (m_pMainWnd)
        m_pMainWnd->close();
}

void CWinApp::OnFilePrintSetup() {
    QPrinter printer;
    QPrintDialog dialog(&printer, m_pMainWnd);
    dialog.exec();
}
