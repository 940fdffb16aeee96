#include "storage/firebird_attach.h"

#include <algorithm>
#include <array>

#include "storage/credentials.h"
#include "storage/firebird_lock_folder.h"
#include "storage/private_database.h"

using namespace Firebird;

bool ReachesServer(std::string_view path) {
    for (const std::string_view protocol : {"inet://", "inet4://", "inet6://", "wnet://", "xnet://"}) {
        if (path.starts_with(protocol)) {
            return true;
        }
    }
    // The node name ends at the first colon, or at the first after a bracketed address.
    std::size_t from = 0;
    if (path.starts_with('[')) {
        from = path.find(']');
        if (from == std::string_view::npos) {
            return false;
        }
    }
    const std::size_t colon = path.find(':', from);
    return colon != std::string_view::npos && colon != 0 && colon != path.size() - 1;
}

const std::string& RefusalToOpen(std::string_view path) {
    static const std::string none;
    return ReachesServer(path) || IsPrivateDatabase(path) ? none : EmbeddedUseRefusal();
}

AttachOutcome AttachDatabase(IMaster* master, const std::string& path) {
    AttachOutcome outcome;
    outcome.error = RefusalToOpen(path);
    if (!outcome.error.empty()) {
        return outcome;
    }
    ThrowStatusWrapper status(master->getStatus());
    IXpbBuilder* dpb = nullptr;
    IProvider* provider = master->getDispatcher();
    try {
        dpb = master->getUtilInterface()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
        const Credentials credentials = FirebirdCredentials();
        dpb->insertString(&status, isc_dpb_user_name, credentials.user.c_str());
        dpb->insertString(&status, isc_dpb_password, credentials.password.c_str());
        dpb->insertTag(&status, isc_dpb_utf8_filename);
        dpb->insertInt(&status, isc_dpb_connect_timeout, kConnectTimeoutSeconds);
        outcome.attachment = provider->attachDatabase(&status, path.c_str(), dpb->getBufferLength(&status),
                                                      dpb->getBuffer(&status));
    } catch (const FbException& error) {
        outcome.error = FailureWords(master->getUtilInterface(), error.getStatus());
        outcome.kind = ClassifyFailure(error.getStatus());
        outcome.structures = StructuresOf(error.getStatus());
    }
    if (dpb) {
        dpb->dispose();
    }
    provider->release();
    status.dispose();
    return outcome;
}

bool ConnectionGone(const IStatus* status) {
    static constexpr std::array<ISC_STATUS, 11> kGone{
        isc_network_error,  isc_net_read_err,  isc_net_write_err, isc_lost_db_connection,
        isc_conn_lost,      isc_shutdown,      isc_att_shutdown,  isc_net_connect_err,
        isc_net_lookup_err, isc_bad_db_handle, isc_unavailable};
    const ISC_STATUS* errors = const_cast<IStatus*>(status)->getErrors();
    for (const ISC_STATUS* item = errors; item[0] != isc_arg_end;) {
        const ISC_STATUS type = item[0];
        if (type == isc_arg_gds && std::find(kGone.begin(), kGone.end(), item[1]) != kGone.end()) {
            return true;
        }
        // A Windows or Unix error number, a number or a string: one word after the type.
        item += type == isc_arg_cstring ? 3 : 2;
    }
    return false;
}
