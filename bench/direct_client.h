#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Firebird {
class IAttachment;
class IMaster;
class ITransaction;
}  // namespace Firebird

// The least a program must do to run a statement on Firebird: the object API used straight, one
// transaction per statement, rows read in place from the fetch buffer. The benchmarks' floors run
// the program's statements through it, so that what the program spends beyond it shows.
// Every failure ends the benchmark: a floor that silently did less would flatter the program.
class DirectDatabase {
public:
    // One row of an open cursor, valid only inside the row callback.
    class Row {
    public:
        bool IsNull(unsigned column) const;
        std::int32_t Int(unsigned column) const;
        // CHAR or VARCHAR bytes as stored (CHAR keeps its padding).
        std::string_view Text(unsigned column) const;

    private:
        friend class DirectDatabase;
        struct Column {
            unsigned type, offset, nullOffset, length;
        };
        const unsigned char* buffer_ = nullptr;
        const std::vector<Column>* columns_ = nullptr;
    };
    using RowVisitor = std::function<void(const Row& row)>;

    // Attaches to the database at `path`, or creates it there first.
    enum class Open { Attach, Create };
    DirectDatabase(const std::string& path, Open open);
    ~DirectDatabase();
    DirectDatabase(const DirectDatabase&) = delete;
    DirectDatabase& operator=(const DirectDatabase&) = delete;

    // One statement in a transaction of its own, committed.
    void Execute(std::string_view text);
    // One query in a transaction of its own; every row goes to `visit`. Answers the row count.
    int Query(std::string_view text, const RowVisitor& visit = {});

    // Many statements in one transaction: only for generating data.
    void ExecuteAll(const std::vector<std::string>& texts);

private:
    Firebird::ITransaction* Start();
    void RunIn(Firebird::ITransaction* transaction, std::string_view text);

    Firebird::IMaster* master_;
    Firebird::IAttachment* attachment_ = nullptr;
};
