#include "tools/receive_command.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "base/text_codec.h"
#include "receiving/dicom_service.h"
#include "receiving/receive_log.h"
#include "receiving/received_film.h"
#include "store/handoff.h"
#include "store/practice_positions.h"

namespace ceph::tools {

namespace {

std::atomic<bool> gStop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void StopReceiving(int) {
    gStop = true;
}

// The options of a settings file (--settings FILE), put before those of the command
// line: one option a line, its value the rest of the line (Windows paths hold spaces;
// quotes around it, which Windows users type, are taken off), blank lines and lines
// starting with # skipped. A service or a scheduled task then names a file an
// administrator edits instead of a command line. Its text is read as the host suite's
// is: Notepad writes UTF-8 with a byte-order mark, UTF-16, or the Big5 code page.
std::optional<std::vector<std::string>> SettingsFileOptions(const std::string& file,
                                                            std::string& why) {
    std::string text;
    if (std::error_code ec = base::ReadRegularFile(file, text, 64 * 1024)) {
        why = file + ": " + ec.message();
        return std::nullopt;
    }
    const auto trimmed = [](const std::string& t) {
        const std::size_t first = t.find_first_not_of(" \t");
        return first == std::string::npos ? std::string()
                                          : t.substr(first, t.find_last_not_of(" \t") - first + 1);
    };
    const std::vector<std::string> lines = store::SplitLines(base::DecodeHostText(text));
    std::vector<std::string> options;
    for (std::size_t number = 1; number <= lines.size(); ++number) {
        const std::string line = trimmed(lines[number - 1]);
        if (line.empty() || line[0] == '#') continue;
        const std::size_t gap = line.find_first_of(" \t");
        const std::string name = line.substr(0, gap);
        if (name.rfind("--", 0) != 0 || name == "--settings") {
            why = file + " line " + std::to_string(number) + ": not an option of receive";
            return std::nullopt;
        }
        options.push_back(name);
        if (gap == std::string::npos) continue;
        std::string value = trimmed(line.substr(gap));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        options.push_back(value);
    }
    return options;
}

// The receiver's settings from the command line; the usage fault when they do not go
// together (a receiver open to everyone must be asked for by name).
std::optional<std::string> ReadSettings(const CommandLine& o, receiving::ReceiverSettings& s) {
    if (o.Text("--bind").empty())
        return "no --bind ADDRESS: the receiver listens on one address only";
    if (o.Has("--allow") == o.Has("--allow-any"))
        return "give either --allow TITLE@HOST[,…] or --allow-any";
    if (!receiving::IsTitle(o.Text("--ae"))) return "--ae must be a title of 1 to 16 characters";
    const bool anyTls = o.Has("--tls-key") || o.Has("--tls-cert") || o.Has("--tls-ca");
    if (anyTls && !(o.Has("--tls-key") && o.Has("--tls-cert") && o.Has("--tls-ca")))
        return "TLS takes --tls-key, --tls-cert and --tls-ca together";
    if (o.Has("--tls-required") && !anyTls) return "--tls-required needs the TLS files";
    s.address = o.Text("--bind");
    s.port = o.Number("--port");
    s.access.ownTitle = o.Text("--ae");
    s.access.anyone = o.Has("--allow-any");
    if (o.Has("--allow")) {
        std::string why;
        auto senders = receiving::ReadAllowList(o.Text("--allow"), why);
        if (!senders) return "--allow: " + why;
        s.access.senders = std::move(*senders);
    }
    s.tls = {o.Text("--tls-key"), o.Text("--tls-cert"), o.Text("--tls-ca"),
             o.Has("--tls-required")};
    s.mostAssociations = o.Number("--associations", s.mostAssociations);
    s.idleSeconds = o.Number("--idle", s.idleSeconds);
    return std::nullopt;
}

std::string StartLine(const receiving::ReceiverSettings& s, int port) {
    std::string line = "receiving as " + s.access.ownTitle + " on " + s.address + " port " +
                       std::to_string(port) + " into " + s.pictureDir + "; ";
    if (s.access.anyone) return line + "ANY sender is let in (--allow-any)";
    line += "from";
    for (const receiving::AllowedSender& a : s.access.senders)
        line += " " + a.title + "@" + a.host;
    return line + (s.tls.key.empty() ? "" : s.tls.required ? "; TLS only" : "; TLS offered");
}

}  // namespace

int RunReceive(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i + 1 < argc; ++i) {
        if (std::string_view(argv[i]) != "--settings") continue;
        std::string why;
        auto options = SettingsFileOptions(argv[i + 1], why);
        if (!options) return UsageFault(kReceiveRules, "--settings " + why, std::cerr);
        arguments = std::move(*options);
        break;
    }
    arguments.insert(arguments.end(), argv, argv + argc);
    std::vector<char*> pointers;
    for (std::string& a : arguments)
        pointers.push_back(a.data());
    CommandLine o;
    if (auto status = ReadCommandLine(kReceiveRules, static_cast<int>(pointers.size()),
                                      pointers.data(), o, std::cout, std::cerr))
        return *status;
    receiving::ReceiverSettings settings;
    if (auto fault = ReadSettings(o, settings)) return UsageFault(kReceiveRules, *fault, std::cerr);
    const std::string data = base::WithTrailingSeparator(o.Text("--data"));
    settings.pictureDir = store::PictureFolder(data);
    std::error_code ec;
    if (!std::filesystem::is_directory(base::ToPath(settings.pictureDir), ec)) {
        std::cerr << "cephtool: the picture folder " << settings.pictureDir << " is not there\n";
        return 1;
    }
    receiving::ReceiveLog log(o.Has("--log") ? o.Text("--log") : data + "receive.log");
    auto receiver = receiving::Receiver::Start(settings, log);
    if (!receiver) {
        // In the log, not only on the error stream: a scheduled task's goes nowhere.
        log.Add("cannot receive: " + receiving::ProblemText(receiver.why()));
        return 1;
    }
    std::signal(SIGINT, StopReceiving);
    std::signal(SIGTERM, StopReceiving);
    log.Add(StartLine(settings, (*receiver)->Port()));
    (*receiver)->Run(gStop);
    log.Add("stopped");
    return 0;
}

}  // namespace ceph::tools
