#pragma once
// The standard dialogs and buttons of the toolkit speak the programs' language.

class QApplication;

// Installs the toolkit's own Simplified Chinese translations on the application,
// whatever the system locale. False when they are not installed on this machine.
bool InstallChineseTranslations(QApplication& app);
