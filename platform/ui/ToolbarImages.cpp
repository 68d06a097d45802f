#include "platform/ui/ToolbarImages.h"

#include <QPixmap>

#include "platform/ui/ResourceTables.h"

namespace {

QRgb ColourOf(const ToolbarStrip& strip, char letter) {
    for (const PaletteEntry& entry : strip.palette) {
        if (entry.letter == letter)
            return qRgb(int(entry.rgb >> 16 & 0xFF), int(entry.rgb >> 8 & 0xFF), int(entry.rgb & 0xFF));
    }
    return qRgba(0, 0, 0, 0);
}

} // namespace

QImage ToolbarImage(int index) {
    const ToolbarStrip& strip = InstalledResources().toolbar;
    if (index < 0 || index >= strip.count)
        return {};
    QImage image(strip.width, strip.height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < strip.height; ++y) {
        const char* row = strip.rows[index * strip.height + y];
        for (int x = 0; x < strip.width && row[x]; ++x)
            image.setPixel(x, y, ColourOf(strip, row[x]));
    }
    return image;
}

QIcon ToolbarIcon(int index) {
    return QIcon(QPixmap::fromImage(ToolbarImage(index)));
}

QIcon ApplicationIcon() {
    const QImage picture = ToolbarImage(InstalledResources().toolbar.iconPicture);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(picture.scaled(32, 30, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    icon.addPixmap(QPixmap::fromImage(picture));
    return icon;
}
