#include "receiving/dicom_service.h"

// clang-format off: DCMTK's network headers name Winsock's types without including it
#include <dcmtk/config/osconfig.h>
#ifdef _WIN32
#include <winsock2.h>
#endif
// clang-format on
#include <dcmtk/dcmnet/dcmtrans.h>
#include <dcmtk/dcmnet/dul.h>
#include <dcmtk/dcmtls/tlslayer.h>
#include <dcmtk/oflog/oflog.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <list>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "receiving/association.h"
#include "receiving/receive_log.h"
#include "receiving/sockets.h"

namespace ceph::receiving {

struct Receiver::Impl {
    ReceiverSettings settings;
    ReceiveLog& log;
    Listener listener;
    std::unique_ptr<DcmTLSTransportLayer> tls;
    std::mutex handover;
    const std::atomic<bool>* stop = nullptr;  // Run's
    std::atomic<std::uint64_t> held{0};

    // Connections under way, each on its thread, with whether it has ended.
    struct Running {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<Running> running;

    void Reap(bool all);
    void Take(SocketHandle connection, const std::string& host);
};

namespace {

// The TLS side of the receiver from its key, certificate and the authorities whose
// units it trusts, with the cipher suites of BCP 195; why not.
base::Result<std::unique_ptr<DcmTLSTransportLayer>> OpenTls(const TlsFiles& files) {
    auto tls = std::make_unique<DcmTLSTransportLayer>(NET_ACCEPTOR, nullptr, OFTrue);
    auto fail = [](const std::string& file, const OFCondition& cond) {
        return base::Fail(file, {}, cond.text());
    };
    if (OFCondition c = tls->setTLSProfile(TSP_Profile_BCP195); c.bad()) return fail("TLS", c);
    if (OFCondition c = tls->activateCipherSuites(); c.bad()) return fail("TLS", c);
    if (OFCondition c = tls->setPrivateKeyFile(files.key.c_str(), DCF_Filetype_PEM); c.bad())
        return fail(files.key, c);
    if (OFCondition c = tls->setCertificateFile(files.certificate.c_str(), DCF_Filetype_PEM);
        c.bad())
        return fail(files.certificate, c);
    if (!tls->checkPrivateKeyMatchesCertificate())
        return base::Fail(files.key, {}, "the key does not belong to the certificate");
    if (OFCondition c = tls->addTrustedCertificateFile(files.authorities.c_str(), DCF_Filetype_PEM);
        c.bad())
        return fail(files.authorities, c);
    // Only units holding a certificate from those authorities are let in.
    tls->setCertificateVerification(DCV_requireCertificate);
    return tls;
}

// The allow list with every host named by its numeric addresses, as connections are
// seen; why not when a host does not resolve.
base::Result<Access> ResolvedAccess(const Access& access) {
    Access resolved = access;
    resolved.senders.clear();
    for (const AllowedSender& s : access.senders) {
        const std::vector<std::string> addresses = HostAddresses(s.host);
        if (addresses.empty()) return base::Fail(s.host, {}, "unknown host");
        for (const std::string& a : addresses)
            resolved.senders.push_back({s.title, a});
    }
    return resolved;
}

}  // namespace

void Receiver::Impl::Reap(bool all) {
    for (auto it = running.begin(); it != running.end();) {
        if (all || *it->done) {
            it->thread.join();
            it = running.erase(it);
        } else {
            ++it;
        }
    }
}

void Receiver::Impl::Take(SocketHandle connection, const std::string& host) {
    Reap(false);
    if (!HostAllowed(settings.access, host)) {
        log.Add("refused a connection from " + host + ": not on the allow list");
        CloseConnection(connection);
        return;
    }
    if (running.size() >= static_cast<std::size_t>(settings.mostAssociations)) {
        log.Add("refused a connection from " + host + ": " +
                std::to_string(settings.mostAssociations) + " associations already under way");
        CloseConnection(connection);
        return;
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    try {
        std::thread thread([this, connection, host, done] {
            const ServiceContext context{settings, log, tls.get(), handover, *stop, held};
            try {
                ServeConnection(connection, host, context);
            } catch (const std::exception& e) {
                // Memory ran out holding a film: that association ends, the rest go on.
                log.Add("association from " + host + " ended: " + e.what());
            }
            *done = true;
        });
        running.push_back({std::move(thread), done});
    } catch (const std::system_error& e) {
        log.Add("refused a connection from " + host + ": no thread for it (" + e.what() + ")");
        CloseConnection(connection);
    }
}

base::Result<std::unique_ptr<Receiver>> Receiver::Start(ReceiverSettings settings,
                                                        ReceiveLog& log) {
    // The library's own messages would repeat what the log says, less plainly.
    OFLog::configure(OFLogger::ERROR_LOG_LEVEL);
#ifdef SIGPIPE
    // A sender gone while it is answered must end its association, not the receiver.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    dcmDisableGethostbyaddr.set(OFTrue);
    // A sender that stops in the middle of a message (the association request, a film)
    // is given up after this long, and a stop waits no longer for it.
    const int stalled = std::min(settings.idleSeconds, 10);
    dcmSocketReceiveTimeout.set(stalled);
    dcmSocketSendTimeout.set(stalled);
    base::Result<Access> access = ResolvedAccess(settings.access);
    if (!access) return base::Fail(access.why());
    settings.access = std::move(*access);
    std::unique_ptr<DcmTLSTransportLayer> tls;
    if (!settings.tls.key.empty()) {
        auto opened = OpenTls(settings.tls);
        if (!opened) return base::Fail(opened.why());
        tls = std::move(*opened);
    }
    base::Result<Listener> listener = Listener::Open(settings.address, settings.port);
    if (!listener) return base::Fail(listener.why());
    auto impl = std::unique_ptr<Impl>(new Impl{
        std::move(settings), log, std::move(*listener), std::move(tls), {}, nullptr, {}, {}});
    return std::unique_ptr<Receiver>(new Receiver(std::move(impl)));
}

Receiver::Receiver(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Receiver::~Receiver() {
    impl_->Reap(true);
}

int Receiver::Port() const {
    return impl_->listener.Port();
}

void Receiver::Run(const std::atomic<bool>& stop) {
    impl_->stop = &stop;
    while (!stop) {
        if (auto connection = impl_->listener.Accept(200))
            impl_->Take(connection->first, connection->second);
        else
            impl_->Reap(false);
    }
    impl_->Reap(true);
}

}  // namespace ceph::receiving
