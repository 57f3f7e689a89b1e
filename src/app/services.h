#pragma once
// What the behaviour needs from the platform, as one small interface: the screen,
// message boxes and the pointer shape. The Qt layer implements it for the real
// program; tests use a scripted fake.

#include <string>

namespace ceph::app {

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

class Services {
  public:
    virtual ~Services() = default;
    virtual ScreenInfo Screen() const = 0;
    // Shows a modal message box and returns the button the user pressed.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageStyle style) = 0;
    virtual void SetPointer(Pointer pointer) = 0;
};

}  // namespace ceph::app
