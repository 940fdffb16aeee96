#include "storage/statement_run.h"

using namespace Firebird;

namespace {

// The transaction's own number, which the rows it writes carry as their record version; 0 when the
// server does not say.
std::int64_t TransactionNumber(ITransaction* transaction, CallStatus& status) {
    const unsigned char items[] = {isc_info_tra_id};
    unsigned char answer[32] = {};
    transaction->getInfo(&status, sizeof items, items, sizeof answer, answer);
    if (answer[0] != isc_info_tra_id) {
        return 0;
    }
    const unsigned length = answer[1] | answer[2] << 8;
    std::int64_t number = 0;
    for (unsigned i = 0; i < length && i < 8 && 3 + i < sizeof answer; ++i) {
        number |= std::int64_t{answer[3 + i]} << (8 * i);
    }
    return number;
}

}  // namespace

long long RunStatement(IAttachment* attachment, ITransaction* transaction, const std::string& text,
                       bool counted, CallStatus& status) {
    if (!counted) {
        attachment->execute(&status, transaction, static_cast<unsigned>(text.size()), text.c_str(),
                            kSqlDialect, nullptr, nullptr, nullptr, nullptr);
        return 0;
    }
    IStatement* statement = attachment->prepare(&status, transaction, static_cast<unsigned>(text.size()),
                                                text.c_str(), kSqlDialect, 0);
    try {
        statement->execute(&status, transaction, nullptr, nullptr, nullptr, nullptr);
        const long long changed = static_cast<long long>(statement->getAffectedRecords(&status));
        statement->free(&status);
        return changed;
    } catch (...) {
        statement->release();
        throw;
    }
}

Database::OwnWrite DetailedOwnWrite(const WriteStatement& write, long long changed, ITransaction* transaction,
                                    CallStatus& status) {
    Database::OwnWrite own{std::string(write.table), TransactionNumber(transaction, status), 0, false};
    own.rowsAdded = write.effect == RowEffect::AddsOne   ? 1
                    : write.effect == RowEffect::Removes ? -changed
                                                         : 0;
    own.known = own.transaction != 0 && write.effect != RowEffect::Unknown;
    return own;
}
