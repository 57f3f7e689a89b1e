#pragma once
// One association with a sender, from its first byte to its release: the handover of
// the connection to the DICOM library, the checks of who calls whom, then echoes and
// films until the sender releases it, aborts it or falls silent.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "receiving/dicom_service.h"
#include "receiving/sockets.h"

class DcmTransportLayer;

namespace ceph::receiving {

struct ServiceContext {
    const ReceiverSettings& settings;
    ReceiveLog& log;
    DcmTransportLayer* tls = nullptr;  // null: plain associations only
    // The DICOM library takes a connection it did not accept through one global
    // setting, so connections are handed over one at a time.
    std::mutex& handover;
    // Set when the receiver stops: associations under way end within a second or so.
    const std::atomic<bool>& stop;
    // The bytes of the films arriving at this moment, held in memory together.
    std::atomic<std::uint64_t>& held;
};

// Serves the connection `connection` from `host` until the association ends; the
// connection is closed at the end whatever happened.
void ServeConnection(SocketHandle connection, const std::string& host,
                     const ServiceContext& context);

}  // namespace ceph::receiving
