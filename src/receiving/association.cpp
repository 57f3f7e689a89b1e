#include "receiving/association.h"

// clang-format off: DCMTK's network headers name Winsock's types without including it
#include <dcmtk/config/osconfig.h>
#ifdef _WIN32
#include <winsock2.h>
#endif
// clang-format on
#include <dcmtk/dcmdata/dcerror.h>
#include <dcmtk/dcmdata/dcostrma.h>
#include <dcmtk/dcmdata/dcuid.h>
#include <dcmtk/dcmnet/assoc.h>
#include <dcmtk/dcmnet/dcmlayer.h>
#include <dcmtk/dcmnet/dcmtrans.h>
#include <dcmtk/dcmnet/dimse.h>
#include <dcmtk/dcmnet/dul.h>
#include <dcmtk/ofstd/ofstd.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>
#include <new>
#include <string>
#include <string_view>

#include "base/patient_files.h"
#include "receiving/receive_log.h"
#include "receiving/received_film.h"

namespace ceph::receiving {

namespace {

// The films a cephalostat or an imaging program sends, and the echo that tests the way.
const std::string_view kFilmClasses[] = {
    UID_DigitalXRayImageStorageForPresentation, UID_DigitalXRayImageStorageForProcessing,
    UID_ComputedRadiographyImageStorage, UID_SecondaryCaptureImageStorage};
// The transfer syntaxes the program decodes.
const std::string_view kFilmSyntaxes[] = {UID_LittleEndianExplicitTransferSyntax,
                                          UID_LittleEndianImplicitTransferSyntax,
                                          UID_BigEndianExplicitTransferSyntax,
                                          UID_JPEGProcess1TransferSyntax,
                                          UID_JPEGProcess2_4TransferSyntax,
                                          UID_JPEGProcess14TransferSyntax,
                                          UID_JPEGProcess14SV1TransferSyntax,
                                          UID_JPEGLSLosslessTransferSyntax,
                                          UID_JPEGLSLossyTransferSyntax,
                                          UID_JPEG2000LosslessOnlyTransferSyntax,
                                          UID_JPEG2000TransferSyntax,
                                          UID_RLELosslessTransferSyntax};
const std::string_view kEchoSyntaxes[] = {UID_LittleEndianExplicitTransferSyntax,
                                          UID_LittleEndianImplicitTransferSyntax};

template <std::size_t N>
bool Among(const std::string_view (&list)[N], std::string_view uid) {
    return std::find(std::begin(list), std::end(list), uid) != std::end(list);
}

// Accepts each proposed context of a film class or the echo in the first transfer
// syntax the sender proposed of those the program decodes: a unit that offers its
// compressed film first keeps it as it is, and none is asked to convert what it may
// not be able to. The rest are refused.
OFCondition AcceptContexts(T_ASC_Parameters* params) {
    const int count = ASC_countPresentationContexts(params);
    for (int i = 0; i < count; ++i) {
        T_ASC_PresentationContext pc;
        if (OFCondition cond = ASC_getPresentationContext(params, i, &pc); cond.bad()) return cond;
        const bool echo = std::string_view(pc.abstractSyntax) == UID_VerificationSOPClass;
        if (!echo && !Among(kFilmClasses, pc.abstractSyntax)) {
            ASC_refusePresentationContext(params, pc.presentationContextID,
                                          ASC_P_ABSTRACTSYNTAXNOTSUPPORTED);
            continue;
        }
        const char* chosen = nullptr;
        for (int t = 0; t < pc.transferSyntaxCount && !chosen; ++t)
            if (echo ? Among(kEchoSyntaxes, pc.proposedTransferSyntaxes[t])
                     : Among(kFilmSyntaxes, pc.proposedTransferSyntaxes[t]))
                chosen = pc.proposedTransferSyntaxes[t];
        OFCondition cond =
            chosen ? ASC_acceptPresentationContext(params, pc.presentationContextID, chosen)
                   : ASC_refusePresentationContext(params, pc.presentationContextID,
                                                   ASC_P_TRANSFERSYNTAXESNOTSUPPORTED);
        if (cond.bad()) return cond;
    }
    return EC_Normal;
}

// A film's bytes kept in memory after its file's head, up to a bound for the film and
// within what all films arriving at once may hold together: past either, the stream
// stops (the library then reads the rest of the message without keeping it and reports
// a failed receive), so a film is never held whole beyond the limits.
class BoundedConsumer : public DcmConsumer {
  public:
    BoundedConsumer(std::string& bytes, std::uint64_t most, std::atomic<std::uint64_t>& held,
                    std::uint64_t mostHeld)
        : bytes_(bytes), start_(bytes.size()), most_(most), held_(held), mostHeld_(mostHeld) {}
    ~BoundedConsumer() override { held_ -= charged_; }
    OFBool good() const override { return why_.empty(); }
    OFCondition status() const override { return why_.empty() ? EC_Normal : EC_InvalidStream; }
    OFBool isFlushed() const override { return OFTrue; }
    offile_off_t avail() const override {
        return why_.empty() ? static_cast<offile_off_t>(most_ - (bytes_.size() - start_)) : 0;
    }
    offile_off_t write(const void* buf, offile_off_t length) override {
        const auto n = static_cast<std::uint64_t>(length);
        if (!why_.empty()) return 0;
        if (bytes_.size() - start_ + n > most_) return Stop("larger than " + Mb(most_));
        if ((held_ += n) > mostHeld_) {
            held_ -= n;
            return Stop("the films arriving now hold " + Mb(mostHeld_) + " already");
        }
        charged_ += n;
        try {
            bytes_.append(static_cast<const char*>(buf), static_cast<std::size_t>(n));
        } catch (const std::bad_alloc&) {
            return Stop("no memory left to hold it");
        }
        return length;
    }
    void flush() override {}
    // Why the film stopped being taken in; empty while it is.
    const std::string& Why() const { return why_; }

  private:
    static std::string Mb(std::uint64_t bytes) {
        return bytes >= (1u << 20) ? std::to_string(bytes >> 20) + " MB"
                                   : std::to_string(bytes >> 10) + " KB";
    }
    offile_off_t Stop(std::string why) {
        why_ = std::move(why);
        return 0;
    }
    std::string& bytes_;
    std::size_t start_;
    std::uint64_t most_;
    std::atomic<std::uint64_t>& held_;
    std::uint64_t mostHeld_, charged_ = 0;
    std::string why_;
};

class BoundedStream : public DcmOutputStream {
  public:
    BoundedStream(std::string& bytes, std::uint64_t most, std::atomic<std::uint64_t>& held,
                  std::uint64_t mostHeld)
        : DcmOutputStream(&consumer_), consumer_(bytes, most, held, mostHeld) {}
    const std::string& Why() const { return consumer_.Why(); }

  private:
    BoundedConsumer consumer_;
};

struct Peer {
    std::string host, calling, called;
    std::string Names() const { return calling + "@" + host + " -> " + called; }
};

// The connection's way into the library: DCMTK reads the global socket setting only up
// to making the connection object, so that is where the next connection may be handed
// over; the TLS handshake and the association request are then read without holding up
// the other senders. It also tells whether the library took the socket, which it leaves
// open when it fails before that (a sender resetting at once).
class Handover : public DcmTransportLayer {
  public:
    Handover(DcmTransportLayer* tls, std::unique_lock<std::mutex>& hold) : tls_(tls), hold_(hold) {}
    DcmTransportConnection* createConnection(DcmNativeSocketType socket, OFBool secure) override {
        dcmExternalSocketHandle.set(DCMNET_INVALID_SOCKET);
        hold_.unlock();
        DcmTransportConnection* made =
            secure ? (tls_ ? tls_->createConnection(socket, OFTrue) : nullptr)
                   : DcmTransportLayer::createConnection(socket, OFFalse);
        taken_ = made != nullptr;
        return made;
    }
    bool Taken() const { return taken_; }

  private:
    DcmTransportLayer* tls_;
    std::unique_lock<std::mutex>& hold_;
    bool taken_ = false;
};

// Takes the connection into the library and reads the association request; null when
// it could not be read (the connection is closed then, `why` says why).
// `handover` outlives the network, which refers to it.
T_ASC_Association* ReceiveRequest(SocketHandle connection, bool secure, const ServiceContext& c,
                                  Handover& handover, std::unique_lock<std::mutex>& hold,
                                  T_ASC_Network*& network, std::string& why) {
    hold.lock();
    dcmExternalSocketHandle.set(static_cast<DcmNativeSocketType>(connection));
    T_ASC_Association* assoc = nullptr;
    // The request comes at once from a unit; one that stalls is given up soon.
    const int seconds = std::min(c.settings.idleSeconds, 10);
    OFCondition cond = ASC_initializeNetwork(NET_ACCEPTOR, 0, seconds, &network);
    if (cond.good()) cond = ASC_setTransportLayer(network, &handover, 0);
    if (cond.good())
        cond = ASC_receiveAssociation(network, &assoc, ASC_DEFAULTMAXPDU, nullptr, nullptr,
                                      secure ? OFTrue : OFFalse, DUL_NOBLOCK, seconds);
    if (hold.owns_lock()) {
        dcmExternalSocketHandle.set(DCMNET_INVALID_SOCKET);
        hold.unlock();
    }
    if (cond.good()) return assoc;
    why = cond.text();
    if (assoc) {
        ASC_dropAssociation(assoc);
        ASC_destroyAssociation(&assoc);
    }
    if (!handover.Taken()) CloseConnection(connection);
    return nullptr;
}

void Refuse(T_ASC_Association* assoc, T_ASC_RejectParametersReason reason) {
    T_ASC_RejectParameters rej{ASC_RESULT_REJECTEDPERMANENT, ASC_SOURCE_SERVICEUSER, reason};
    ASC_rejectAssociation(assoc, &rej);
}

// Lets the association in or refuses it; whether it was let in.
bool Negotiate(T_ASC_Association* assoc, const Peer& peer, const ServiceContext& c) {
    if (auto refused = Refusal(c.settings.access, peer.calling, peer.called, peer.host)) {
        c.log.Add("refused " + peer.Names() + ": " + refused->why);
        Refuse(assoc, refused->calledTitle ? ASC_REASON_SU_CALLEDAETITLENOTRECOGNIZED
                                           : ASC_REASON_SU_CALLINGAETITLENOTRECOGNIZED);
        return false;
    }
    OFCondition cond = AcceptContexts(assoc->params);
    if (cond.good()) cond = ASC_acknowledgeAssociation(assoc);
    if (cond.bad()) {
        c.log.Add("association " + peer.Names() + " failed: " + cond.text());
        return false;
    }
    c.log.Add("association " + peer.Names() + " accepted");
    return true;
}

// Answers a C-STORE request with `status`; whether the answer went.
bool Answer(T_ASC_Association* assoc, T_ASC_PresentationContextID presId,
            T_DIMSE_C_StoreRQ& request, DIC_US status) {
    T_DIMSE_C_StoreRSP response;
    std::memset(&response, 0, sizeof response);
    response.MessageIDBeingRespondedTo = request.MessageID;
    response.DimseStatus = status;
    OFStandard::strlcpy(response.AffectedSOPClassUID, request.AffectedSOPClassUID,
                        sizeof response.AffectedSOPClassUID);
    OFStandard::strlcpy(response.AffectedSOPInstanceUID, request.AffectedSOPInstanceUID,
                        sizeof response.AffectedSOPInstanceUID);
    response.opts = O_STORE_AFFECTEDSOPCLASSUID | O_STORE_AFFECTEDSOPINSTANCEUID;
    response.DataSetType = DIMSE_DATASET_NULL;
    return DIMSE_sendStoreResponse(assoc, presId, &request, &response, nullptr).good();
}

// Receives the film of a C-STORE request, files it and answers the sender; false when
// the association had to end (the film was too big or the stream broke).
bool ServeFilm(T_ASC_Association* assoc, T_ASC_PresentationContextID presId,
               T_DIMSE_C_StoreRQ& request, const Peer& peer, const ServiceContext& c) {
    T_ASC_PresentationContext context;
    ASC_findAcceptedPresentationContext(assoc->params, presId, &context);
    // Only a film of the class its context was agreed for: not one sent on the echo's.
    if (std::string_view(context.abstractSyntax) != request.AffectedSOPClassUID ||
        !Among(kFilmClasses, request.AffectedSOPClassUID)) {
        c.log.Add("film from " + peer.Names() + " refused: sent as " +
                  base::Printable(request.AffectedSOPClassUID) + " on a context for " +
                  context.abstractSyntax);
        return DIMSE_ignoreDataSet(assoc, DIMSE_NONBLOCKING, c.settings.idleSeconds, nullptr,
                                   nullptr)
                   .good() &&
               Answer(assoc, presId, request, STATUS_STORE_Refused_SOPClassNotSupported);
    }
    // The file's head first, the film's bytes after it: the film is held once.
    std::string file = FilmFile({{},
                                 context.acceptedTransferSyntax,
                                 request.AffectedSOPClassUID,
                                 request.AffectedSOPInstanceUID,
                                 peer.calling});
    BoundedStream stream(file, c.settings.mostFilmBytes, c.held, c.settings.mostHeldBytes);
    const OFCondition cond = DIMSE_receiveDataSetInFile(
        assoc, DIMSE_NONBLOCKING, c.settings.idleSeconds, &presId, &stream, nullptr, nullptr);
    if (cond.bad() || !stream.Why().empty()) {
        c.log.Add("film from " + peer.Names() +
                  " refused: " + (stream.Why().empty() ? std::string(cond.text()) : stream.Why()));
        ASC_abortAssociation(assoc);
        return false;
    }
    const Filing filing = FileFilm(c.settings.pictureDir, file, LocalTimeNow(true));
    c.log.Add("film from " + peer.Names() + " patient " + base::Printable(filing.patientId) + ": " +
              (filing.filed
                   ? "filed as " + filing.path
                   : filing.reason + (filing.path.empty() ? "" : "; kept as " + filing.path)));
    // Out of resources when nothing could be kept (the sender tries again later);
    // a film it should not send again as it is when it was kept aside.
    return Answer(assoc, presId, request,
                  filing.filed          ? STATUS_Success
                  : filing.path.empty() ? STATUS_STORE_Refused_OutOfResources
                                        : STATUS_STORE_Error_CannotUnderstand);
}

// Echoes and films until the association ends.
// The next command, waiting in steps of a second so that the receiver can stop between
// them: DIMSE_NODATAAVAILABLE after `idle` seconds of silence, or when the receiver stops.
OFCondition NextCommand(T_ASC_Association* assoc, const ServiceContext& c,
                        T_ASC_PresentationContextID& presId, T_DIMSE_Message& message) {
    for (int waited = 0; waited < c.settings.idleSeconds && !c.stop; ++waited) {
        std::memset(&message, 0, sizeof message);
        OFCondition cond =
            DIMSE_receiveCommand(assoc, DIMSE_NONBLOCKING, 1, &presId, &message, nullptr);
        if (cond != DIMSE_NODATAAVAILABLE) return cond;
    }
    return DIMSE_NODATAAVAILABLE;
}

// Echoes and films until the association ends.
void Serve(T_ASC_Association* assoc, const Peer& peer, const ServiceContext& c) {
    for (;;) {
        T_ASC_PresentationContextID presId = 0;
        T_DIMSE_Message message;
        OFCondition cond = NextCommand(assoc, c, presId, message);
        if (cond == DUL_PEERREQUESTEDRELEASE) {
            ASC_acknowledgeRelease(assoc);
            c.log.Add("association " + peer.Names() + " released");
            return;
        }
        if (cond == DIMSE_NODATAAVAILABLE) {
            c.log.Add("association " + peer.Names() + " ended: " +
                      (c.stop ? std::string("the receiver stops")
                              : "silent for " + std::to_string(c.settings.idleSeconds) + " s"));
            ASC_abortAssociation(assoc);
            return;
        }
        if (cond.bad()) {
            c.log.Add("association " + peer.Names() + " ended: " + cond.text());
            if (cond != DUL_PEERABORTEDASSOCIATION) ASC_abortAssociation(assoc);
            return;
        }
        if (message.CommandField == DIMSE_C_ECHO_RQ) {
            cond = DIMSE_sendEchoResponse(assoc, presId, &message.msg.CEchoRQ, STATUS_Success,
                                          nullptr);
        } else if (message.CommandField == DIMSE_C_STORE_RQ) {
            if (!ServeFilm(assoc, presId, message.msg.CStoreRQ, peer, c)) return;
        } else {
            c.log.Add("association " + peer.Names() + " ended: a request other than echo or store");
            ASC_abortAssociation(assoc);
            return;
        }
        if (cond.bad()) return;
    }
}

}  // namespace

void ServeConnection(SocketHandle connection, const std::string& host, const ServiceContext& c) {
    const std::optional<unsigned char> first =
        PeekFirstByte(connection, c.settings.idleSeconds * 1000);
    // A TLS handshake opens with a handshake record (22); an association request with 1.
    const bool secure = first && *first == 22;
    if (!first || (secure && !c.tls) || (!secure && c.settings.tls.required)) {
        c.log.Add("refused a connection from " + host + ": " +
                  (!first   ? std::string("nothing sent")
                   : secure ? std::string("TLS, which this receiver does not offer")
                            : std::string("plain, where TLS is required")));
        CloseConnection(connection);
        return;
    }
    std::unique_lock<std::mutex> hold(c.handover, std::defer_lock);
    Handover handover(c.tls, hold);
    T_ASC_Network* network = nullptr;
    T_ASC_Association* assoc = nullptr;
    // However the association ends, an exception included, its connection and the
    // library's objects go with it (before `handover`, which the network refers to).
    struct Ending {
        T_ASC_Association*& assoc;
        T_ASC_Network*& network;
        ~Ending() {
            if (assoc) {
                ASC_dropSCPAssociation(assoc, 5);
                ASC_destroyAssociation(&assoc);
            }
            if (network) ASC_dropNetwork(&network);
        }
    } ending{assoc, network};
    std::string why;
    assoc = ReceiveRequest(connection, secure, c, handover, hold, network, why);
    if (!assoc) {
        c.log.Add("refused a connection from " + host + ": " + why);
        return;
    }
    char calling[20] = {}, called[20] = {};
    ASC_getAPTitles(assoc->params, calling, sizeof calling, called, sizeof called, nullptr, 0);
    // Titles come from the network: shown with any control characters spelt out.
    const Peer peer{host, base::Printable(calling), base::Printable(called)};
    if (Negotiate(assoc, peer, c)) Serve(assoc, peer, c);
}

}  // namespace ceph::receiving
