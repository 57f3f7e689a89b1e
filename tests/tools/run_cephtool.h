#pragma once
// Runs the built cephtool as a script would, with what it prints on each stream and
// its exit status.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "base/filesys.h"
#include "base/windows_api.h"
#else
#include <sys/wait.h>
#endif

#include "support/temp_dir.h"

namespace ceph::testing {

struct ToolRun {
    int status = -1;  // the exit status; 124 when it had to be stopped
    std::string out, err;
};

#ifdef _WIN32
// One argument of a Windows command line, quoted so that the C runtime of the program
// started splits it back out exactly: backslashes count only before a quote.
inline std::wstring QuotedArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring q = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        q.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        q += c;
    }
    q.append(2 * backslashes, L'\\');
    return q + L"\"";
}

// The program as a full path, taken while the current folder is still the build's: a
// cross build names it from the root of the build machine ("/work/…"), which Windows
// reads as a folder of the current drive, and tests move to folders on other drives.
inline const std::filesystem::path kCephtoolPath = std::filesystem::absolute(CEPHTOOL);

// A file handle the started program inherits as one of its standard streams.
inline HANDLE InheritedFile(const std::filesystem::path& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif

// Each argument is passed as it is (no shell expansion); `input` is standard input.
// A run that takes longer than `seconds` (20 unless said) is stopped, so a command
// waiting on something it should never wait for fails instead of hanging the suite;
// learning, which takes its time under the sanitizers, is given more.
inline ToolRun RunCephtool(const TempDir& scratch, const std::vector<std::string>& args,
                           const std::string& input = "", int seconds = 20) {
    const std::filesystem::path in = scratch.Write("run/in", input);
    const std::filesystem::path out = scratch.path() / "run/out", err = scratch.path() / "run/err";
    ToolRun run;
#ifdef _WIN32
    std::wstring command = QuotedArgument(kCephtoolPath.wstring());
    for (const std::string& a : args)
        command += L" " + QuotedArgument(base::ToPath(a).wstring());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritedFile(in, false);
    startup.hStdOutput = InheritedFile(out, true);
    startup.hStdError = InheritedFile(err, true);
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &process)) {
        DWORD status = 124;
        if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(seconds) * 1000) ==
            WAIT_TIMEOUT)
            ::TerminateProcess(process.hProcess, status);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &status);
        run.status = static_cast<int>(status);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        ::CloseHandle(h);
#else
    auto quoted = [](const std::string& text) {
        std::string q = "'";
        for (char c : text)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    std::string command = "timeout " + std::to_string(seconds) + " " + quoted(CEPHTOOL);
    for (const std::string& a : args)
        command += " " + quoted(a);
    command +=
        " <" + quoted(in.string()) + " >" + quoted(out.string()) + " 2>" + quoted(err.string());
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    run.out = Slurp(out);
    run.err = Slurp(err);
    return run;
}

}  // namespace ceph::testing
