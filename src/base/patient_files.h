#pragma once
// Files named after the patient: the tracing's picture "CODE_n.bmp", the suggested PDF
// "CODE_n.pdf". The code comes from the practice suite's hand-off file, so before any
// name is built from it, it must be a plain file name on every system a practice uses.

#include <string>
#include <string_view>

#include "base/result.h"

namespace ceph::base {

// Whether `code` can start a file name; when it cannot, why not, in words for the
// user that follow the code ("含有控制字元"). A code that could leave its folder or be
// cut short by the system is refused: a folder separator ("/" or "\"), "." or "..", a
// NUL byte or any other control character, the characters Windows forbids
// (< > : " | ? *), a final dot or blank, and a name Windows keeps for a device (CON,
// PRN, AUX, NUL, COM0..COM9, LPT0..LPT9, also before a dot). An empty code names no
// patient.
Result<void> CheckCodeName(std::string_view code);

// The picture of tracing n of the patient with `code` in the picture folder: "CODE_n.bmp",
// or the same name ending in "jpg" when there is no such bitmap. Empty when the code
// cannot name a file.
std::string TracingPictureFile(const std::string& pictureDir, std::string_view code, int n);

// The text with its control characters written as "\xNN", so that a message can show a
// code holding them.
std::string Printable(std::string_view text);

}  // namespace ceph::base
