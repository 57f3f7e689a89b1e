#pragma once
// Starting the real program: Qt, the report face (chinese_font.h), start-up for the
// patient of the hand-off, and the main window's event loop.

namespace ceph::platform {

// Qt's own texts (the file dialog's buttons and labels, its columns and places) in
// Traditional Chinese: the catalogue shipped beside the program (translations\ on
// Windows) or the system's (Debian's qt6-translations-l10n). False when neither is
// there; the dialogs then stay in English.
bool InstallChineseTranslations();

int RunReadceph(int argc, char** argv);

}  // namespace ceph::platform
