#include "receiving/sockets.h"

#ifdef _WIN32
// clang-format off: winsock2.h must come before anything that includes windows.h
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <chrono>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

namespace ceph::receiving {

namespace {

// The little that differs between Winsock and POSIX sockets.
#ifdef _WIN32
using Native = SOCKET;
using AddressLength = int;
using PollEntry = WSAPOLLFD;
constexpr Native kNoSocket = INVALID_SOCKET;

// Winsock is started once for the program; the DICOM library starts it again for
// itself, which Winsock counts.
void StartSockets() {
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    });
}
std::error_code LastError() {
    return std::error_code(WSAGetLastError(), std::system_category());
}
bool OutOfSockets() {
    return WSAGetLastError() == WSAEMFILE || WSAGetLastError() == WSAENOBUFS;
}
// Not inherited by programs the receiver might start.
Native NewSocket(int family) {
    return WSASocketW(family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                      WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
}
// Windows lets another program bind a port already bound unless told not to: no one
// else may listen on the receiver's port and take the films meant for it.
void ShareNoPort(Native s) {
    const BOOL yes = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
}
Native AcceptOne(Native listener, sockaddr* from, AddressLength* length) {
    const Native s = accept(listener, from, length);
    if (s != kNoSocket) SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return s;
}
int PollOne(PollEntry* entry, int milliseconds) {
    return WSAPoll(entry, 1, milliseconds);
}
void CloseSocket(Native s) {
    closesocket(s);
}
#else
using Native = int;
using AddressLength = socklen_t;
using PollEntry = pollfd;
constexpr Native kNoSocket = -1;

void StartSockets() {}
std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}
bool OutOfSockets() {
    return errno == EMFILE || errno == ENFILE;
}
Native NewSocket(int family) {
    return socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
}
// A receiver restarted at once binds its port again while old connections linger.
void ShareNoPort(Native s) {
    const int yes = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}
Native AcceptOne(Native listener, sockaddr* from, AddressLength* length) {
    return accept4(listener, from, length, SOCK_CLOEXEC);
}
int PollOne(PollEntry* entry, int milliseconds) {
    return poll(entry, 1, milliseconds);
}
void CloseSocket(Native s) {
    close(s);
}
#endif

Native Handle(SocketHandle handle) {
    return static_cast<Native>(handle);
}

std::string NumericAddress(const sockaddr* address, AddressLength length) {
    char host[NI_MAXHOST] = {};
    if (getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) return {};
    std::string text = host;
    // An IPv4 sender reaching an IPv6 socket is named as IPv4, as the list names it.
    if (text.rfind("::ffff:", 0) == 0 && text.find('.') != std::string::npos) text.erase(0, 7);
    return text;
}

}  // namespace

base::Result<Listener> Listener::Open(const std::string& address, int port) {
    StartSockets();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int e = getaddrinfo(address.c_str(), service.c_str(), &hints, &found); e != 0)
        return base::Fail(address, {}, gai_strerror(e));
    const Native s = NewSocket(found->ai_family);
    if (s == kNoSocket) {
        const std::error_code e = LastError();
        freeaddrinfo(found);
        return base::Fail(address, e);
    }
    ShareNoPort(s);
    const bool bound =
        bind(s, found->ai_addr, static_cast<AddressLength>(found->ai_addrlen)) == 0 &&
        listen(s, 16) == 0;
    freeaddrinfo(found);
    if (!bound) {
        const std::error_code e = LastError();
        CloseSocket(s);
        return base::Fail(address + ":" + service, e);
    }
    sockaddr_storage local{};
    AddressLength length = sizeof local;
    getsockname(s, reinterpret_cast<sockaddr*>(&local), &length);
    const int actual = local.ss_family == AF_INET6
                           ? ntohs(reinterpret_cast<sockaddr_in6*>(&local)->sin6_port)
                           : ntohs(reinterpret_cast<sockaddr_in*>(&local)->sin_port);
    return Listener(static_cast<SocketHandle>(s), actual);
}

Listener::Listener(Listener&& other) noexcept : handle_(other.handle_), port_(other.port_) {
    other.handle_ = -1;
}

Listener::~Listener() {
    if (handle_ >= 0) CloseSocket(Handle(handle_));
}

std::optional<std::pair<SocketHandle, std::string>> Listener::Accept(int milliseconds) {
    PollEntry wait{Handle(handle_), POLLIN, 0};
    if (PollOne(&wait, milliseconds) <= 0) return std::nullopt;
    sockaddr_storage from{};
    AddressLength length = sizeof from;
    const Native s = AcceptOne(Handle(handle_), reinterpret_cast<sockaddr*>(&from), &length);
    if (s == kNoSocket) {
        // Out of descriptors the connection stays queued and the wait says so at once:
        // wait for associations to end rather than spin.
        if (OutOfSockets()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return std::nullopt;
    }
    return std::make_pair(static_cast<SocketHandle>(s),
                          NumericAddress(reinterpret_cast<sockaddr*>(&from), length));
}

std::optional<unsigned char> PeekFirstByte(SocketHandle connection, int milliseconds) {
    PollEntry wait{Handle(connection), POLLIN, 0};
    if (PollOne(&wait, milliseconds) <= 0) return std::nullopt;
    char byte = 0;
    if (recv(Handle(connection), &byte, 1, MSG_PEEK) != 1) return std::nullopt;
    return static_cast<unsigned char>(byte);
}

void CloseConnection(SocketHandle connection) {
    CloseSocket(Handle(connection));
}

std::vector<std::string> HostAddresses(const std::string& host) {
    StartSockets();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::vector<std::string> addresses;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return addresses;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        std::string text = NumericAddress(a->ai_addr, static_cast<AddressLength>(a->ai_addrlen));
        bool seen = false;
        for (const std::string& s : addresses)
            seen = seen || s == text;
        if (!text.empty() && !seen) addresses.push_back(text);
    }
    freeaddrinfo(found);
    return addresses;
}

}  // namespace ceph::receiving
