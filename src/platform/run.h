#pragma once
// Starting the real program: Qt, the report face, start-up for the patient of the
// hand-off, and the main window's event loop.

namespace ceph::platform {

// Picks a face with Traditional Chinese glyphs for the whole program, the one installed
// beside the program first, else one the system has, and returns its family name.
const char* InstallChineseFont();

int RunReadceph(int argc, char** argv);

}  // namespace ceph::platform
