#pragma once
// Text contrast as the accessibility guidelines measure it: relative luminance of sRGB colours.

#include <QColor>
#include <initializer_list>

// Text on a background needs at least this much to read well.
constexpr double kReadableContrast = 4.5;

// 0 for black to 1 for white.
double RelativeLuminance(const QColor& colour);
// From 1 (no contrast) to 21 (black on white), whichever colour is the lighter.
double ContrastRatio(const QColor& first, const QColor& second);
// `text`, darkened just enough to stand out from every background by `minimum`.
QColor DarkenForContrast(const QColor& text, std::initializer_list<QColor> backgrounds, double minimum);
