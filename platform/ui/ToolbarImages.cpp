#include "platform/ui/ToolbarImages.h"

#include <QPixmap>

#include "resources/ToolbarBitmap.h"

namespace {

QRgb ColourOf(char letter) {
    for (const PaletteEntry& entry : kSixteenColours) {
        if (entry.letter == letter)
            return qRgb(int(entry.rgb >> 16 & 0xFF), int(entry.rgb >> 8 & 0xFF), int(entry.rgb & 0xFF));
    }
    return qRgba(0, 0, 0, 0);
}

constexpr int kSolidPicture = 3;

} // namespace

QImage ToolbarImage(int index) {
    if (index < 0 || index >= TOOLBAR_IMAGE_COUNT)
        return {};
    QImage image(TOOLBAR_IMAGE_WIDTH, TOOLBAR_IMAGE_HEIGHT, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < TOOLBAR_IMAGE_HEIGHT; ++y) {
        const char* row = kToolbarImages[index][y];
        for (int x = 0; x < TOOLBAR_IMAGE_WIDTH && row[x]; ++x)
            image.setPixel(x, y, ColourOf(row[x]));
    }
    return image;
}

QIcon ToolbarIcon(int index) {
    return QIcon(QPixmap::fromImage(ToolbarImage(index)));
}

QIcon ApplicationIcon() {
    const QImage picture = ToolbarImage(kSolidPicture);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(picture.scaled(32, 30, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    icon.addPixmap(QPixmap::fromImage(picture));
    return icon;
}
