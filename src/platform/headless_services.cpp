#include "platform/headless_services.h"

#include <iostream>

namespace ceph::platform {

ui::MessageAnswer HeadlessServices::ShowMessage(const std::string& text, ui::MessageStyle style) {
    std::cerr << text << "\n";
    return style.buttons == ui::MessageButtons::YesNo ? ui::MessageAnswer::No
                                                      : ui::MessageAnswer::Ok;
}

}  // namespace ceph::platform
