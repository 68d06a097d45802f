#include "platform/ui/Contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double LinearChannel(int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double LowestContrast(const QColor& text, std::initializer_list<QColor> backgrounds) {
    double lowest = 21.0;
    for (const QColor& background : backgrounds)
        lowest = std::min(lowest, ContrastRatio(text, background));
    return lowest;
}

} // namespace

double RelativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * LinearChannel(rgb.red()) + 0.7152 * LinearChannel(rgb.green()) +
           0.0722 * LinearChannel(rgb.blue());
}

double ContrastRatio(const QColor& first, const QColor& second) {
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor DarkenForContrast(const QColor& text, std::initializer_list<QColor> backgrounds, double minimum) {
    QColor darker = text.toHsv();
    darker.setAlpha(255); // blended text would read lighter than measured
    while (darker.value() > 0 && LowestContrast(darker, backgrounds) < minimum)
        darker.setHsv(darker.hsvHue(), darker.hsvSaturation(), darker.value() - 1);
    return darker.toRgb();
}
