#include "panel/MyPropertyPage1.h"

#include <QColorDialog>
#include <QPalette>

#include "panel/TabHighlight.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/DataExchange.h"
#include "resources/Resource.h"
#include "state/RenderSettings.h"

namespace {

constexpr int kColorMin = 0;
constexpr int kColorMax = 255;
constexpr int kFontSliderTicks = 10;

QColor ToQColor(COLORREF color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

// The modal colour chooser, owned by no window and starting on black. IDOK with the chosen colour
// in `color`, IDCANCEL with `color` untouched.
int RunColorDialog(COLORREF& color) {
    QColorDialog dialog(QColor(Qt::black));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return IDCANCEL;
    const QColor chosen = dialog.selectedColor();
    color = MakeColorRef(chosen.red(), chosen.green(), chosen.blue());
    return IDOK;
}

void ExchangeColor(CDataExchange* dx, int id, int& component) {
    DDX_Text(dx, id, component);
    DDV_MinMaxInt(dx, component, kColorMin, kColorMax);
}

} // namespace

// One colour row of the page, background or text: the page's colour and components, and the
// settings' components they go to.
struct ColorRow {
    COLORREF CMyPropertyPage1::*color;
    int CMyPropertyPage1::*red;
    int CMyPropertyPage1::*green;
    int CMyPropertyPage1::*blue;
    int RenderSettings::*settingsRed;
    int RenderSettings::*settingsGreen;
    int RenderSettings::*settingsBlue;
};

namespace {

constexpr ColorRow kBackgroundRow{&CMyPropertyPage1::m_backgroundColor, &CMyPropertyPage1::m_backgroundRed,
                                  &CMyPropertyPage1::m_backgroundGreen, &CMyPropertyPage1::m_backgroundBlue,
                                  &RenderSettings::backgroundRed,       &RenderSettings::backgroundGreen,
                                  &RenderSettings::backgroundBlue};
constexpr ColorRow kTextRow{&CMyPropertyPage1::m_textColor, &CMyPropertyPage1::m_textRed,
                            &CMyPropertyPage1::m_textGreen, &CMyPropertyPage1::m_textBlue,
                            &RenderSettings::textRed,       &RenderSettings::textGreen,
                            &RenderSettings::textBlue};

} // namespace

CMyPropertyPage1::CMyPropertyPage1() : CPropertyPage(IDD_PROPPAGE_COLORS) {
    const RenderSettings& settings = *theRenderSettings;
    m_backgroundColor =
        MakeColorRef(settings.backgroundRed, settings.backgroundGreen, settings.backgroundBlue);
    m_textColor = MakeColorRef(settings.textRed, settings.textGreen, settings.textBlue);
    m_backgroundBlue = settings.backgroundBlue;
    m_backgroundGreen = settings.backgroundGreen;
    m_backgroundRed = settings.backgroundRed;
    m_textBlue = settings.textBlue;
    m_textGreen = settings.textGreen;
    m_textRed = settings.textRed;
    m_showText = settings.showText;
    m_fontHeight = settings.fontHeight;
    m_psp.dwFlags |= PSP_USETITLE;
    m_psp.pszTitle = "우씨~";

    for (const int id : {IDC_BACK_RED, IDC_BACK_GREEN, IDC_BACK_BLUE})
        OnControl(id, EN_CHANGE, [this] { OnColorEdited(kBackgroundRow); });
    for (const int id : {IDC_TEXT_RED, IDC_TEXT_GREEN, IDC_TEXT_BLUE})
        OnControl(id, EN_CHANGE, [this] { OnColorEdited(kTextRow); });
    OnControl(IDC_BACK_COLOR_DIALOG, BN_CLICKED, [this] { OnColorDialog(kBackgroundRow); });
    OnControl(IDC_TEXT_COLOR_DIALOG, BN_CLICKED, [this] { OnColorDialog(kTextRow); });
    OnControl(IDC_DISPLAY_TEXT, BN_CLICKED, [this] {
        m_showText = m_showText == 1 ? 0 : 1;
        theRenderSettings->showText = m_showText;
    });
}

BOOL CMyPropertyPage1::OnSetActive() {
    HighlightOwnTab(*this, true);
    return CPropertyPage::OnSetActive();
}

BOOL CMyPropertyPage1::OnKillActive() {
    return UnhighlightWhenLeft(*this, CPropertyPage::OnKillActive());
}

void CMyPropertyPage1::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_FONT_SLIDER, m_fontSlider);
    ExchangeColor(dx, IDC_BACK_BLUE, m_backgroundBlue);
    ExchangeColor(dx, IDC_BACK_GREEN, m_backgroundGreen);
    ExchangeColor(dx, IDC_BACK_RED, m_backgroundRed);
    ExchangeColor(dx, IDC_TEXT_BLUE, m_textBlue);
    ExchangeColor(dx, IDC_TEXT_GREEN, m_textGreen);
    ExchangeColor(dx, IDC_TEXT_RED, m_textRed);
    DDX_Check(dx, IDC_DISPLAY_TEXT, m_showText);
    DDX_Text(dx, IDC_FONT_HEIGHT, m_fontHeight);
}

BOOL CMyPropertyPage1::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    PaintSwatches();
    m_fontSlider.SetRange(FONT_HEIGHT_MIN, FONT_HEIGHT_MAX);
    m_fontSlider.SetTicFreq(kFontSliderTicks);
    m_fontSlider.SetPos(theRenderSettings->fontHeight);
    return TRUE;
}

void CMyPropertyPage1::OnColorEdited(const ColorRow& row) {
    // Any colour edit on the page that is not a number from 0 to 255 stops the change.
    if (!UpdateData(TRUE))
        return;
    this->*row.color = MakeColorRef(this->*row.red, this->*row.green, this->*row.blue);
    ShowColor(row);
}

void CMyPropertyPage1::OnColorDialog(const ColorRow& row) {
    RunColorDialog(this->*row.color);
    this->*row.red = RedOf(this->*row.color);
    this->*row.green = GreenOf(this->*row.color);
    this->*row.blue = BlueOf(this->*row.color);
    ShowColor(row);
}

// The settings take the page's components; the edits and swatches show them.
void CMyPropertyPage1::ShowColor(const ColorRow& row) {
    RenderSettings& settings = *theRenderSettings;
    settings.*row.settingsRed = this->*row.red;
    settings.*row.settingsGreen = this->*row.green;
    settings.*row.settingsBlue = this->*row.blue;
    UpdateData(FALSE);
    PaintSwatches();
}

void CMyPropertyPage1::OnHScroll(UINT code, UINT position, QSlider* slider) {
    m_fontHeight = m_fontSlider.GetPos();
    UpdateData(FALSE);
    theRenderSettings->fontHeight = m_fontHeight;
    theRenderSettings->fontChanged = 1;
    CPropertyPage::OnHScroll(code, position, slider);
}

void CMyPropertyPage1::PaintSwatches() {
    PaintSwatch(IDC_BACK_SWATCH, m_backgroundColor);
    PaintSwatch(IDC_TEXT_SWATCH, m_textColor);
}

// The swatch fills itself with the colour and draws its black frame over it, so that nothing else
// drawn on the page (the group box around it) tints the colour.
void CMyPropertyPage1::PaintSwatch(int id, COLORREF color) {
    QWidget* swatch = GetDlgItem(id);
    if (!swatch)
        return;
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    swatch->setPalette(palette);
    swatch->setAutoFillBackground(true);
}
