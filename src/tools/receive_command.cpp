#include "tools/receive_command.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>

#include "base/filesys.h"
#include "receiving/dicom_service.h"
#include "receiving/receive_log.h"
#include "receiving/received_film.h"
#include "store/practice_positions.h"

namespace ceph::tools {

namespace {

std::atomic<bool> gStop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void StopReceiving(int) {
    gStop = true;
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
    CommandLine o;
    if (auto status = ReadCommandLine(kReceiveRules, argc, argv, o, std::cout, std::cerr))
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
        std::cerr << "cephtool: cannot receive: " << receiving::ProblemText(receiver.why()) << "\n";
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
