#pragma once
// The control panel's first page, "우씨~": the background and text colours, the overlay text switch,
// the overlay font size and the key help. Every accepted change goes at once into the render
// settings.

#include "platform/ui/Controls.h"
#include "platform/ui/PropertySheet.h"

// A colour as Windows keeps it: red in the low byte, then green, then blue.
using COLORREF = DWORD;

constexpr COLORREF MakeColorRef(int red, int green, int blue) {
    return (static_cast<DWORD>(red) & 0xFF) | (static_cast<DWORD>(green) & 0xFF) << 8 |
           (static_cast<DWORD>(blue) & 0xFF) << 16;
}
constexpr int RedOf(COLORREF color) {
    return static_cast<int>(color & 0xFF);
}
constexpr int GreenOf(COLORREF color) {
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int BlueOf(COLORREF color) {
    return static_cast<int>((color >> 16) & 0xFF);
}

constexpr int FONT_HEIGHT_MIN = 10;
constexpr int FONT_HEIGHT_MAX = 50;

struct ColorRow;

class CMyPropertyPage1 : public CPropertyPage {
public:
    CMyPropertyPage1();

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnHScroll(UINT code, UINT position, QSlider* slider) override;

    COLORREF m_backgroundColor;
    COLORREF m_textColor;
    CSliderCtrl m_fontSlider;
    int m_backgroundBlue;
    int m_backgroundGreen;
    int m_backgroundRed;
    int m_textBlue;
    int m_textGreen;
    int m_textRed;
    int m_showText;
    int m_fontHeight;

private:
    void OnColorEdited(const ColorRow& row);
    void OnColorDialog(const ColorRow& row);
    void ShowColor(const ColorRow& row);
    void PaintSwatches();
    void PaintSwatch(int id, COLORREF color);
};
