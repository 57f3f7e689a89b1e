#include "receiving/association.h"

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcerror.h>
#include <dcmtk/dcmdata/dcostrma.h>
#include <dcmtk/dcmdata/dcuid.h>
#include <dcmtk/dcmnet/assoc.h>
#include <dcmtk/dcmnet/dimse.h>
#include <dcmtk/dcmnet/dul.h>
#include <dcmtk/ofstd/ofstd.h>

#include <algorithm>
#include <cstring>
#include <iterator>
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

// Data set bytes kept in memory up to a bound; a film over it stops the stream (the
// library then reports a failed receive) before it is ever held whole.
class BoundedConsumer : public DcmConsumer {
  public:
    BoundedConsumer(std::string& bytes, std::uint64_t most) : bytes_(bytes), most_(most) {}
    OFBool good() const override { return !over_; }
    OFCondition status() const override { return over_ ? EC_InvalidStream : EC_Normal; }
    OFBool isFlushed() const override { return OFTrue; }
    offile_off_t avail() const override {
        return over_ ? 0 : static_cast<offile_off_t>(most_ - bytes_.size());
    }
    offile_off_t write(const void* buf, offile_off_t length) override {
        if (over_ || bytes_.size() + static_cast<std::uint64_t>(length) > most_) {
            over_ = true;
            return 0;
        }
        try {
            bytes_.append(static_cast<const char*>(buf), static_cast<std::size_t>(length));
        } catch (const std::bad_alloc&) {
            over_ = outOfMemory_ = true;
            return 0;
        }
        return length;
    }
    void flush() override {}
    bool Over() const { return over_; }
    bool OutOfMemory() const { return outOfMemory_; }

  private:
    std::string& bytes_;
    std::uint64_t most_;
    bool over_ = false, outOfMemory_ = false;
};

class BoundedStream : public DcmOutputStream {
  public:
    BoundedStream(std::string& bytes, std::uint64_t most)
        : DcmOutputStream(&consumer_), consumer_(bytes, most) {}
    bool Over() const { return consumer_.Over(); }
    // Why the film stopped being taken in, when it did.
    std::string Why(std::uint64_t most) const {
        if (consumer_.OutOfMemory()) return "no memory left to hold it";
        return "larger than " + std::to_string(most >> 20) + " MB";
    }

  private:
    BoundedConsumer consumer_;
};

struct Peer {
    std::string host, calling, called;
    std::string Names() const { return calling + "@" + host + " -> " + called; }
};

// Takes the connection into the library and reads the association request; null when
// it could not be read (the connection is closed then, `why` says why).
T_ASC_Association* ReceiveRequest(SocketHandle connection, bool secure, const ServiceContext& c,
                                  T_ASC_Network*& network, std::string& why) {
    std::lock_guard<std::mutex> hold(c.handover);
    dcmExternalSocketHandle.set(static_cast<DcmNativeSocketType>(connection));
    T_ASC_Association* assoc = nullptr;
    // The handover is one at a time, so a sender slow to ask holds up the others only
    // this long (only units on the list get this far).
    const int seconds = std::min(c.settings.idleSeconds, 10);
    OFCondition cond = ASC_initializeNetwork(NET_ACCEPTOR, 0, seconds, &network);
    if (cond.good() && secure) cond = ASC_setTransportLayer(network, c.tls, 0);
    if (cond.good())
        cond =
            ASC_receiveAssociation(network, &assoc, ASC_DEFAULTMAXPDU, nullptr, nullptr,
                                   secure ? OFTrue : OFFalse, DUL_NOBLOCK, c.settings.idleSeconds);
    dcmExternalSocketHandle.set(DCMNET_INVALID_SOCKET);
    if (cond.good()) return assoc;
    why = cond.text();
    if (assoc) {
        ASC_dropAssociation(assoc);
        ASC_destroyAssociation(&assoc);
    } else {
        CloseConnection(connection);
    }
    return nullptr;
}

void Refuse(T_ASC_Association* assoc, T_ASC_RejectParametersReason reason) {
    T_ASC_RejectParameters rej{ASC_RESULT_REJECTEDPERMANENT, ASC_SOURCE_SERVICEUSER, reason};
    ASC_rejectAssociation(assoc, &rej);
}

// Lets the association in or refuses it; whether it was let in.
bool Negotiate(T_ASC_Association* assoc, const Peer& peer, const ServiceContext& c) {
    if (auto why = Refusal(c.settings.access, peer.calling, peer.called, peer.host)) {
        c.log.Add("refused " + peer.Names() + ": " + *why);
        const bool called = why->rfind("called", 0) == 0;
        Refuse(assoc, called ? ASC_REASON_SU_CALLEDAETITLENOTRECOGNIZED
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

// Receives the film of a C-STORE request, files it and answers the sender; false when
// the association had to end (the film was too big or the stream broke).
bool ServeFilm(T_ASC_Association* assoc, T_ASC_PresentationContextID presId,
               T_DIMSE_C_StoreRQ& request, const Peer& peer, const ServiceContext& c) {
    std::string dataSet;
    BoundedStream stream(dataSet, c.settings.mostFilmBytes);
    const OFCondition cond = DIMSE_receiveDataSetInFile(
        assoc, DIMSE_NONBLOCKING, c.settings.idleSeconds, &presId, &stream, nullptr, nullptr);
    if (cond.bad() || stream.Over()) {
        c.log.Add(
            "film from " + peer.Names() + " refused: " +
            (stream.Over() ? stream.Why(c.settings.mostFilmBytes) : std::string(cond.text())));
        ASC_abortAssociation(assoc);
        return false;
    }
    T_ASC_PresentationContext context;
    ASC_findAcceptedPresentationContext(assoc->params, presId, &context);
    const SentFilm film{dataSet, context.acceptedTransferSyntax, request.AffectedSOPClassUID,
                        request.AffectedSOPInstanceUID, peer.calling};
    Filing filing;
    try {
        const std::string file = FilmFile(film);
        std::string().swap(dataSet);
        filing = FileFilm(c.settings.pictureDir, file, LocalTimeNow(true));
    } catch (const std::bad_alloc&) {
        // Nothing kept: the unit is told to try again later.
        filing.reason = "no memory left to file it";
    }
    c.log.Add("film from " + peer.Names() + " patient " + base::Printable(filing.patientId) + ": " +
              (filing.filed
                   ? "filed as " + filing.path
                   : filing.reason + (filing.path.empty() ? "" : "; kept as " + filing.path)));
    T_DIMSE_C_StoreRSP response;
    std::memset(&response, 0, sizeof response);
    response.MessageIDBeingRespondedTo = request.MessageID;
    // Out of resources when nothing could be kept (the sender tries again later);
    // a film it should not send again as it is when it was kept aside.
    response.DimseStatus = filing.filed          ? STATUS_Success
                           : filing.path.empty() ? STATUS_STORE_Refused_OutOfResources
                                                 : STATUS_STORE_Error_CannotUnderstand;
    OFStandard::strlcpy(response.AffectedSOPClassUID, request.AffectedSOPClassUID,
                        sizeof response.AffectedSOPClassUID);
    OFStandard::strlcpy(response.AffectedSOPInstanceUID, request.AffectedSOPInstanceUID,
                        sizeof response.AffectedSOPInstanceUID);
    response.opts = O_STORE_AFFECTEDSOPCLASSUID | O_STORE_AFFECTEDSOPINSTANCEUID;
    response.DataSetType = DIMSE_DATASET_NULL;
    return DIMSE_sendStoreResponse(assoc, presId, &request, &response, nullptr).good();
}

// Echoes and films until the association ends.
void Serve(T_ASC_Association* assoc, const Peer& peer, const ServiceContext& c) {
    for (;;) {
        T_ASC_PresentationContextID presId = 0;
        T_DIMSE_Message message;
        std::memset(&message, 0, sizeof message);
        OFCondition cond = DIMSE_receiveCommand(assoc, DIMSE_NONBLOCKING, c.settings.idleSeconds,
                                                &presId, &message, nullptr);
        if (cond == DUL_PEERREQUESTEDRELEASE) {
            ASC_acknowledgeRelease(assoc);
            c.log.Add("association " + peer.Names() + " released");
            return;
        }
        if (cond == DIMSE_NODATAAVAILABLE) {
            c.log.Add("association " + peer.Names() + " ended: silent for " +
                      std::to_string(c.settings.idleSeconds) + " s");
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
    T_ASC_Network* network = nullptr;
    std::string why;
    T_ASC_Association* assoc = ReceiveRequest(connection, secure, c, network, why);
    if (!assoc) {
        c.log.Add("refused a connection from " + host + ": " + why);
    } else {
        char calling[20] = {}, called[20] = {};
        ASC_getAPTitles(assoc->params, calling, sizeof calling, called, sizeof called, nullptr, 0);
        // Titles come from the network: shown with any control characters spelt out.
        const Peer peer{host, base::Printable(calling), base::Printable(called)};
        if (Negotiate(assoc, peer, c)) Serve(assoc, peer, c);
        ASC_dropSCPAssociation(assoc, 5);
        ASC_destroyAssociation(&assoc);
    }
    if (network) ASC_dropNetwork(&network);
}

}  // namespace ceph::receiving
