#pragma once
// The printed page of a worked tracing: patient 10234's first tracing drawn as the print
// command sends it, for the tests of what leaves the program on paper or in a PDF file.

#include <string>

#include "app/startup.h"
#include "records/show.h"
#include "report/report.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"
#include "ui/app.h"

namespace ceph::testing {

// Writes the patient's hand-off, with `name` in Big5, and a worked tracing 1, starts
// `program` on them and draws that tracing's report at the top of the paper: the page
// lands in program.printer.pages.
inline void PrintFirstTracing(ui::App& program, const TempDir& dir, const std::string& name) {
    WriteHandOff(dir, {.name = name, .code = "10234", .sex = "F"});
    WriteStoredTracing(dir, "10234");
    app::FormLoad(program, dir.StartupFromHere());
    records::readn_Click(program, 0);
    program.win.state.ToScreen = false;
    report::DrawReport(program, false, 0);
}

}  // namespace ceph::testing
