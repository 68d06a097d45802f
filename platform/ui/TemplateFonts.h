#pragma once
// The faces the dialog templates name, mapped to installed ones, and the dialog base units that
// turn template coordinates into pixels.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

// The installed face standing in for a template face ("MS Sans Serif", "System", "굴림", ...).
QString InstalledFace(const QString& templateFace);

// The font of a template: the mapped face at the point size; "System" is bold.
QFont TemplateFont(const char* face, int pointSize);

// Average character width and height of a font, in pixels, as dialog layout measures them.
struct DialogBaseUnits {
    int x;
    int y;

    DialogBaseUnits() : x(4), y(8) {}
    DialogBaseUnits(int baseX, int baseY) : x(baseX), y(baseY) {}
    explicit DialogBaseUnits(const QFont& font);

    // A horizontal distance is base x / 4 pixels per unit, a vertical one base y / 8.
    int ToPixelsX(int units) const { return (units * x + 2) / 4; }
    int ToPixelsY(int units) const { return (units * y + 4) / 8; }
    QRect ToPixels(int ux, int uy, int ucx, int ucy) const {
        return {ToPixelsX(ux), ToPixelsY(uy), ToPixelsX(ucx), ToPixelsY(ucy)};
    }
};

// Registers the face substitutions with Qt; call once after the application object exists.
void InstallTemplateFaces();
