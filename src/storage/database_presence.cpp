#include "storage/database_presence.h"

#include <firebird/Interface.h>

#include "common/codepage.h"
#include "storage/firebird_attach.h"

using namespace Firebird;

namespace {

// Attaches to the database alone; null with `problem` filled when it cannot.
IAttachment* Attach(const ConnectionSettings& database, DatabaseProbe& problem) {
    const AttachOutcome outcome =
        AttachDatabase(fb_get_master_interface(), Utf8FromCp932(database.DatabasePath()));
    if (outcome.attachment == nullptr) {
        problem.words = outcome.error;
        switch (outcome.kind) {
            case FailureKind::Missing:
                problem.state = DatabaseState::Missing;
                break;
            case FailureKind::Unreachable:
                problem.state = DatabaseState::Unreachable;
                break;
            case FailureKind::Damaged:
                problem.state = DatabaseState::Damaged;
                break;
            case FailureKind::Format:
                problem.state = DatabaseState::Format;
                problem.structures = outcome.structures;
                break;
            case FailureKind::Other:
                problem.state = DatabaseState::Refused;
                break;
        }
    }
    return outcome.attachment;
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
    return DatabaseProbe{DatabaseState::Attachable, {}, {}};
}

bool DropDatabase(const ConnectionSettings& database) {
    DatabaseProbe problem;
    IAttachment* attachment = Attach(database, problem);
    // Another attachment holding it keeps it where it is.
    return attachment != nullptr && Finish(attachment, true);
}
