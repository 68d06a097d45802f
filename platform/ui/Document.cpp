#include "platform/ui/Document.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/os/MessageBox.h"
#include "platform/ui/FrameWnd.h"
#include "platform/ui/FrameworkIds.h"
#include "platform/ui/StringResources.h"
#include "platform/ui/WinApp.h"

CDocument::CDocument() {
    OnCommand(ID_FILE_SAVE, [this] { OnFileSave(); });
}

BOOL CDocument::OnNewDocument() {
    path_.clear();
    modified_ = FALSE;
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QByteArray text = QStringLiteral("%1 파일을 저장할 수 없습니다.").arg(path).toUtf8();
        MessageBoxA(nullptr, text.constData(), LoadResourceString(AFX_IDS_APP_TITLE).toUtf8().constData(),
                    MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    // The document keeps its data elsewhere: the file is empty.
    path_ = path;
    modified_ = FALSE;
    return TRUE;
}

void CDocument::OnFileSave() {
    QString path = path_;
    if (path.isEmpty()) {
        CWinApp* app = AfxGetApp();
        path = QFileDialog::getSaveFileName(app ? app->m_pMainWnd : nullptr, QString(), title_);
        if (path.isEmpty())
            return;
    }
    OnSaveDocument(path);
}

BOOL CView::OnCmdMsg(UINT id, int code, CCmdUI* ui) {
    if (CCmdTarget::OnCmdMsg(id, code, ui))
        return TRUE;
    return document_ ? document_->OnCmdMsg(id, code, ui) : FALSE;
}

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, DocumentFactory makeDocument, FrameFactory makeFrame)
    : resourceId_(resourceId), makeDocument_(std::move(makeDocument)), makeFrame_(std::move(makeFrame)) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    CloseAllDocuments();
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path) {
    if (document_) {
        if (!document_->OnNewDocument())
            return nullptr;
        return document_.get();
    }
    document_ = makeDocument_();
    frame_ = makeFrame_();
    if (CWinApp* app = AfxGetApp())
        app->m_pMainWnd = frame_.get();
    if (!frame_->LoadFrame(resourceId_, document_.get()) || !document_->OnNewDocument()) {
        CloseAllDocuments();
        return nullptr;
    }
    document_->SetTitle(path ? QFileInfo(QString::fromUtf8(path)).fileName()
                             : DocumentStringField(resourceId_, 1));
    frame_->InitialUpdateFrame(document_.get());
    return document_.get();
}

void CSingleDocTemplate::CloseAllDocuments() {
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == frame_.get())
        app->m_pMainWnd = nullptr;
    frame_.reset();
    document_.reset();
}
