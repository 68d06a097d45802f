#pragma once
// The document, the view's command side and the single-document template that creates document,
// frame and view together.

#include <QString>
#include <functional>
#include <memory>

#include "platform/ui/CmdTarget.h"

class CFrameWnd;

class CDocument : public CCmdTarget {
public:
    CDocument();
    virtual BOOL OnNewDocument();
    // Writes the document to `path`; FALSE (after telling the user) when the file cannot be written.
    virtual BOOL OnSaveDocument(const QString& path);
    void SetTitle(const QString& title) { title_ = title; }
    const QString& GetTitle() const { return title_; }
    const QString& GetPathName() const { return path_; }
    BOOL IsModified() const { return modified_; }
    void SetModifiedFlag(BOOL modified = TRUE) { modified_ = modified; }

protected:
    // Asks for a file name when the document has none, then saves it.
    void OnFileSave();

private:
    QString title_;
    QString path_;
    BOOL modified_ = FALSE;
};

// The command side of a view: routes its commands to itself, then to its document.
class CView : public CCmdTarget {
public:
    virtual void OnInitialUpdate() {}
    CDocument* GetDocument() const { return document_; }
    void SetDocument(CDocument* document) { document_ = document; }
    BOOL OnCmdMsg(UINT id, int code, CCmdUI* ui) override;

private:
    CDocument* document_ = nullptr;
};

class CSingleDocTemplate {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<std::unique_ptr<CFrameWnd>()>;

    CSingleDocTemplate(UINT resourceId, DocumentFactory makeDocument, FrameFactory makeFrame);
    ~CSingleDocTemplate();

    // Without a document yet: creates the document, the frame (which creates the view) and runs
    // the view's initial update. With one: starts the document over; the view keeps its device.
    CDocument* OpenDocumentFile(const char* path);
    // Destroys frame and document.
    void CloseAllDocuments();

    CDocument* Document() const { return document_.get(); }
    CFrameWnd* Frame() const { return frame_.get(); }
    UINT ResourceId() const { return resourceId_; }

private:
    UINT resourceId_;
    DocumentFactory makeDocument_;
    FrameFactory makeFrame_;
    std::unique_ptr<CDocument> document_;
    std::unique_ptr<CFrameWnd> frame_;
};
