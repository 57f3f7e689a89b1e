#pragma once
// The receiver: listens on one address for X-ray units sending films over DICOM
// (C-ECHO, and C-STORE of digital X-ray, computed radiography and secondary capture
// images in the transfer syntaxes the program decodes), lets in only the units on its
// list addressing its own title, and files each film under its patient
// (received_film.h), answering the sender with the outcome. A few associations are
// served at once, each on a thread of its own; more are refused, never queued, and an
// association that stays silent is ended.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/result.h"
#include "pictures/picture_file.h"
#include "receiving/access.h"

namespace ceph::receiving {

class ReceiveLog;

struct TlsFiles {
    std::string key, certificate, authorities;  // PEM files; all empty: no TLS
    bool required = false;                      // refuse plain associations
};

struct ReceiverSettings {
    std::string pictureDir;  // where films are filed, ending with the separator
    std::string address;     // the one address listened on
    int port = 0;            // 0: any free port (for tests)
    Access access;
    TlsFiles tls;
    int mostAssociations = 4;
    int idleSeconds = 60;
    std::uint64_t mostFilmBytes = pictures::kMaxPictureFileBytes;  // as any picture file
    // What the films arriving at once may hold in memory together.
    std::uint64_t mostHeldBytes = pictures::kMaxPictureFileBytes * 3 / 2;
};

class Receiver {
  public:
    // Opens the listening address, reads the TLS files and resolves the hosts on the
    // list; why not when any of it fails.
    static base::Result<std::unique_ptr<Receiver>> Start(ReceiverSettings settings,
                                                         ReceiveLog& log);
    ~Receiver();

    int Port() const;

    // Serves associations until `stop` is set (checked a few times a second), then
    // waits for those under way to end.
    void Run(const std::atomic<bool>& stop);

    struct Impl;

  private:
    explicit Receiver(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace ceph::receiving
