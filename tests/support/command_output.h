#pragma once
// What a command prints, for tests that check files with outside tools (pdftotext,
// pdfinfo).

#include <cstdio>
#include <string>

namespace ceph::testing {

// pdftotext and pdfinfo are this machine's (Linux) tools, which a Windows test program
// under Wine cannot run; there scripts/windows-compare.sh reads the Windows build's PDF
// pages with them instead.
#ifdef _WIN32
#define CEPH_SKIP_WITHOUT_PDF_TOOLS() GTEST_SKIP() << "no pdftotext for Windows programs"
#else
#define CEPH_SKIP_WITHOUT_PDF_TOOLS() static_cast<void>(0)
#endif

// The command's standard output, run by the shell; empty when it cannot be started.
inline std::string CommandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

}  // namespace ceph::testing
