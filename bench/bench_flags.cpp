#include "bench_flags.h"

#include <cstdlib>
#include <deque>

namespace ceph::bench {

bool TakeFlag(int& argc, char** argv, std::string_view name, std::string* value) {
    const std::string prefix = "--" + std::string(name);
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool matches = value ? arg.rfind(prefix + "=", 0) == 0 : arg == prefix;
        if (!matches) continue;
        if (value) *value = std::string(arg.substr(prefix.size() + 1));
        for (int j = i; j + 1 < argc; ++j)
            argv[j] = argv[j + 1];
        --argc;
        return true;
    }
    return false;
}

double TakeNumber(int& argc, char** argv, std::string_view name, double fallback) {
    std::string value;
    return TakeFlag(argc, argv, name, &value) ? std::atof(value.c_str()) : fallback;
}

std::vector<char*> WithDefaultFlags(int argc, char** argv, int repetitions) {
    // Kept for the program's life: Google Benchmark refers to its arguments later.
    static std::deque<std::string> defaults;
    const std::string wanted[] = {"--benchmark_repetitions=" + std::to_string(repetitions),
                                  "--benchmark_enable_random_interleaving=true",
                                  "--benchmark_display_aggregates_only=true"};
    std::vector<char*> args(argv, argv + argc);
    for (const std::string& flag : wanted) {
        const std::string name = flag.substr(0, flag.find('=') + 1);
        bool given = false;
        for (int i = 1; i < argc; ++i)
            given = given || std::string_view(argv[i]).rfind(name, 0) == 0;
        if (given) continue;
        defaults.push_back(flag);
        args.insert(args.begin() + 1, defaults.back().data());
    }
    args.push_back(nullptr);
    return args;
}

}  // namespace ceph::bench
