#include "storage/services.h"

#include <firebird/Interface.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "common/codepage.h"
#include "common/durable_file.h"
#include "storage/bounded_calls.h"
#include "storage/credentials.h"
#include "storage/database_presence.h"
#include "storage/firebird_attach.h"
#include "storage/firebird_failure.h"

using namespace Firebird;

namespace {

// Largest reply the service sends in one exchange; its items carry 16-bit lengths.
constexpr unsigned kReplySize = 65000;
// Seconds the service may keep an exchange waiting for output: how long a cancel can take.
constexpr unsigned char kWaitSeconds = 1;
// How long the validation waits for a table that another connection is writing before it leaves
// that table unchecked.
constexpr int kValidationLockSeconds = 3;

// What one exchange with a running service brought.
struct Reply {
    std::string bytes;         // output of the service: the backup stream or its text lines
    unsigned stdinWanted = 0;  // bytes of input the service asks for
    bool more = false;         // the service has not finished
};

unsigned ReadLittleEndian(const unsigned char* p, int size) {
    unsigned value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | p[i];
    }
    return value;
}

Reply ParseReply(const std::vector<unsigned char>& buffer) {
    Reply reply;
    const unsigned char* p = buffer.data();
    const unsigned char* const end = p + buffer.size();
    while (p < end && *p != isc_info_end) {
        switch (*p++) {
            case isc_info_svc_to_eof:
            case isc_info_svc_line: {
                if (end - p < 2) {
                    throw std::runtime_error("service reply cut short");
                }
                const unsigned length = std::min<unsigned>(ReadLittleEndian(p, 2), end - p - 2);
                p += 2;
                reply.bytes.append(reinterpret_cast<const char*>(p), length);
                reply.more |= length > 0;
                p += length;
                break;
            }
            case isc_info_svc_stdin:
                if (end - p < 4) {
                    throw std::runtime_error("service reply cut short");
                }
                reply.stdinWanted = ReadLittleEndian(p, 4);
                reply.more |= reply.stdinWanted > 0;
                p += 4;
                break;
            case isc_info_svc_timeout:
            case isc_info_data_not_ready:
            case isc_info_truncated:
                reply.more = true;
                break;
            default:
                throw std::runtime_error("service reply not understood");
        }
    }
    return reply;
}

// The database's path on its host, as the service reads it: without the server prefix, in UTF-8.
std::string HostPath(const ConnectionSettings& database) {
    return Utf8FromCp932(database.dataFolder + database.databaseName);
}

// One connection to the service manager of a database's host; used only on its run's own thread.
struct ServiceConnection {
    ServiceConnection() = default;
    ServiceConnection(const ServiceConnection&) = delete;
    ServiceConnection& operator=(const ServiceConnection&) = delete;
    ~ServiceConnection() {
        Detach();
        status.dispose();
    }

    // Ends a service that is still running; its end is not waited for.
    void Detach() {
        if (service != nullptr) {
            try {
                service->detach(&status);
            } catch (const FbException&) {
                service->release();
            }
            service = nullptr;
        }
    }

    IMaster* master = fb_get_master_interface();
    ThrowStatusWrapper status{master->getStatus()};
    IService* service = nullptr;
};

// One service run on a host: its connection's calls are made on a thread of their own, each given
// up when it gets no answer within the deadline or when the run is cancelled. The calls throw
// FbException, or std::runtime_error when given up; the public functions below catch at their
// boundary.
class ServiceRun {
public:
    ServiceRun(const ConnectionSettings& host, const CancelFlag& cancel, std::chrono::milliseconds deadline)
        : cancel_(cancel), deadline_(deadline), status_(master_->getStatus()) {
        const Credentials credentials = FirebirdCredentials();
        const std::vector<unsigned char> spb = Block(IXpbBuilder::SPB_ATTACH, [&](IXpbBuilder* block) {
            block->insertString(&status_, isc_spb_user_name, credentials.user.c_str());
            block->insertString(&status_, isc_spb_password, credentials.password.c_str());
            block->insertTag(&status_, isc_spb_utf8_filename);
            // A server that does not answer is given up as by the program's own attach.
            block->insertInt(&status_, isc_spb_connect_timeout, kConnectTimeoutSeconds);
        });
        OnItsThread([name = host.serverPrefix + "service_mgr", spb](ServiceConnection& connection) {
            IProvider* provider = connection.master->getDispatcher();
            try {
                connection.service = provider->attachServiceManager(
                    &connection.status, name.c_str(), static_cast<unsigned>(spb.size()), spb.data());
            } catch (...) {
                provider->release();
                throw;
            }
            provider->release();
        });
    }

    ~ServiceRun() {
        // A run given up leaves its connection to its thread, which detaches once its call returns.
        try {
            OnItsThread([](ServiceConnection& connection) { connection.Detach(); });
        } catch (const std::exception&) {
        }
        status_.dispose();
    }

    ServiceRun(const ServiceRun&) = delete;
    ServiceRun& operator=(const ServiceRun&) = delete;

    // For filling a start block on the asking thread.
    ThrowStatusWrapper& status() { return status_; }

    // Starts the action that `fill` writes into a start block.
    template <typename Fill>
    void Start(Fill fill) {
        const std::vector<unsigned char> spb = Block(IXpbBuilder::SPB_START, fill);
        OnItsThread([spb](ServiceConnection& connection) {
            connection.service->start(&connection.status, static_cast<unsigned>(spb.size()), spb.data());
        });
    }

    // One exchange: hands over `input` when the service asked for it (an empty one at its end) and
    // asks for the output item `output`, and for how much input is wanted when `withInput`.
    Reply Exchange(unsigned char output, bool withInput, const std::optional<std::string>& input) {
        std::vector<unsigned char> send{isc_info_svc_timeout, 4, 0, kWaitSeconds, 0, 0, 0};
        if (input) {
            send.push_back(isc_info_svc_line);
            send.push_back(static_cast<unsigned char>(input->size() & 0xFF));
            send.push_back(static_cast<unsigned char>(input->size() >> 8));
            send.insert(send.end(), input->begin(), input->end());
        }
        send.push_back(isc_info_end);
        std::vector<unsigned char> receive{output};
        if (withInput) {
            receive.push_back(isc_info_svc_stdin);
        }
        // Held by the call too: a call given up may still write into it when its answer comes.
        const auto buffer = std::make_shared<std::vector<unsigned char>>(kReplySize);
        OnItsThread(
            [send = std::move(send), receive = std::move(receive), buffer](ServiceConnection& connection) {
                connection.service->query(&connection.status, static_cast<unsigned>(send.size()), send.data(),
                                          static_cast<unsigned>(receive.size()), receive.data(),
                                          static_cast<unsigned>(buffer->size()), buffer->data());
            });
        return ParseReply(*buffer);
    }

private:
    // The bytes of a parameter block that `fill` writes.
    template <typename Fill>
    std::vector<unsigned char> Block(unsigned kind, Fill fill) {
        IXpbBuilder* block = master_->getUtilInterface()->getXpbBuilder(&status_, kind, nullptr, 0);
        try {
            fill(block);
            const unsigned char* bytes = block->getBuffer(&status_);
            std::vector<unsigned char> copy(bytes, bytes + block->getBufferLength(&status_));
            block->dispose();
            return copy;
        } catch (...) {
            block->dispose();
            throw;
        }
    }

    // Runs `call` with the connection on the run's thread and waits for it as long as allowed.
    template <typename Call>
    void OnItsThread(Call call) {
        calls_.Call([connection = connection_, call = std::move(call)] { call(*connection); }, deadline_,
                    cancel_);
    }

    const CancelFlag& cancel_;
    const std::chrono::milliseconds deadline_;
    IMaster* master_ = fb_get_master_interface();
    ThrowStatusWrapper status_;
    std::shared_ptr<ServiceConnection> connection_ = std::make_shared<ServiceConnection>();
    BoundedCalls calls_;
};

ServiceOutcome Cancelled() {
    return ServiceOutcome{false, "cancelled"};
}

// Runs `work` on a service connection to `host`; an error becomes what `failed` makes of its kind
// and Firebird's words.
template <typename Work, typename OnError>
auto RunService(const ConnectionSettings& host, const CancelFlag& cancel, std::chrono::milliseconds deadline,
                Work work, OnError failed) {
    IUtil* util = fb_get_master_interface()->getUtilInterface();
    try {
        ServiceRun run(host, cancel, deadline);
        return work(run);
    } catch (const FbException& error) {
        return failed(ClassifyFailure(error.getStatus()), FailureWords(util, error.getStatus()));
    } catch (const std::exception& error) {
        return failed(FailureKind::Other, std::string(error.what()));
    }
}

ServiceOutcome Failed(FailureKind, std::string words) {
    return ServiceOutcome{false, std::move(words)};
}

}  // namespace

ServiceOutcome BackupDatabase(const ConnectionSettings& database, const std::filesystem::path& file,
                              const CancelFlag& cancel, std::chrono::milliseconds deadline,
                              const std::function<void()>& begun) {
    // A backup is a whole copy of the database: for its user's eyes only.
    DurableFile out(file.string(), file.string() + ".part", 0600);
    if (!out.Opened()) {
        return ServiceOutcome{false, "cannot create " + file.string()};
    }
    return RunService(
        database, cancel, deadline,
        [&](ServiceRun& run) {
            run.Start([&](IXpbBuilder* spb) {
                spb->insertTag(&run.status(), isc_action_svc_backup);
                spb->insertString(&run.status(), isc_spb_dbname, HostPath(database).c_str());
                spb->insertString(&run.status(), isc_spb_bkp_file, "stdout");
            });
            bool told = false;
            for (;;) {
                if (cancel) {
                    return Cancelled();
                }
                const Reply reply = run.Exchange(isc_info_svc_to_eof, false, std::nullopt);
                // Firebird's backup begins its transaction before it writes anything.
                if (!told && !reply.bytes.empty() && begun) {
                    told = true;
                    begun();
                }
                if (!out.Append(reply.bytes)) {
                    return ServiceOutcome{false,
                                          "cannot write " + file.string() + ": " + std::strerror(errno)};
                }
                if (!reply.more) {
                    break;
                }
            }
            if (!out.Commit()) {
                return ServiceOutcome{false, "cannot write " + file.string()};
            }
            return ServiceOutcome{true, {}};
        },
        Failed);
}

ServiceOutcome RestoreDatabase(const std::filesystem::path& file, const ConnectionSettings& target,
                               const CancelFlag& cancel, std::chrono::milliseconds deadline) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return ServiceOutcome{false, "cannot read " + file.string()};
    }
    // Firebird itself refuses a database that exists (isc_spb_res_create). What a failed run leaves
    // is removed only where nothing was before.
    const bool nothingBefore = ProbeDatabase(target).state == DatabaseState::Missing;
    // A cancel ends the file the service reads; the run goes on until the service has ended, so that
    // it no longer holds the database begun when that is removed. Only a service that stops
    // answering is left alone.
    const CancelFlag windingDown{false};
    // Streamed even to the embedded engine: given a local file by name, it restores a file cut short
    // as far as it goes and ends without an error (only printing "Backup incomplete").
    ServiceOutcome outcome = RunService(
        target, windingDown, deadline,
        [&](ServiceRun& run) {
            run.Start([&](IXpbBuilder* spb) {
                spb->insertTag(&run.status(), isc_action_svc_restore);
                spb->insertString(&run.status(), isc_spb_bkp_file, "stdin");
                spb->insertString(&run.status(), isc_spb_dbname, HostPath(target).c_str());
                spb->insertInt(&run.status(), isc_spb_options, isc_spb_res_create);
            });
            std::optional<std::string> input;
            for (;;) {
                const Reply reply = run.Exchange(isc_info_svc_to_eof, true, input);
                input.reset();
                if (reply.stdinWanted > 0) {
                    // The 16-bit length of the item bounds what one exchange carries; an empty one
                    // tells the service the file has ended.
                    std::string chunk(cancel ? 0 : std::min(reply.stdinWanted, kReplySize - 16), '\0');
                    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
                    chunk.resize(static_cast<std::size_t>(in.gcount()));
                    input = std::move(chunk);
                }
                if (!reply.more) {
                    break;
                }
            }
            return cancel ? Cancelled() : ServiceOutcome{true, {}};
        },
        Failed);
    if (cancel) {
        outcome = Cancelled();
    }
    if (!outcome.done && nothingBefore && !DropDatabase(target) &&
        ProbeDatabase(target).state != DatabaseState::Missing) {
        outcome.leftBehind = HostPath(target);
    }
    return outcome;
}

ValidationReport ValidateDatabase(const ConnectionSettings& database, const CancelFlag& cancel,
                                  std::chrono::milliseconds deadline) {
    ValidationReport report = RunService(
        database, cancel, deadline,
        [&](ServiceRun& run) {
            run.Start([&](IXpbBuilder* spb) {
                spb->insertTag(&run.status(), isc_action_svc_validate);
                spb->insertString(&run.status(), isc_spb_dbname, HostPath(database).c_str());
                spb->insertInt(&run.status(), isc_spb_val_lock_timeout, kValidationLockSeconds);
            });
            std::string words;
            for (;;) {
                if (cancel) {
                    return ValidationReport{Soundness::Unknown, "cancelled", {}};
                }
                const Reply reply = run.Exchange(isc_info_svc_to_eof, false, std::nullopt);
                words += reply.bytes;
                if (!reply.more) {
                    break;
                }
            }
            return JudgeValidation(std::move(words));
        },
        [](FailureKind kind, std::string words) {
            return ValidationReport{
                kind == FailureKind::Damaged ? Soundness::Damaged : Soundness::Unknown, std::move(words), {}};
        });
    return report;
}
