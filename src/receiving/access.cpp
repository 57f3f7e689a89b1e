#include "receiving/access.h"

namespace ceph::receiving {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool IsTitle(std::string_view title) {
    if (title.empty() || title.size() > 16 || Trimmed(title).empty()) return false;
    for (const char c : title)
        if (c < 0x20 || c > 0x7e || c == '\\') return false;
    return true;
}

std::optional<std::vector<AllowedSender>> ReadAllowList(std::string_view text, std::string& why) {
    std::vector<AllowedSender> senders;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view entry = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t at = entry.rfind('@');
        if (at == std::string_view::npos || at == 0 || at + 1 == entry.size() ||
            !IsTitle(entry.substr(0, at))) {
            why = "\"" + std::string(entry) + "\" is not TITLE@HOST";
            return std::nullopt;
        }
        senders.push_back(
            {std::string(Trimmed(entry.substr(0, at))), std::string(entry.substr(at + 1))});
    }
    if (senders.empty()) {
        why = "the list names no sender";
        return std::nullopt;
    }
    return senders;
}

bool HostAllowed(const Access& access, std::string_view host) {
    if (access.anyone) return true;
    for (const AllowedSender& s : access.senders)
        if (s.host == host) return true;
    return false;
}

std::optional<Refused> Refusal(const Access& access, std::string_view callingTitle,
                               std::string_view calledTitle, std::string_view host) {
    if (Trimmed(calledTitle) != Trimmed(access.ownTitle))
        return Refused{
            true, "called title " + std::string(Trimmed(calledTitle)) + " is not this receiver's"};
    if (access.anyone) return std::nullopt;
    for (const AllowedSender& s : access.senders)
        if (s.title == Trimmed(callingTitle) && s.host == host) return std::nullopt;
    return Refused{false, "calling title " + std::string(Trimmed(callingTitle)) + " at " +
                              std::string(host) + " is not on the allow list"};
}

}  // namespace ceph::receiving
