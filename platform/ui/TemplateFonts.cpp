#include "platform/ui/TemplateFonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace {

struct FaceChoice {
    const char* templateFace;
    const char* candidates; // installed faces, best first
};

// Sans faces with the same proportions as the old Windows dialog faces; Hangul from NanumGothic.
constexpr FaceChoice kFaces[] = {
    {"MS Sans Serif", "Liberation Sans,Arimo,DejaVu Sans"},
    {"MS Shell Dlg", "Liberation Sans,Arimo,DejaVu Sans"},
    {"System", "Liberation Sans,Arimo,DejaVu Sans"},
    {"Arial", "Liberation Sans,Arimo,DejaVu Sans"},
    {"굴림", "NanumGothic,NanumBarunGothic,Noto Sans CJK KR,DejaVu Sans"},
    {"Gulim", "NanumGothic,NanumBarunGothic,Noto Sans CJK KR,DejaVu Sans"},
};

const FaceChoice* FindChoice(const QString& templateFace) {
    for (const FaceChoice& choice : kFaces) {
        if (templateFace.compare(QString::fromUtf8(choice.templateFace), Qt::CaseInsensitive) == 0)
            return &choice;
    }
    return nullptr;
}

} // namespace

QString InstalledFace(const QString& templateFace) {
    const FaceChoice* choice = FindChoice(templateFace);
    if (!choice)
        return templateFace;
    const QStringList installed = QFontDatabase::families();
    const QStringList candidates = QString::fromUtf8(choice->candidates).split(QLatin1Char(','));
    for (const QString& candidate : candidates) {
        if (installed.contains(candidate, Qt::CaseInsensitive))
            return candidate;
    }
    return candidates.last();
}

QFont TemplateFont(const char* face, int pointSize) {
    const QString templateFace = QString::fromUtf8(face ? face : "MS Sans Serif");
    QFont font(InstalledFace(templateFace), pointSize > 0 ? pointSize : 8);
    if (templateFace.compare(QLatin1String("System"), Qt::CaseInsensitive) == 0)
        font.setBold(true);
    return font;
}

DialogBaseUnits::DialogBaseUnits(const QFont& font) {
    // The average width of the 52 letters, rounded, and the font's height.
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    x = (letters / 26 + 1) / 2;
    y = metrics.height();
    if (x < 1)
        x = 1;
    if (y < 1)
        y = 1;
}

void InstallTemplateFaces() {
    for (const FaceChoice& choice : kFaces) {
        const QString face = QString::fromUtf8(choice.templateFace);
        QFont::insertSubstitution(face, InstalledFace(face));
    }
}
