#include "platform/ui/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

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

} // namespace

int ShowQtMessageBox(const char* text, const char* caption, unsigned type) {
    // Without a caption Windows titles the box "Error".
    const QString title = caption && *caption ? QString::fromUtf8(caption) : QStringLiteral("Error");
    QMessageBox box(IconFor(type), title, QString::fromUtf8(text ? text : ""), ButtonsFor(type),
                    QApplication::activeWindow());
    return AnswerFor(box.exec());
}

void InstallQtMessageBox() {
    SetMessageBoxHandler([](HWND, const char* text, const char* caption, UINT type) {
        return ShowQtMessageBox(text, caption, type);
    });
    SetQuitHandler([](int exitCode) { QCoreApplication::exit(exitCode); });
}
