#include "desktop/SavePicture.h"

#include <QDir>
#include <QFileDialog>
#include <QSaveFile>

QString ChoosePngPath(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("그림 저장"),
                       QDir::current().filePath(QStringLiteral("lumivox.png")),
                       QStringLiteral("PNG (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}

bool SavePng(const QImage& picture, const QString& path, QString& error) {
    if (picture.isNull()) {
        error = QStringLiteral("There is no picture to save yet.");
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit())
        return true;
    error = QStringLiteral("Could not save the picture:\n") + path;
    return false;
}
