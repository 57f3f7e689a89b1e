#include "base/program_io.h"

#include "base/os_files.h"

#ifdef _WIN32
#include <cwchar>

#include "base/windows_api.h"
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace ceph::base {

namespace {

#ifdef _WIN32
std::string Utf8(const wchar_t* wide) {
    const int units = static_cast<int>(std::wcslen(wide));
    if (units == 0) return {};
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, units, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, units, out.data(), bytes, nullptr, nullptr);
    return out;
}

// The wide command line split as the C runtime splits it; empty when it cannot be.
std::vector<std::string> WideArguments() {
    std::vector<std::string> out;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            out.push_back(Utf8(wide[i]));
        ::LocalFree(wide);
    }
    return out;
}
#endif

}  // namespace

ProgramArguments::ProgramArguments(int argc, char** argv) {
#ifdef _WIN32
    text_ = WideArguments();
    // A program started with a command line that does not name it splits differently;
    // main's own arguments are the better guess then.
    if (text_.size() != static_cast<std::size_t>(argc)) text_.clear();
#endif
    if (text_.empty())
        for (int i = 0; i < argc; ++i)
            text_.emplace_back(argv[i]);
    for (std::string& t : text_)
        pointers_.push_back(t.data());
    pointers_.push_back(nullptr);
}

void UseBinaryStandardStreams() {
    os::BinaryStandardStreams();
}

}  // namespace ceph::base
