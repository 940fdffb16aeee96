#include "storage/firebird_failure.h"

#include <cerrno>
#include <set>
#include <utility>
#include <vector>

namespace {

const std::set<ISC_STATUS>& DamageCodes() {
    static const std::set<ISC_STATUS> codes{isc_db_corrupt,      isc_bug_check,    isc_corrupt,
                                            isc_badpage,         isc_bad_checksum, isc_page_type_err,
                                            isc_metadata_corrupt};
    return codes;
}

// A sound file all the same: written by another Firebird, or no database at all.
const std::set<ISC_STATUS>& FormatCodes() {
    static const std::set<ISC_STATUS> codes{isc_wrong_ods, isc_badodsver, isc_bad_db_format};
    return codes;
}

// Calls `visit` with each code and argument of the error vector.
template <typename Visit>
void EachItem(const Firebird::IStatus* status, Visit visit) {
    const ISC_STATUS* item = const_cast<Firebird::IStatus*>(status)->getErrors();
    while (*item != isc_arg_end) {
        visit(item[0], item[1]);
        item += item[0] == isc_arg_cstring ? 3 : 2;
    }
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
    bool format = false;
    bool unreachable = false;
    bool openFailed = false;
    bool otherSystemError = false;
    EachItem(status, [&](ISC_STATUS type, ISC_STATUS value) {
        if (type == isc_arg_gds) {
            damaged |= DamageCodes().contains(value);
            format |= FormatCodes().contains(value);
            unreachable |= UnreachableCodes().contains(value);
            openFailed |= value == isc_io_open_err;
        } else if (type == isc_arg_unix) {
            otherSystemError |= value != ENOENT;
        }
    });
    if (unreachable) {
        return FailureKind::Unreachable;
    }
    // A server sends the system's reason as words only; a file that cannot be opened is then taken
    // for a missing one.
    if (openFailed && !otherSystemError) {
        return FailureKind::Missing;
    }
    if (format) {
        return FailureKind::Format;
    }
    return damaged ? FailureKind::Damaged : FailureKind::Other;
}

OnDiskStructures StructuresOf(const Firebird::IStatus* status) {
    // isc_wrong_ods: the file's name, then the found and the supported major and minor version;
    // isc_badodsver (older engines): the found and the supported major version alone.
    std::vector<ISC_STATUS> numbers;
    bool named = false;
    EachItem(status, [&](ISC_STATUS type, ISC_STATUS value) {
        if (type == isc_arg_gds) {
            named = value == isc_wrong_ods || value == isc_badodsver;
        } else if (named && type == isc_arg_number) {
            numbers.push_back(value);
        }
    });
    const auto version = [](ISC_STATUS major, ISC_STATUS minor) {
        return std::to_string(major) + "." + std::to_string(minor);
    };
    if (numbers.size() == 2) {
        numbers = {numbers[0], 0, numbers[1], 0};
    }
    if (numbers.size() == 4) {
        return OnDiskStructures{version(numbers[0], numbers[1]), version(numbers[2], numbers[3]),
                                std::pair(numbers[0], numbers[1]) > std::pair(numbers[2], numbers[3])};
    }
    return {};
}

std::string FailureWords(Firebird::IUtil* util, const Firebird::IStatus* status) {
    char text[2048];
    util->formatStatus(text, sizeof text, const_cast<Firebird::IStatus*>(status));
    return text;
}
