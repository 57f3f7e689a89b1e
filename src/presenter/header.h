#pragma once
// The patient header along the top of the window, and the window's title, from the
// patient in the state record.

#include "ui/main_window.h"

namespace ceph::presenter {

// Label1 the name, Label0 the code, Label3 the birth date, Label15 the sex.
void ShowPatient(ui::MainWindow& win);

}  // namespace ceph::presenter
