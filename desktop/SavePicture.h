#pragma once
// The picture on screen saved as a PNG file.

#include <QImage>
#include <QString>

class QWidget;

// A save dialog for a PNG file; empty when cancelled.
QString ChoosePngPath(QWidget* parent);

// Writes `picture` to `path` whole, or leaves the file there was. False, with the reason in
// `error`, when there is no picture yet or it cannot be written.
bool SavePng(const QImage& picture, const QString& path, QString& error);
