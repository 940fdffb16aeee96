#include "storage/held_census.h"

#include <firebird/Interface.h>

#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "common/codepage.h"
#include "storage/bounded_calls.h"
#include "storage/firebird_attach.h"
#include "storage/firebird_failure.h"
#include "storage/firebird_server_mode.h"

using namespace Firebird;

namespace {

// How long the reservation waits for other connections' writes to the group tables to end.
constexpr unsigned char kReserveWaitSeconds = 2;
// Table names in one transaction's parameter block: its length travels in 16 bits.
constexpr std::size_t kReservationBytes = 30000;
// How often the reservation is tried when a table came or went meanwhile.
constexpr int kHoldAttempts = 2;
// Every value is read as a text of at most this many bytes (counts and digests, table names).
constexpr unsigned kTextBytes = 256;
// Firebird's character set NONE: the bytes as stored.
constexpr unsigned kCharSetNone = 0;

using Rows = std::vector<std::vector<std::string>>;

// Transaction parameter blocks: reading the committed state while reserving `tables` for protected
// reading, and reading one snapshot.
std::vector<unsigned char> ReservingTpb(const std::vector<std::string>& tables) {
    std::vector<unsigned char> tpb{isc_tpb_version3,
                                   isc_tpb_read,
                                   isc_tpb_read_committed,
                                   isc_tpb_rec_version,
                                   isc_tpb_wait,
                                   isc_tpb_lock_timeout,
                                   4,
                                   kReserveWaitSeconds,
                                   0,
                                   0,
                                   0};
    for (const std::string& table : tables) {
        tpb.push_back(isc_tpb_lock_read);
        tpb.push_back(static_cast<unsigned char>(table.size()));
        tpb.insert(tpb.end(), table.begin(), table.end());
        tpb.push_back(isc_tpb_protected);
    }
    return tpb;
}

std::string SelectText(const std::string& columns, const std::string& table, const std::string& where) {
    return "SELECT " + columns + " FROM " + table + (where.empty() ? "" : " WHERE " + where);
}

const std::vector<unsigned char> kSnapshotTpb{isc_tpb_version3, isc_tpb_read, isc_tpb_concurrency};
const std::vector<unsigned char> kReadTpb{isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                          isc_tpb_rec_version};

}  // namespace

// The census's own connection; used on its thread only, but for Abort.
struct CensusConnection {
    CensusConnection() = default;
    CensusConnection(const CensusConnection&) = delete;
    CensusConnection& operator=(const CensusConnection&) = delete;
    ~CensusConnection() {
        Close();
        status.dispose();
    }

    void Attach(const ConnectionSettings& database) {
        const AttachOutcome outcome = AttachDatabase(master, Utf8FromCp932(database.DatabasePath()));
        if (outcome.attachment == nullptr) {
            throw std::runtime_error(outcome.error);
        }
        std::lock_guard lock(attachmentMutex);
        attachment = outcome.attachment;
    }

    // Closes the connection under a call that waits for a server that stopped answering; from any
    // thread, also while the connection's own thread attaches or closes it.
    void Abort() {
        IAttachment* aborted = nullptr;
        {
            std::lock_guard lock(attachmentMutex);
            if (attachment == nullptr) {
                return;
            }
            // Held here: a detach on the connection's thread lets go of its own reference.
            aborted = attachment;
            aborted->addRef();
        }
        CheckStatusWrapper aborting(master->getStatus());
        aborted->cancelOperation(&aborting, fb_cancel_abort);
        aborting.dispose();
        aborted->release();
    }

    // Lets go of everything and detaches.
    void Close() {
        FreeKept();
        EndHolds();
        End(snapshot);
        IAttachment* leaving = nullptr;
        {
            std::lock_guard lock(attachmentMutex);
            leaving = std::exchange(attachment, nullptr);
        }
        if (leaving != nullptr) {
            try {
                leaving->detach(&status);
            } catch (const FbException&) {
                leaving->release();
            }
        }
    }

    // SELECTs in `transaction`, for a census.
    CensusSelect Selecting(ITransaction* transaction) {
        return [this, transaction](const std::string& columns, const std::string& table,
                                   const std::string& where) -> std::optional<Rows> {
            return Select(transaction, SelectText(columns, table, where));
        };
    }

    ITransaction* Begin(const std::vector<unsigned char>& tpb) {
        return attachment->startTransaction(&status, static_cast<unsigned>(tpb.size()), tpb.data());
    }

    // Rolls `transaction` back; what it read or held goes with it.
    void End(ITransaction*& transaction) {
        if (transaction != nullptr) {
            try {
                transaction->rollback(&status);
            } catch (const FbException&) {
                transaction->release();
            }
            transaction = nullptr;
        }
    }

    void EndHolds() {
        for (ITransaction*& hold : holds) {
            End(hold);
        }
        holds.clear();
    }

    // Prepares the census's statements in the snapshot as soon as it has begun: while they are
    // prepared they hold their tables, so that another connection's DROP TABLE waits until they are
    // counted instead of taking a table the census still has to count. Best effort: a statement not
    // kept is prepared when it runs.
    void Keep(const std::vector<std::string>& texts) {
        try {
            for (const std::string& text : texts) {
                kept.emplace(text, Prepare(snapshot, text));
            }
        } catch (const FbException&) {
            FreeKept();
        }
    }

    void FreeKept() {
        for (auto& [text, statement] : kept) {
            try {
                statement->free(&status);
            } catch (const FbException&) {
                statement->release();
            }
        }
        kept.clear();
    }

    IStatement* Prepare(ITransaction* transaction, const std::string& sql) {
        return attachment->prepare(&status, transaction, 0, sql.c_str(), SQL_DIALECT_V6,
                                   IStatement::PREPARE_PREFETCH_METADATA);
    }

    // Every row of a SELECT, each value as text (NULL as empty text).
    Rows Select(ITransaction* transaction, const std::string& sql) {
        const auto keeping = kept.find(sql);
        IStatement* statement = keeping != kept.end() ? keeping->second : nullptr;
        IMessageMetadata* wanted = nullptr;
        IResultSet* cursor = nullptr;
        Rows rows;
        try {
            if (statement == nullptr) {
                statement = Prepare(transaction, sql);
            }
            wanted = AsTexts(statement);
            cursor = statement->openCursor(&status, transaction, nullptr, nullptr, wanted, 0);
            std::vector<unsigned char> message(wanted->getMessageLength(&status));
            const unsigned count = wanted->getCount(&status);
            while (cursor->fetchNext(&status, message.data()) == IStatus::RESULT_OK) {
                std::vector<std::string>& row = rows.emplace_back(count);
                for (unsigned column = 0; column < count; ++column) {
                    short null = 0;
                    std::memcpy(&null, message.data() + wanted->getNullOffset(&status, column), sizeof null);
                    const unsigned char* value = message.data() + wanted->getOffset(&status, column);
                    unsigned short length = 0;
                    std::memcpy(&length, value, sizeof length);
                    if (null == 0) {
                        row[column].assign(reinterpret_cast<const char*>(value + sizeof length), length);
                    }
                }
            }
            cursor->close(&status);
            cursor = nullptr;
            if (keeping == kept.end()) {
                statement->free(&status);
            }
            statement = nullptr;
            wanted->release();
        } catch (...) {
            if (keeping != kept.end()) {
                statement = nullptr;  // freed with the others
            }
            for (IReferenceCounted* handle :
                 std::initializer_list<IReferenceCounted*>{cursor, statement, wanted}) {
                if (handle != nullptr) {
                    handle->release();
                }
            }
            throw;
        }
        return rows;
    }

    // The statement's columns, each to be read as a text of the code page's bytes.
    IMessageMetadata* AsTexts(IStatement* statement) {
        IMessageMetadata* given = statement->getOutputMetadata(&status);
        IMetadataBuilder* builder = nullptr;
        try {
            builder = given->getBuilder(&status);
            for (unsigned column = 0; column < given->getCount(&status); ++column) {
                builder->setType(&status, column, SQL_VARYING);
                builder->setSubType(&status, column, 0);
                builder->setScale(&status, column, 0);
                builder->setCharSet(&status, column, kCharSetNone);
                builder->setLength(&status, column, kTextBytes);
            }
            IMessageMetadata* wanted = builder->getMetadata(&status);
            builder->release();
            given->release();
            return wanted;
        } catch (...) {
            if (builder != nullptr) {
                builder->release();
            }
            given->release();
            throw;
        }
    }

    IMaster* master = fb_get_master_interface();
    ThrowStatusWrapper status{master->getStatus()};
    std::mutex attachmentMutex;  // for Abort, from another thread
    IAttachment* attachment = nullptr;
    std::vector<ITransaction*> holds;  // reserving the group tables
    ITransaction* snapshot = nullptr;
    std::map<std::string, IStatement*> kept;  // the census's statements, by their text
};

namespace {

// The census's statements of `tables`, as Read sends them.
std::vector<std::string> CensusTexts(const std::vector<std::string>& tables) {
    std::vector<std::string> texts;
    for (const std::string& source : CensusSources(tables)) {
        texts.push_back(SelectText("*", source, ""));
    }
    return texts;
}

}  // namespace

bool CensusHoldsWriters(const ConnectionSettings& database) {
    return ReachesServer(database.DatabasePath()) || EngineServerMode() != ServerMode::Super;
}

HeldCensus::HeldCensus(const ConnectionSettings& database, bool holdWriters, const CancelFlag& cancel,
                       std::chrono::milliseconds deadline)
    : cancel_(cancel),
      deadline_(deadline),
      connection_(std::make_shared<CensusConnection>()),
      calls_(std::make_unique<BoundedCalls>()) {
    if (!Ask<bool>([database](CensusConnection& connection) {
            connection.Attach(database);
            return true;
        })) {
        return;
    }
    holding_ = holdWriters && Hold();
    begun_ = holding_ || Ask<bool>([](CensusConnection& connection) {
                 connection.snapshot = connection.Begin(kSnapshotTpb);
                 if (const auto tables = ListGroupTables(connection.Selecting(connection.snapshot))) {
                     connection.Keep(CensusTexts(*tables));
                 }
                 return true;
             });
}

HeldCensus::~HeldCensus() {
    // Ended on the connection's thread, as far as the server answers in time.
    Ask<bool>([](CensusConnection& connection) {
        connection.Close();
        return true;
    });
    calls_.reset();
}

template <typename Answer, typename Step>
std::optional<Answer> HeldCensus::Ask(Step step) {
    // Held by the call too: a call given up still answers into it when it returns.
    const auto answer = std::make_shared<std::optional<Answer>>();
    try {
        calls_->Call(
            [connection = connection_, answer, step = std::move(step)] { *answer = step(*connection); },
            deadline_, cancel_);
        return *answer;
    } catch (const FbException& error) {
        words_ = FailureWords(fb_get_master_interface()->getUtilInterface(), error.getStatus());
    } catch (const std::exception& error) {
        words_ = error.what();
        // A call given up waits for a server that stopped answering: the connection is closed
        // under it, and what it holds there (the reservation) goes with it.
        connection_->Abort();
    }
    return std::nullopt;
}

bool HeldCensus::Hold() {
    for (int attempt = 0; attempt < kHoldAttempts && !cancel_; ++attempt) {
        const std::optional<std::vector<std::string>> tables =
            Ask<std::vector<std::string>>([](CensusConnection& connection) {
                ITransaction* reading = connection.Begin(kReadTpb);
                try {
                    const auto listed = ListGroupTables(connection.Selecting(reading));
                    connection.End(reading);
                    return listed.value_or(std::vector<std::string>());
                } catch (...) {
                    connection.End(reading);
                    throw;
                }
            });
        if (!tables) {
            continue;
        }
        // Reserved in parts that each fit a parameter block, then the snapshot, which must know no
        // other tables than were reserved (one made meanwhile would be written freely).
        const std::optional<bool> same = Ask<bool>([tables = *tables](CensusConnection& connection) {
            for (std::size_t first = 0; first < tables.size();) {
                std::size_t last = first;
                for (std::size_t bytes = 0; last < tables.size() && bytes < kReservationBytes; ++last) {
                    bytes += tables[last].size() + 3;
                }
                connection.holds.push_back(connection.Begin(
                    ReservingTpb(std::vector<std::string>(tables.begin() + first, tables.begin() + last))));
                first = last;
            }
            connection.snapshot = connection.Begin(kSnapshotTpb);
            if (ListGroupTables(connection.Selecting(connection.snapshot)) != tables) {
                return false;
            }
            connection.Keep(CensusTexts(tables));
            return true;
        });
        if (same.value_or(false)) {
            return true;
        }
        Ask<bool>([](CensusConnection& connection) {
            connection.FreeKept();
            connection.EndHolds();
            connection.End(connection.snapshot);
            return true;
        });
        if (!same) {
            return false;  // not to be had in time: another connection is in the middle of a write
        }
    }
    return false;
}

void HeldCensus::Release() {
    if (holding_) {
        holding_ = false;
        Ask<bool>([](CensusConnection& connection) {
            connection.EndHolds();
            return true;
        });
    }
}

std::optional<RowCensus> HeldCensus::Read(std::string& words) {
    std::optional<RowCensus> census;
    if (begun_) {
        census = TakeCensus(
            [this](const std::string& columns, const std::string& table, const std::string& where) {
                return Ask<Rows>([text = SelectText(columns, table, where)](CensusConnection& connection) {
                    return connection.Select(connection.snapshot, text);
                });
            });
    }
    // Counted: the tables are let go, and the snapshot with them.
    Ask<bool>([](CensusConnection& connection) {
        connection.FreeKept();
        connection.End(connection.snapshot);
        return true;
    });
    if (!census) {
        words = words_;
    }
    return census;
}
