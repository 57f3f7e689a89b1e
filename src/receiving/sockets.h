#pragma once
// The few socket calls the receiver makes itself, because the DICOM library listens on
// every address of the machine and a practice's receiver must listen on the one it is
// given: a listening socket bound to one address, connections taken from it with the
// sender's address, and a look at a connection's first byte without taking it (which
// tells a TLS handshake from a plain association). The system's handles stay inside.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"

namespace ceph::receiving {

// A connection's handle as the system gives it (a file descriptor, a SOCKET).
using SocketHandle = std::intptr_t;

class Listener {
  public:
    // Listens on `address` (numeric, IPv4 or IPv6, or a name that resolves to one) at
    // `port` (0: any free port). Why not, naming the address.
    static base::Result<Listener> Open(const std::string& address, int port);
    Listener(Listener&& other) noexcept;
    Listener& operator=(Listener&&) = delete;
    ~Listener();

    int Port() const { return port_; }

    // Waits up to `milliseconds` for a connection: its handle and the sender's numeric
    // address, or nothing when none came.
    std::optional<std::pair<SocketHandle, std::string>> Accept(int milliseconds);

  private:
    Listener(SocketHandle handle, int port) : handle_(handle), port_(port) {}
    SocketHandle handle_;
    int port_;
};

// The first byte the sender sent, left to be read again; nothing when none came within
// `milliseconds` or the connection closed.
std::optional<unsigned char> PeekFirstByte(SocketHandle connection, int milliseconds);

// Closes a connection not handed over to the DICOM library.
void CloseConnection(SocketHandle connection);

// The numeric addresses of a host's name or address, for the allow list; empty when the
// name does not resolve.
std::vector<std::string> HostAddresses(const std::string& host);

}  // namespace ceph::receiving
