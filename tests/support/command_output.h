#pragma once
// What a command prints, for tests that check files with outside tools (pdftotext,
// pdfinfo).

#include <cstdio>
#include <string>

namespace ceph::testing {

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
