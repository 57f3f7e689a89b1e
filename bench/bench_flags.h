#pragma once
// The command line of a benchmark program: its own "--name=value" flags are taken out
// of argv, and Google Benchmark gets the rest with the repetitions the checks rely on
// unless the command line says otherwise.

#include <string>
#include <string_view>
#include <vector>

namespace ceph::bench {

// Removes "--name=value" (a switch: "--name") from argv; true when it was given, with
// the value in `value` when one is asked for.
bool TakeFlag(int& argc, char** argv, std::string_view name, std::string* value = nullptr);

// A number flag, `fallback` when absent.
double TakeNumber(int& argc, char** argv, std::string_view name, double fallback);

// argv for Google Benchmark, null-terminated: the interleaved repetitions whose medians
// the checks compare, unless given on the command line.
std::vector<char*> WithDefaultFlags(int argc, char** argv, int repetitions = 9);

}  // namespace ceph::bench
