#include "panel/ButtonBitmaps.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPainter>
#include <QPolygon>

#include "platform/ui/DialogBase.h"

namespace {

const QColor kFaceUp(104, 124, 150);
const QColor kFaceDown(78, 96, 120);
const QColor kRimLight(176, 190, 208);
const QColor kRimDark(44, 54, 70);
const QColor kSymbolUp(0, 92, 0);
const QColor kSymbolDown(64, 255, 64);

void DrawRoundFace(QPainter& painter, bool pressed) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(pressed ? kRimLight : kRimDark);
    painter.drawEllipse(1, 1, 18, 18);
    painter.setBrush(pressed ? kRimDark : kRimLight);
    painter.drawEllipse(0, 0, 18, 18);
    painter.setBrush(pressed ? kFaceDown : kFaceUp);
    painter.drawEllipse(1, 1, 17, 17);
}

void Triangle(QPainter& painter, int tipX, int baseX) {
    painter.drawPolygon(QPolygon({QPoint(baseX, 5), QPoint(tipX, 10), QPoint(baseX, 15)}));
}

// Each symbol fills roughly the middle 10 x 10 pixels of the face.
void DrawSymbol(QPainter& painter, char symbol) {
    switch (symbol) {
    case 'B':
        painter.drawRect(5, 5, 2, 11);
        Triangle(painter, 8, 14);
        break;
    case 'P':
        Triangle(painter, 14, 7);
        break;
    case 'S':
        painter.drawRect(6, 5, 3, 11);
        painter.drawRect(11, 5, 3, 11);
        break;
    case 'A':
        Triangle(painter, 11, 5);
        painter.drawRect(13, 5, 2, 11);
        break;
    default:
        break;
    }
}

} // namespace

QImage LoadButtonBitmap(const QString& name) {
    if (name.size() != 2 || !QStringLiteral("BPSA").contains(name[0]) ||
        (name[1] != QLatin1Char('U') && name[1] != QLatin1Char('D')))
        return {};
    const bool pressed = name[1] == QLatin1Char('D');
    QImage picture(BUTTON_BITMAP_SIZE, BUTTON_BITMAP_SIZE, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    DrawRoundFace(painter, pressed);
    // A pressed button's symbol moves down and right with the face.
    painter.translate(pressed ? 1 : 0, pressed ? 1 : 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(pressed ? kSymbolDown : kSymbolUp);
    DrawSymbol(painter, name[0].toLatin1());
    return picture;
}

BOOL CBitmapButton::AutoLoad(int id, CDialogBase& parent) {
    auto* button = qobject_cast<QAbstractButton*>(parent.GetDlgItem(id));
    if (!button)
        return FALSE;
    const QString caption = button->text();
    up_ = LoadButtonBitmap(caption + QLatin1Char('U'));
    down_ = LoadButtonBitmap(caption + QLatin1Char('D'));
    if (up_.isNull())
        return FALSE;
    if (button_)
        button_->removeEventFilter(this);
    button_ = button;
    button_->installEventFilter(this);
    button_->resize(up_.size());
    button_->update();
    return TRUE;
}

bool CBitmapButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched != button_ || event->type() != QEvent::Paint)
        return QObject::eventFilter(watched, event);
    QPainter painter(button_);
    const QImage& picture = button_->isDown() && !down_.isNull() ? down_ : up_;
    painter.drawImage(0, 0, picture);
    return true;
}
