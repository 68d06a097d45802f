#pragma once
// The application object: start-up (InitInstance), the message loop with idle processing, the
// document template, the standard commands and the profile settings kept in a per-user file.

#include <QString>
#include <QStringList>
#include <memory>

#include "platform/ui/CmdTarget.h"
#include "platform/ui/Document.h"
#include "platform/ui/IdleLoop.h"

class CFrameWnd;

class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen };
    ShellCommand m_nShellCommand = FileNew;
    QString m_strFileName;
};

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    // Idle work; the base refreshes the frame's toolbar when the count is 0. TRUE asks for more.
    virtual BOOL OnIdle(LONG count);
    // Saves the profile settings; returns the exit code.
    virtual int ExitInstance();
    // Runs the message loop until the quit request, then closes the documents and exits.
    int Run();

    void SetRegistryKey(const char* key);
    void LoadStdProfileSettings(UINT recentFileCount = 4);
    void SaveStdProfileSettings();
    // The per-user file that stands in for the registry key.
    QString ProfileFilePath() const;
    // One number of the profile, `defaultValue` when it is missing or not a number.
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const;
    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    const QStringList& RecentFiles() const { return recentFiles_; }

    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    CSingleDocTemplate* DocTemplate() const { return template_.get(); }
    void ParseCommandLine(CCommandLineInfo& info) const;
    BOOL ProcessShellCommand(const CCommandLineInfo& info);
    void CloseAllDocuments();

    // The idle loop, made on first use (the Qt application must exist by then).
    IdleLoop& Idle();

    CFrameWnd* m_pMainWnd = nullptr;
    QString m_pszAppName;

protected:
    void OnFileNew();
    virtual void OnFileOpen();
    void OnAppExit();
    void OnFilePrintSetup();

private:
    std::unique_ptr<CSingleDocTemplate> template_;
    std::unique_ptr<IdleLoop> idle_;
    QString registryKey_;
    QStringList recentFiles_;
    UINT recentFileCount_ = 0;
    bool profileLoaded_ = false;
};

// The application object, or null.
CWinApp* AfxGetApp();

// The program's entry: makes the Qt application, installs the message boxes and the quit hook,
// tells the device the screen size, then runs the application object's InitInstance and loop.
int AfxWinMain(int argc, char** argv);
