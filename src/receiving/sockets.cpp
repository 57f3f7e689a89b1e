#include "receiving/sockets.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

namespace ceph::receiving {

namespace {

std::string NumericAddress(const sockaddr* address, socklen_t length) {
    char host[NI_MAXHOST] = {};
    if (getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) return {};
    std::string text = host;
    // An IPv4 sender reaching an IPv6 socket is named as IPv4, as the list names it.
    if (text.rfind("::ffff:", 0) == 0 && text.find('.') != std::string::npos) text.erase(0, 7);
    return text;
}

base::Failure<base::Problem> SystemFailure(const std::string& what) {
    return base::Fail(what, std::error_code(errno, std::generic_category()));
}

}  // namespace

base::Result<Listener> Listener::Open(const std::string& address, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int e = getaddrinfo(address.c_str(), service.c_str(), &hints, &found); e != 0)
        return base::Fail(address, {}, gai_strerror(e));
    const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        freeaddrinfo(found);
        return SystemFailure(address);
    }
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    const bool bound = bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, 16) == 0;
    freeaddrinfo(found);
    if (!bound) {
        const int e = errno;
        close(fd);
        return base::Fail(address + ":" + service, std::error_code(e, std::generic_category()));
    }
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    const int actual = local.ss_family == AF_INET6
                           ? ntohs(reinterpret_cast<sockaddr_in6*>(&local)->sin6_port)
                           : ntohs(reinterpret_cast<sockaddr_in*>(&local)->sin_port);
    return Listener(fd, actual);
}

Listener::Listener(Listener&& other) noexcept : handle_(other.handle_), port_(other.port_) {
    other.handle_ = -1;
}

Listener::~Listener() {
    if (handle_ >= 0) close(static_cast<int>(handle_));
}

std::optional<std::pair<SocketHandle, std::string>> Listener::Accept(int milliseconds) {
    pollfd wait{static_cast<int>(handle_), POLLIN, 0};
    if (poll(&wait, 1, milliseconds) <= 0) return std::nullopt;
    sockaddr_storage from{};
    socklen_t length = sizeof from;
    const int fd = accept4(static_cast<int>(handle_), reinterpret_cast<sockaddr*>(&from), &length,
                           SOCK_CLOEXEC);
    if (fd < 0) {
        // Out of descriptors the connection stays queued and poll says so at once: wait
        // for associations to end rather than spin.
        if (errno == EMFILE || errno == ENFILE)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return std::nullopt;
    }
    return std::make_pair(SocketHandle{fd},
                          NumericAddress(reinterpret_cast<sockaddr*>(&from), length));
}

std::optional<unsigned char> PeekFirstByte(SocketHandle connection, int milliseconds) {
    pollfd wait{static_cast<int>(connection), POLLIN, 0};
    if (poll(&wait, 1, milliseconds) <= 0) return std::nullopt;
    unsigned char byte = 0;
    if (recv(static_cast<int>(connection), &byte, 1, MSG_PEEK) != 1) return std::nullopt;
    return byte;
}

void CloseConnection(SocketHandle connection) {
    close(static_cast<int>(connection));
}

std::vector<std::string> HostAddresses(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::vector<std::string> addresses;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return addresses;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        std::string text = NumericAddress(a->ai_addr, a->ai_addrlen);
        bool seen = false;
        for (const std::string& s : addresses)
            seen = seen || s == text;
        if (!text.empty() && !seen) addresses.push_back(text);
    }
    freeaddrinfo(found);
    return addresses;
}

}  // namespace ceph::receiving
