#pragma once
// The view's window: shows the pictures the view's device presents, turns the window's input into
// the window messages the view expects, and handles the view's commands (fill mode, cameras,
// normals, light, load, printing, saving the picture).

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/LumivoxView.h"
#include "app/ModelChoice.h"
#include "platform/d3d9/PresentationTarget.h"
#include "platform/ui/Document.h"
#include "platform/ui/WindowMessageTranslator.h"

class QDragEnterEvent;
class QDropEvent;
class QPainter;
class QPrinter;

class CLumivoxViewWindow : public QWidget, public CView, public PresentationTarget {
public:
    explicit CLumivoxViewWindow(QWidget* parent = nullptr);
    ~CLumivoxViewWindow() override;

    CLumivoxView& View() { return view_; }
    void OnInitialUpdate() override;
    void PresentImage(const void* pixels, int width, int height, int pitch) override;
    void* PictureBuffer(int width, int height, int* pitch) override;
    void PictureWritten(const RECT* changed, int count) override;

    // Pictures shown so far and the last of them.
    std::uint64_t PresentedPictures() const { return presented_; }
    const QImage& CurrentPicture() const { return picture_; }

    // The load dialog, at start-up and from the load command. Runs `loadDialog` when installed.
    enum class LoadOccasion { Startup, Command };
    std::function<void(LoadOccasion)> loadDialog;
    void OnStartupLoad();
    void OnLoadModel();

    // Where the save-picture command writes; empty: not saved. A save dialog unless replaced.
    std::function<QString()> choosePicturePath;
    void OnSavePicture();

    // Files dropped on the view or the main window: an MD2 file replaces the model, an image the
    // skin, or the cartoon ramp with Shift held. The load goes through `namedModelLoad`.
    std::function<void(const ModelChoice&)> namedModelLoad;
    void OnDropFiles(const QStringList& paths, bool shiftHeld);
    // Shared with the main frame, which passes on what is dropped on its bars.
    static bool AcceptDrag(QDragEnterEvent* event);
    void HandleDrop(QDropEvent* event);

    // Draws the current picture on a page, as large as fits, keeping its proportions.
    void PrintPicture(QPainter& painter, const QRect& page) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void RegisterCommands();
    void Deliver(const std::optional<WindowMessage>& message);
    void OnFillSolid();
    void OnFillWireframe();
    void OnShowNormals();
    void OnFilePrint(bool askPrinter);
    void OnFilePrintPreview();
    void PrintOn(QPrinter& printer) const;

    CLumivoxView view_;
    QImage picture_;
    bool paintWhole_ = true; // the picture is new: the next one is painted whole
    std::uint64_t presented_ = 0;
};
