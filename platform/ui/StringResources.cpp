#include "platform/ui/StringResources.h"

#include <QStringList>

#include "platform/ui/ResourceTables.h"

QString LoadResourceString(UINT id) {
    const char* text = FindString(id);
    return text ? QString::fromUtf8(text) : QString();
}

QString CommandPrompt(UINT id) {
    return LoadResourceString(id).section(QLatin1Char('\n'), 0, 0);
}

QString CommandTooltip(UINT id) {
    const QString text = LoadResourceString(id);
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    return newline < 0 ? QString() : text.mid(newline + 1);
}

QString DocumentStringField(UINT id, int index) {
    const QStringList fields = LoadResourceString(id).split(QLatin1Char('\n'));
    return index < fields.size() ? fields[index] : QString();
}
