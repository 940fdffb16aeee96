#include "storage/database_presence.h"

#include <firebird/Interface.h>

#include "common/codepage.h"
#include "storage/credentials.h"
#include "storage/firebird_failure.h"

using namespace Firebird;

namespace {

// Attaches to the database alone; null with `problem` filled when it cannot.
IAttachment* Attach(const ConnectionSettings& database, DatabaseProbe& problem) {
    IMaster* master = fb_get_master_interface();
    IUtil* util = master->getUtilInterface();
    ThrowStatusWrapper status(master->getStatus());
    IXpbBuilder* dpb = nullptr;
    IProvider* provider = master->getDispatcher();
    IAttachment* attachment = nullptr;
    try {
        dpb = util->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
        const Credentials credentials = FirebirdCredentials();
        dpb->insertString(&status, isc_dpb_user_name, credentials.user.c_str());
        dpb->insertString(&status, isc_dpb_password, credentials.password.c_str());
        dpb->insertTag(&status, isc_dpb_utf8_filename);
        const std::string path = Utf8FromCp932(database.DatabasePath());
        attachment = provider->attachDatabase(&status, path.c_str(), dpb->getBufferLength(&status),
                                              dpb->getBuffer(&status));
    } catch (const FbException& error) {
        problem.words = FailureWords(util, error.getStatus());
        switch (ClassifyFailure(error.getStatus())) {
            case FailureKind::Missing:
                problem.state = DatabaseState::Missing;
                break;
            case FailureKind::Unreachable:
                problem.state = DatabaseState::Unreachable;
                break;
            case FailureKind::Damaged:
                problem.state = DatabaseState::Damaged;
                break;
            case FailureKind::Other:
                problem.state = DatabaseState::Refused;
                break;
        }
    }
    if (dpb) {
        dpb->dispose();
    }
    provider->release();
    status.dispose();
    return attachment;
}

// Detaches, or drops the database when `drop`; false when that fails (the attachment is let go).
bool Finish(IAttachment* attachment, bool drop) {
    ThrowStatusWrapper status(fb_get_master_interface()->getStatus());
    bool finished = false;
    try {
        if (drop) {
            attachment->dropDatabase(&status);
        } else {
            attachment->detach(&status);
        }
        finished = true;
    } catch (const FbException&) {
        attachment->release();
    }
    status.dispose();
    return finished;
}

}  // namespace

DatabaseProbe ProbeDatabase(const ConnectionSettings& database) {
    DatabaseProbe probe;
    IAttachment* attachment = Attach(database, probe);
    if (attachment == nullptr) {
        return probe;
    }
    Finish(attachment, false);
    return DatabaseProbe{DatabaseState::Attachable, {}};
}

bool DropDatabase(const ConnectionSettings& database) {
    DatabaseProbe problem;
    IAttachment* attachment = Attach(database, problem);
    // Another attachment holding it keeps it where it is.
    return attachment != nullptr && Finish(attachment, true);
}
