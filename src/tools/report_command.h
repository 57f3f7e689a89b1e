#pragma once
// `cephtool report`: the printed page of a stored tracing, written as PDF or PNG.

#include <string>

#include "page/drawing.h"
#include "platform/page_files.h"
#include "tools/options.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

extern const CommandRules kReportRules;

int RunReport(int argc, char** argv);

// For the commands that draw pages: whether a face to draw text in is found (said on
// standard error when not), and the pages drawn written to `out`, a .pdf or a .png at
// 150 dpi; the status to end with.
bool PageFontsReady();
int WritePageFile(platform::PageFiles& services, const std::vector<page::DrawingList>& pages,
                  const std::string& out);

// `cephtool series --out`: the follow-up page of a patient's tracings.
int WriteSeriesPage(const std::vector<StoredTracing>& series, const std::string& out);

}  // namespace ceph::tools
