#pragma once
// Qt's own dialogs and buttons (file and colour choosers, message box buttons) in Korean, like the
// rest of the interface, whatever the system's language.

class QTranslator;

// Installs Qt's Korean translations into the application; the translator belongs to the
// application object. Null when they are not installed on this system.
QTranslator* InstallKoreanQtTranslations();
