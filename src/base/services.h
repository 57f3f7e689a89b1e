#pragma once
// What the behaviour needs from the platform, as one small interface: the screen,
// message boxes and the pointer shape. The Qt layer implements it for the real
// program; tests use a scripted fake.

#include <string>
#include <vector>

#include "ui/controls.h"

namespace ceph::base {

struct ScreenInfo {
    float widthTwips = 0;
    float heightTwips = 0;
    float twipsPerPixelX = 15;
    float twipsPerPixelY = 15;
};

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageAnswer { Ok, Yes, No };

struct MessageStyle {
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    bool defaultIsSecond = false;  // the second button (No) is the default
};

constexpr MessageStyle kCriticalOk{MessageButtons::Ok, MessageIcon::Critical, false};
constexpr MessageStyle kCriticalYesNoDefaultNo{MessageButtons::YesNo, MessageIcon::Critical, true};

enum class Pointer { Default, Hourglass };

// How a print job went. A job that did not reach a printer says why, in words for the
// user, and names the printer it tried (empty when none is installed).
struct YearMonth {
    int year = 2000;
    int month = 1;
};

struct PrintOutcome {
    bool printed = false;
    std::string printer;
    std::string problem;
};

class Services {
  public:
    virtual ~Services() = default;
    virtual ScreenInfo Screen() const = 0;
    // Shows a modal message box and returns the button the user pressed.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageStyle style) = 0;
    virtual void SetPointer(Pointer pointer) = 0;

    // Pictures: a file loaded into the picture store (an empty reference when it cannot
    // be read), and a picture box as drawn (background and drawing list) written as a
    // 24-bit Windows bitmap.
    virtual ui::PictureRef LoadPicture(const std::string& path) = 0;
    virtual bool SaveBitmap(const ui::PictureBox& box, const std::string& path) = 0;

    // Paper: the pages of a job, each a drawing list in twips from the printable area's
    // top-left, sent to the default printer or written as a PDF file.
    virtual PrintOutcome PrintPages(const std::vector<ui::DrawingList>& pages) = 0;
    virtual bool WritePdf(const std::vector<ui::DrawingList>& pages, const std::string& path) = 0;
    // Asks the user where to save a file; empty when the user cancels.
    virtual std::string ChooseSaveFile(const std::string& suggested, const std::string& filter) = 0;

    // Why the last LoadPicture failed, in words for the user.
    virtual std::string PictureError() const = 0;
    // The guide drawing that ships with the program.
    virtual ui::PictureRef GuideDrawing() = 0;
    // A picture on the clipboard, or an empty reference.
    virtual ui::PictureRef ClipboardPicture() = 0;
    // A stored picture as a Windows bitmap, and as a JPEG file of the given quality.
    virtual bool SavePictureBitmap(const ui::PictureRef& picture, const std::string& path) = 0;
    virtual bool SavePictureJpeg(const ui::PictureRef& picture, const std::string& path,
                                 int quality) = 0;
    // Lets the window handle the events waiting, as a long operation does between steps.
    virtual void ProcessEvents() = 0;
    // Shows the file-picker window until the behaviour hides it again.
    virtual void RunPickerModal() = 0;
    // The drives or mounted volumes the picker offers, each a folder path.
    virtual std::vector<std::string> Drives() = 0;
    // Today's year and month, for the patient's age.
    virtual YearMonth Today() const = 0;
};

}  // namespace ceph::base
