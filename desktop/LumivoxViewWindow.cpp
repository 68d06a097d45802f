#include "desktop/LumivoxViewWindow.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWheelEvent>
#include <cstring>

#include "app/DroppedFiles.h"
#include "desktop/MainFrame.h"
#include "desktop/SavePicture.h"
#include "panel/MyPropertySheet.h"
#include "platform/d3d9/Direct3D9.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/QtMessageBox.h"
#include "resources/Resource.h"
#include "scene/Scene.h"
#include "state/RenderSettings.h"

CLumivoxViewWindow::CLumivoxViewWindow(QWidget* parent) : QWidget(parent) {
    choosePicturePath = [this] { return ChoosePngPath(this); };
    view_.AttachWindow(WindowFromPresentationTarget(static_cast<PresentationTarget*>(this)));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    RegisterCommands();
}

// The view goes first: it releases the device and writes the settings file.
CLumivoxViewWindow::~CLumivoxViewWindow() = default;

void CLumivoxViewWindow::RegisterCommands() {
    RenderSettings& settings = *theRenderSettings;
    OnCommand(ID_FILL_SOLID, [this] { OnFillSolid(); });
    OnUpdateCommand(ID_FILL_SOLID, [&settings](CCmdUI* ui) {
        ui->Enable(TRUE);
        ui->SetCheck(settings.wireframe == 0);
    });
    OnCommand(ID_FILL_WIREFRAME, [this] { OnFillWireframe(); });
    OnUpdateCommand(ID_FILL_WIREFRAME, [&settings](CCmdUI* ui) {
        ui->Enable(TRUE);
        ui->SetCheck(settings.wireframe);
    });
    OnCommand(ID_CAMERA_VIEW, [&settings] {
        if (settings.activeCamera == 1)
            settings.activeCamera = 0;
    });
    OnUpdateCommand(ID_CAMERA_VIEW, [&settings](CCmdUI* ui) {
        ui->Enable(TRUE);
        ui->SetCheck(settings.activeCamera == 0);
    });
    OnCommand(ID_CAMERA_LOOKAT, [&settings] {
        if (settings.activeCamera == 0)
            settings.activeCamera = 1;
    });
    OnUpdateCommand(ID_CAMERA_LOOKAT, [&settings](CCmdUI* ui) {
        ui->Enable(TRUE);
        ui->SetCheck(settings.activeCamera == 1);
    });
    OnCommand(ID_CAMERA_RESET, [&settings] { settings.ResetCameras(); });
    OnCommand(ID_SHOW_NORMALS, [this] { OnShowNormals(); });
    OnUpdateCommand(ID_SHOW_NORMALS, [&settings](CCmdUI* ui) { ui->SetCheck(settings.showNormals); });
    OnCommand(ID_LIGHTING, [&settings] { settings.lighting = settings.lighting == 0 ? 1 : 0; });
    OnUpdateCommand(ID_LIGHTING, [&settings](CCmdUI* ui) { ui->SetCheck(settings.lighting); });
    OnCommand(ID_LOAD_MODEL, [this] { OnLoadModel(); });
    OnCommand(ID_SAVE_PICTURE, [this] { OnSavePicture(); });
    OnCommand(ID_FILE_PRINT, [this] { OnFilePrint(true); });
    OnCommand(ID_FILE_PRINT_DIRECT, [this] { OnFilePrint(false); });
    OnCommand(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
}

void CLumivoxViewWindow::OnFillSolid() {
    RenderSettings& settings = *theRenderSettings;
    if (settings.wireframe != 1)
        return;
    settings.wireframe = 0;
    ApplyFillMode(settings.device, settings.wireframe);
}

void CLumivoxViewWindow::OnFillWireframe() {
    RenderSettings& settings = *theRenderSettings;
    if (settings.wireframe != 0)
        return;
    settings.wireframe = 1;
    ApplyFillMode(settings.device, settings.wireframe);
}

void CLumivoxViewWindow::OnShowNormals() {
    RenderSettings& settings = *theRenderSettings;
    settings.showNormals = settings.showNormals == 0 ? 1 : 0;
    if (auto* frame = dynamic_cast<CMainFrame*>(window()); frame && frame->controlSheet)
        frame->controlSheet->page3.SetShowNormals(settings.showNormals);
}

void CLumivoxViewWindow::OnInitialUpdate() {
    view_.OnInitialUpdate(width(), height());
}

void CLumivoxViewWindow::OnStartupLoad() {
    if (loadDialog)
        loadDialog(LoadOccasion::Startup);
}

void CLumivoxViewWindow::OnLoadModel() {
    if (loadDialog)
        loadDialog(LoadOccasion::Command);
}

void CLumivoxViewWindow::OnSavePicture() {
    const QString path = choosePicturePath ? choosePicturePath() : QString();
    if (path.isEmpty())
        return;
    QString error;
    if (!SavePng(picture_, path, error))
        MessageBoxA(nullptr, error.toUtf8().constData(), "Picture_error", MB_OK);
}

namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr)
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

void CLumivoxViewWindow::OnDropFiles(const QStringList& paths, bool shiftHeld) {
    std::vector<std::string> files;
    for (const QString& path : paths)
        files.push_back(path.toStdString());
    const std::optional<ModelChoice> choice = ChoiceForDroppedFiles(files, shiftHeld, theScene->modelFile);
    if (choice && namedModelLoad)
        namedModelLoad(*choice);
}

bool CLumivoxViewWindow::AcceptDrag(QDragEnterEvent* event) {
    if (LocalFiles(event->mimeData()).isEmpty())
        return false;
    event->acceptProposedAction();
    return true;
}

void CLumivoxViewWindow::HandleDrop(QDropEvent* event) {
    const QStringList paths = LocalFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    OnDropFiles(paths, event->modifiers().testFlag(Qt::ShiftModifier));
}

void CLumivoxViewWindow::dragEnterEvent(QDragEnterEvent* event) {
    AcceptDrag(event);
}

void CLumivoxViewWindow::dropEvent(QDropEvent* event) {
    HandleDrop(event);
}

void CLumivoxViewWindow::PresentImage(const void* pixels, int width, int height, int pitch) {
    if (picture_.width() != width || picture_.height() != height)
        picture_ = QImage(width, height, QImage::Format_RGB32);
    // The device's pixels live only for this call; the picture keeps one copy and reuses it.
    const auto* source = static_cast<const uchar*>(pixels);
    const qsizetype rowBytes = qsizetype(width) * 4;
    uchar* target = picture_.bits();
    if (pitch == picture_.bytesPerLine()) {
        std::memcpy(target, source, std::size_t(rowBytes) * std::size_t(height));
    } else {
        for (int y = 0; y < height; ++y)
            std::memcpy(target + qsizetype(y) * picture_.bytesPerLine(), source + qsizetype(y) * pitch,
                        std::size_t(rowBytes));
    }
    ++presented_;
    update();
}

// The device writes each picture straight into the window's picture, and names what changed: only
// that is painted again, unless the picture is new.
void* CLumivoxViewWindow::PictureBuffer(int width, int height, int* pitch) {
    if (picture_.width() != width || picture_.height() != height) {
        picture_ = QImage(width, height, QImage::Format_RGB32);
        paintWhole_ = true;
    }
    *pitch = int(picture_.bytesPerLine());
    return picture_.bits();
}

void CLumivoxViewWindow::PictureWritten(const RECT* changed, int count) {
    ++presented_;
    if (paintWhole_) {
        paintWhole_ = false;
        update();
        return;
    }
    for (int i = 0; i < count; ++i)
        update(QRect(changed[i].left, changed[i].top, changed[i].right - changed[i].left,
                     changed[i].bottom - changed[i].top));
}

void CLumivoxViewWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (picture_.isNull()) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    for (const QRect& part : event->region())
        painter.drawImage(part.topLeft(), picture_, part);
    const QRect drawn(0, 0, picture_.width(), picture_.height());
    if (!drawn.contains(rect())) {
        painter.fillRect(QRect(drawn.right() + 1, 0, width(), height()), Qt::white);
        painter.fillRect(QRect(0, drawn.bottom() + 1, drawn.width(), height()), Qt::white);
    }
}

void CLumivoxViewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A failed reset reports itself in a box; it waits until the layout that resized the window
    // is done.
    const MessageBoxDeferral afterThisEvent;
    view_.OnSize(static_cast<UINT>(SIZE_RESTORED), width(), height());
}

void CLumivoxViewWindow::Deliver(const std::optional<WindowMessage>& message) {
    if (message)
        view_.DefWindowProc(message->message, message->wParam, message->lParam);
}

void CLumivoxViewWindow::keyPressEvent(QKeyEvent* event) {
    Deliver(TranslateKeyPress(*event));
}

void CLumivoxViewWindow::keyReleaseEvent(QKeyEvent* event) {
    Deliver(TranslateKeyRelease(*event));
}

void CLumivoxViewWindow::mousePressEvent(QMouseEvent* event) {
    Deliver(TranslateMouse(*event));
}

void CLumivoxViewWindow::mouseReleaseEvent(QMouseEvent* event) {
    Deliver(TranslateMouse(*event));
}

void CLumivoxViewWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    Deliver(TranslateMouse(*event));
}

void CLumivoxViewWindow::mouseMoveEvent(QMouseEvent* event) {
    // The window does not capture the mouse: moves outside it are not its messages.
    if (rect().contains(event->position().toPoint()))
        Deliver(TranslateMouse(*event));
}

void CLumivoxViewWindow::wheelEvent(QWheelEvent* event) {
    Deliver(TranslateWheel(*event));
}

void CLumivoxViewWindow::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    view_.OnSetFocus();
}

void CLumivoxViewWindow::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    view_.OnKillFocus();
}

bool CLumivoxViewWindow::focusNextPrevChild(bool) {
    // Tab is a key like any other for the view.
    return false;
}

void CLumivoxViewWindow::PrintPicture(QPainter& painter, const QRect& page) const {
    if (picture_.isNull() || page.isEmpty())
        return;
    const QSize fitted = picture_.size().scaled(page.size(), Qt::KeepAspectRatio);
    const QRect target(page.x() + (page.width() - fitted.width()) / 2,
                       page.y() + (page.height() - fitted.height()) / 2, fitted.width(), fitted.height());
    painter.drawImage(target, picture_);
}

void CLumivoxViewWindow::PrintOn(QPrinter& printer) const {
    QPainter painter(&printer);
    if (painter.isActive())
        PrintPicture(painter, painter.viewport());
}

void CLumivoxViewWindow::OnFilePrint(bool askPrinter) {
    QPrinter printer;
    if (askPrinter) {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    PrintOn(printer);
}

void CLumivoxViewWindow::OnFilePrintPreview() {
    QPrinter printer;
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { PrintOn(*target); });
    preview.exec();
}
