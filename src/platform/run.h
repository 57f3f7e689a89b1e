#pragma once
// Starting the real program: Qt, the report face, start-up for the patient of the
// hand-off, and the main window's event loop.

namespace ceph::platform {

// Picks a face with Traditional Chinese glyphs for the whole program, when one is
// installed, and returns its family name.
const char* InstallChineseFont();

int RunReadceph(int argc, char** argv);

}  // namespace ceph::platform
