#include "platform/ui/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <optional>
#include <utility>
#include <vector>

#include "platform/os/MessageBox.h"

namespace {

QMessageBox::Icon IconFor(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

// Qt wraps a message at word boundaries only, so a path longer than a line would widen the box
// past the screen's edge. Zero-width spaces let such a run break anywhere, as the platform's
// boxes break it.
constexpr qsizetype kLongestUnbrokenRun = 32;
constexpr char16_t kZeroWidthSpace = u'\u200B';

QString BreakableText(const QString& text) {
    QString result;
    result.reserve(text.size() * 2);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text[i].isSpace())
            continue;
        const QStringView run = QStringView(text).mid(runStart, i - runStart);
        for (qsizetype k = 0; k < run.size(); ++k) {
            result += run[k];
            const bool insideSurrogatePair = run[k].isHighSurrogate();
            if (run.size() > kLongestUnbrokenRun && k + 1 < run.size() && !insideSurrogatePair)
                result += QChar(kZeroWidthSpace);
        }
        if (i < text.size())
            result += text[i];
        runStart = i + 1;
    }
    return result;
}

int AnswerFor(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDOK;
    }
}

struct WaitingBox {
    QByteArray text;
    QByteArray caption;
    UINT type;
};

struct Deferred {
    int depth = 0;
    bool scheduled = false;
    bool showing = false;
    std::vector<WaitingBox> boxes; // the one being shown stays first until it is closed
    std::optional<int> quitExitCode;
};

Deferred& Waiting() {
    static Deferred deferred;
    return deferred;
}

void ScheduleShowing() {
    Deferred& waiting = Waiting();
    if (waiting.scheduled || !qApp)
        return;
    waiting.scheduled = true;
    QMetaObject::invokeMethod(
        qApp, [] { ShowDeferredMessageBoxes(); }, Qt::QueuedConnection);
}

void Defer(const char* text, const char* caption, UINT type) {
    std::vector<WaitingBox>& boxes = Waiting().boxes;
    const QByteArray body(text), title(caption);
    for (const WaitingBox& box : boxes)
        if (box.text == body && box.caption == title && box.type == type)
            return;
    boxes.push_back({body, title, type});
}

int ShowOrDefer(const char* text, const char* caption, UINT type) {
    // Only a box with one answer can wait: its answer is known now.
    if (Waiting().depth == 0 || (type & MB_TYPEMASK) != MB_OK)
        return ShowQtMessageBox(text, caption, type);
    Defer(text, caption, type);
    return IDOK;
}

void QuitAfterWaitingBoxes(int exitCode) {
    Deferred& waiting = Waiting();
    if (waiting.depth == 0 && waiting.boxes.empty()) {
        QCoreApplication::exit(exitCode);
        return;
    }
    waiting.quitExitCode = exitCode;
    if (waiting.depth == 0)
        ScheduleShowing();
}

} // namespace

MessageBoxDeferral::MessageBoxDeferral() {
    ++Waiting().depth;
}

MessageBoxDeferral::~MessageBoxDeferral() {
    Deferred& waiting = Waiting();
    if (--waiting.depth == 0 && (!waiting.boxes.empty() || waiting.quitExitCode))
        ScheduleShowing();
}

void ShowDeferredMessageBoxes() {
    Deferred& waiting = Waiting();
    waiting.scheduled = false;
    // Inside a deferral the boxes keep waiting; its end schedules them again. A box shown from
    // here runs its own loop, which may come back here: the outer call shows what was added.
    if (waiting.depth > 0 || waiting.showing)
        return;
    waiting.showing = true;
    while (!waiting.boxes.empty()) {
        const WaitingBox box = waiting.boxes.front();
        ShowQtMessageBox(box.text.constData(), box.caption.constData(), box.type);
        waiting.boxes.erase(waiting.boxes.begin());
    }
    waiting.showing = false;
    if (const std::optional<int> exitCode = std::exchange(waiting.quitExitCode, std::nullopt))
        QCoreApplication::exit(*exitCode);
}

int ShowQtMessageBox(const char* text, const char* caption, unsigned type) {
    // Without a caption Windows titles the box "Error".
    const QString title = caption && *caption ? QString::fromUtf8(caption) : QStringLiteral("Error");
    QMessageBox box(IconFor(type), title, BreakableText(QString::fromUtf8(text ? text : "")),
                    ButtonsFor(type), QApplication::activeWindow());
    return AnswerFor(box.exec());
}

void InstallQtMessageBox() {
    SetMessageBoxHandler([](HWND, const char* text, const char* caption, UINT type) {
        return ShowOrDefer(text, caption, type);
    });
    SetQuitHandler(QuitAfterWaitingBoxes);
}
