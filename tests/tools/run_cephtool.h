#pragma once
// Runs the built cephtool as a script would, with what it prints on each stream and
// its exit status.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "support/temp_dir.h"

namespace ceph::testing {

struct ToolRun {
    int status = -1;  // the exit status; 124 when it had to be stopped
    std::string out, err;
};

inline std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Each argument is passed as it is (no shell expansion); `input` is standard input.
// A run that takes longer than 20 seconds is stopped, so a command waiting on
// something it should never wait for fails instead of hanging the suite.
inline ToolRun RunCephtool(const TempDir& scratch, const std::vector<std::string>& args,
                           const std::string& input = "") {
    auto quoted = [](const std::string& text) {
        std::string q = "'";
        for (char c : text)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    const std::filesystem::path in = scratch.Write("run/in", input);
    const std::filesystem::path out = scratch.path() / "run/out", err = scratch.path() / "run/err";
    std::string command = "timeout 20 " + quoted(CEPHTOOL);
    for (const std::string& a : args)
        command += " " + quoted(a);
    command +=
        " <" + quoted(in.string()) + " >" + quoted(out.string()) + " 2>" + quoted(err.string());
    const int status = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = Slurp(out);
    run.err = Slurp(err);
    return run;
}

}  // namespace ceph::testing
