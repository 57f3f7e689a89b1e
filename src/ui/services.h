#pragma once
// What the behaviour needs from the platform, in a few small interfaces: the screen and
// the clock, dialogs, pictures and paper.

#include <string>
#include <system_error>
#include <vector>

#include "base/result.h"
#include "learning/grey_film.h"
#include "page/services.h"
#include "ui/controls.h"

namespace ceph::ui {

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
    // Captions of Yes and No where the question names its own answers (null: 是, 否).
    const char* yesText = nullptr;
    const char* noText = nullptr;
};

constexpr MessageStyle kCriticalOk{MessageButtons::Ok, MessageIcon::Critical, false};
constexpr MessageStyle kExclamationOk{MessageButtons::Ok, MessageIcon::Exclamation, false};
constexpr MessageStyle kCriticalYesNoDefaultNo{MessageButtons::YesNo, MessageIcon::Critical, true};
constexpr MessageStyle kQuestionYesNo{MessageButtons::YesNo, MessageIcon::Question, false};
// Replacing what someone else stored: 取代 (Yes) or 取消 (No, the default).
constexpr MessageStyle kReplaceOrCancel{MessageButtons::YesNo, MessageIcon::Exclamation, true,
                                        "取代", "取消"};

// The title of every message box: the program's name as its window shows it.
inline constexpr const char* kProgramTitle = "側頭顱分析";

enum class Pointer { Default, Hourglass };

using page::YearMonth;

// Why a print job did not reach a printer: the printer it tried (empty when none is
// installed) and, when that printer refused it, why, in words for the user.
struct PrintProblem {
    std::string printer;
    std::string problem;
};

// The screen the window appears on and today's date.
class ScreenAndClock {
  public:
    virtual ~ScreenAndClock() = default;
    virtual ScreenInfo Screen() const = 0;
    // Today's date: its year and month for the patient's age, and the day for a page.
    virtual YearMonth Today() const = 0;
};

// Talking with the user: message boxes, the pointer, the file-picker window and the
// question where to save a file.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Shows a modal message box and returns the button the user pressed.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageStyle style) = 0;
    virtual void SetPointer(Pointer pointer) = 0;
    // Asks the user where to save a file; empty when the user cancels.
    virtual std::string ChooseSaveFile(const std::string& suggested, const std::string& filter) = 0;
    // Shows the file-picker window until the behaviour hides it again.
    virtual void RunPickerModal() = 0;
    // The drives or mounted volumes the picker offers, each a folder path.
    virtual std::vector<std::string> Drives() = 0;
    // Lets the window handle the events waiting, as a long operation does between steps.
    virtual void ProcessEvents() = 0;
    // Shows how far a long piece of work has come, `done` from 0 to 1, under `text`; 1
    // ends the display. Work that ends quickly shows nothing.
    virtual void ShowProgress(const std::string& text, double done) = 0;
};

// Pictures: decoded and kept by the platform, referred to by handle in the model. A file
// is loaded as a page loads it (page::PictureLookup); the window also has the guide
// drawing, the clipboard's picture, and stores pictures and panels as files.
class PictureService : public page::PictureLookup {
  public:
    // The guide drawing that ships with the program.
    virtual PictureRef GuideDrawing() = 0;
    // A picture on the clipboard, or an empty reference.
    virtual PictureRef ClipboardPicture() = 0;

    // A stored picture as a Windows bitmap, and as a JPEG file of the given quality; a
    // grey picture is stored grey. A deep picture is stored in 8 bits as `shown` shows it
    // (its window and the aids, never inverted); any other as it is. Empty when written;
    // otherwise why not (ErrorText words it), and the file is as it was. Written row by
    // row, with little memory beside the picture's own, and with progress shown while it
    // takes long.
    virtual std::error_code SavePictureBitmap(const PictureRef& picture, const PictureView& shown,
                                              const std::string& path) = 0;
    virtual std::error_code SavePictureJpeg(const PictureRef& picture, const PictureView& shown,
                                            const std::string& path, int quality) = 0;
    // A picture box as drawn (background and drawing list) as a 24-bit Windows bitmap.
    virtual bool SaveBitmap(const PictureBox& box, const std::string& path) = 0;
    // A kept picture's pixels in 8-bit grey, as the landmark model reads a film: a deep
    // one through its own window, a colour one by its luminance; empty for none.
    virtual learning::GreyFilm GreyPixels(const PictureRef& picture) = 0;
    // The folder of the files installed with the program (/usr/share/readceph on
    // Debian, the program's own folder on Windows); empty when there is none.
    virtual std::string InstalledFolder() const = 0;
};

// Paper: the pages of a job, each a drawing list in twips from the printable area's
// top-left, sent to the default printer or written as a PDF file.
class Paper {
  public:
    virtual ~Paper() = default;
    // Prints on the default printer, or says why the pages did not reach one.
    virtual base::Result<void, PrintProblem> PrintPages(const std::vector<DrawingList>& pages) = 0;
    // Empty when written; otherwise why not (the file is then as it was).
    virtual std::error_code WritePdf(const std::vector<DrawingList>& pages,
                                     const std::string& path) = 0;
};

// Everything the behaviour asks of the platform, by concern. The Qt layer implements
// it for the program and for cephtool; tests use a scripted fake.
class Services : public ScreenAndClock, public Dialogs, public PictureService, public Paper {};

}  // namespace ceph::ui
