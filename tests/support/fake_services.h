#pragma once
// Scripted platform services for behaviour tests: a fixed screen, recorded message
// boxes with queued answers, and the pointer shape.

#include <deque>
#include <string>
#include <vector>

#include "app/services.h"

namespace ceph::testing {

class FakeServices : public app::Services {
  public:
    struct Message {
        std::string text;
        app::MessageStyle style;
    };

    app::ScreenInfo screen{19200, 14400, 15, 15};  // 1280 x 960 pixels at 96 dpi
    std::vector<Message> messages;
    std::deque<app::MessageAnswer> answers;  // answers for Yes/No questions, in order
    app::Pointer pointer = app::Pointer::Default;

    app::ScreenInfo Screen() const override { return screen; }
    app::MessageAnswer ShowMessage(const std::string& text, app::MessageStyle style) override {
        messages.push_back({text, style});
        if (style.buttons == app::MessageButtons::Ok) return app::MessageAnswer::Ok;
        if (answers.empty()) return app::MessageAnswer::No;
        app::MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void SetPointer(app::Pointer p) override { pointer = p; }
};

}  // namespace ceph::testing
