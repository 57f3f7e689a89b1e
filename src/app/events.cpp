#include "app/events.h"

#include "app/exit.h"
#include "records/show.h"
#include "report/print.h"

namespace ceph::app {

bool Dispatch(App& app, const Event& e) {
    const std::string_view n = e.name;
    switch (e.type) {
        case EventType::Click:
            if (n == "quitmn") return quitmn_Click(app), true;
            if (n == "Command3") return Command3_Click(app), true;
            if (n == "readn") return records::readn_Click(app, e.index), true;
            if (n == "comp") return records::comp_Click(app, e.index), true;
            if (n == "printmn") return report::printmn_Click(app, e.index), true;
            return false;
        case EventType::Change:
            if (n == "Text1") return Text1_Change(app, e.index), true;
            return false;
        case EventType::GotFocus:
            if (n == "Text1") return Text1_GotFocus(app, e.index), true;
            return false;
        case EventType::KeyPress:
            if (n == "Text1") return Text1_KeyPress(app, e.index), true;
            return false;
        case EventType::Timer:
            if (n == "Timer1") return Timer1_Timer(app), true;
            return false;
        case EventType::LostFocus:
        case EventType::MouseMove:
        case EventType::MouseUp:
            return false;
    }
    return false;
}

}  // namespace ceph::app
