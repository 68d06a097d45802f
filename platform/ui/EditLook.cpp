#include "platform/ui/EditLook.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cmath>

#include "platform/ui/Contrast.h"

namespace {

// Qt keeps this much between an edit's frame and its text; the platform's edits keep one pixel.
constexpr int kQtTextMargin = 2;
constexpr int kTextGap = 1;
constexpr int kCaretWidth = 1;
constexpr double kClosestSpacing = -1.0;
constexpr double kSmallestPointSize = 6.0;
const QString kWidestNumber = QStringLiteral("888");

int InsideWidth(const QLineEdit& edit) {
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = QRect(QPoint(0, 0), edit.size());
    option.lineWidth =
        edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    return edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit).width();
}

bool Fits(const QFont& font, int room) {
    return std::ceil(QFontMetricsF(font).horizontalAdvance(kWidestNumber)) <= room;
}

} // namespace

void MakeDisabledTextReadable(QLineEdit& edit) {
    QPalette palette = edit.palette();
    const QColor readable = DarkenForContrast(palette.color(QPalette::Disabled, QPalette::Text),
                                              {palette.color(QPalette::Disabled, QPalette::Base),
                                               palette.color(QPalette::Disabled, QPalette::Window)},
                                              kReadableContrast);
    palette.setColor(QPalette::Disabled, QPalette::Text, readable);
    edit.setPalette(palette);
}

void FitThreeDigits(QLineEdit& edit) {
    const int shift = kTextGap - kQtTextMargin;
    edit.setTextMargins(shift, 0, shift, 0);
    const int room = InsideWidth(edit) - 2 * kTextGap - kCaretWidth;
    QFont font = edit.font();
    if (Fits(font, room))
        return;
    const double width = QFontMetricsF(font).horizontalAdvance(kWidestNumber);
    const double perLetter = (room - width) / kWidestNumber.size();
    font.setLetterSpacing(QFont::AbsoluteSpacing, std::max(kClosestSpacing, std::floor(perLetter * 10) / 10));
    while (!Fits(font, room) && font.pointSizeF() > kSmallestPointSize)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    edit.setFont(font);
}
