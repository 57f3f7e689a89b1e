#pragma once
// The printed page of a worked tracing: patient 10234's first tracing drawn as the print
// command sends it, for the tests of what leaves the program on paper or in a PDF file.

#include <string>
#include <vector>

#include "app/startup.h"
#include "report/print.h"
#include "support/fake_services.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"
#include "ui/app.h"
#include "usecases/show.h"

namespace ceph::testing {

// Writes the patient's hand-off, with `name` in Big5, and a worked tracing 1, starts
// `program` (on `services`) on them, shows that tracing and prints it at the top of the
// paper through the print command: the pages the printer was sent.
inline std::vector<ui::DrawingList> PrintFirstTracing(ui::App& program, FakeServices& services,
                                                      const TempDir& dir, const std::string& name) {
    WriteHandOff(dir, {.name = name, .code = "10234", .sex = "F"});
    WriteStoredTracing(dir, "10234");
    app::FormLoad(program, dir.StartupFromHere());
    usecases::ShowTracing(program, 0);
    report::PrintTracing(program, 0);
    return services.printJobs.empty() ? std::vector<ui::DrawingList>() : services.printJobs.back();
}

}  // namespace ceph::testing
