#include "storage/firebird_failure.h"

#include <cerrno>
#include <set>

namespace {

const std::set<ISC_STATUS>& DamageCodes() {
    static const std::set<ISC_STATUS> codes{
        isc_bad_db_format, isc_db_corrupt, isc_wrong_ods,    isc_badodsver,     isc_bug_check,
        isc_corrupt,       isc_badpage,    isc_bad_checksum, isc_page_type_err, isc_metadata_corrupt};
    return codes;
}

const std::set<ISC_STATUS>& UnreachableCodes() {
    static const std::set<ISC_STATUS> codes{isc_network_error,
                                            isc_net_connect_err,
                                            isc_net_connect_listen_err,
                                            isc_net_lookup_err,
                                            isc_net_read_err,
                                            isc_net_write_err,
                                            isc_conn_lost,
                                            isc_lost_db_connection,
                                            isc_unavailable,
                                            isc_shutdown,
                                            isc_login};
    return codes;
}

}  // namespace

FailureKind ClassifyFailure(const Firebird::IStatus* status) {
    bool damaged = false;
    bool unreachable = false;
    bool openFailed = false;
    bool otherSystemError = false;
    const ISC_STATUS* item = const_cast<Firebird::IStatus*>(status)->getErrors();
    while (*item != isc_arg_end) {
        const ISC_STATUS type = item[0];
        const ISC_STATUS value = item[1];
        if (type == isc_arg_gds) {
            damaged |= DamageCodes().contains(value);
            unreachable |= UnreachableCodes().contains(value);
            openFailed |= value == isc_io_open_err;
        } else if (type == isc_arg_unix) {
            otherSystemError |= value != ENOENT;
        }
        item += type == isc_arg_cstring ? 3 : 2;
    }
    if (unreachable) {
        return FailureKind::Unreachable;
    }
    // A server sends the system's reason as words only; a file that cannot be opened is then taken
    // for a missing one.
    if (openFailed && !otherSystemError) {
        return FailureKind::Missing;
    }
    return damaged ? FailureKind::Damaged : FailureKind::Other;
}

std::string FailureWords(Firebird::IUtil* util, const Firebird::IStatus* status) {
    char text[2048];
    util->formatStatus(text, sizeof text, const_cast<Firebird::IStatus*>(status));
    return text;
}
