#pragma once
// Who may send films: the receiver's own title and the units on its list, each a
// calling title at a host. An association from anyone else, or addressed to another
// title, is refused before anything is received.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ceph::receiving {

struct AllowedSender {
    std::string title;  // the unit's calling title
    std::string host;   // its address as the receiver sees it ("192.168.1.20")
};

struct Access {
    std::string ownTitle;                // the called title the units address
    std::vector<AllowedSender> senders;  // empty with `anyone`
    bool anyone = false;                 // --allow-any: every title at every host
};

// Whether `title` can be an application entity title: 1 to 16 characters, printable
// ASCII without a backslash, not blanks only.
bool IsTitle(std::string_view title);

// The list "TITLE@HOST[,TITLE@HOST…]"; why not when an entry is not a title at a host.
std::optional<std::vector<AllowedSender>> ReadAllowList(std::string_view text, std::string& why);

struct Refused {
    bool calledTitle = false;  // addressed to another title; else the caller is not listed
    std::string why;
};

// Why an association from `callingTitle` at `host` to `calledTitle` is refused, or
// nothing when it is let in. Titles are compared without their padding blanks.
std::optional<Refused> Refusal(const Access& access, std::string_view callingTitle,
                               std::string_view calledTitle, std::string_view host);

// Whether anyone at `host` is on the list: a connection from elsewhere is closed before
// a byte of it is read.
bool HostAllowed(const Access& access, std::string_view host);

}  // namespace ceph::receiving
