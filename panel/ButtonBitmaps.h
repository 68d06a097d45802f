#pragma once
// The pictures of the model page's play buttons and the bitmap button that shows them. A picture
// is named by the button's caption and a letter: "BU" is button B up, "BD" the same pressed.

#include <QImage>
#include <QObject>

#include "platform/os/WinTypes.h"

class CDialogBase;
class QAbstractButton;

constexpr int BUTTON_BITMAP_SIZE = 20;

// The 20 x 20 picture called `name` ("BU", "BD", "PU", "PD", "SU", "SD", "AU", "AD"), or a null
// image for any other name.
QImage LoadButtonBitmap(const QString& name);

// A push button drawn with its up and down pictures instead of the usual face.
class CBitmapButton : public QObject {
public:
    // Takes over control `id` of `parent`: loads the pictures named by its caption and gives it the
    // size of the up picture. FALSE when the control or its up picture is missing.
    BOOL AutoLoad(int id, CDialogBase& parent);
    QAbstractButton* Button() const { return button_; }
    const QImage& UpPicture() const { return up_; }
    const QImage& DownPicture() const { return down_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton* button_ = nullptr;
    QImage up_;
    QImage down_;
};
