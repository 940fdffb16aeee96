#pragma once

#include <firebird/Interface.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/call_status.h"

// A fetched result: its column names, its number of rows and, where kept, the texts of its rows one
// after another in a single buffer. A NULL is kept as an empty text, which is how it reads.
struct FetchedRows {
    std::vector<std::string> names;
    std::size_t count = 0;
    std::string texts;
    std::vector<std::pair<std::size_t, std::size_t>> cells;  // offset and length, row by row
    std::size_t cursor = 0;

    std::size_t KeptRows() const { return names.empty() ? 0 : cells.size() / names.size(); }
    std::string_view Text(std::size_t row, std::size_t column) const {
        const auto [offset, length] = cells[row * names.size() + column];
        return std::string_view(texts).substr(offset, length);
    }
    // The caller's entries of the row under the cursor, as far as both reach.
    void FillRow(std::span<std::string> row) const;
    void EmptyRow(std::span<std::string> row) const;
};

// What a reading statement needs of its result. Only what is kept is converted and stored.
enum class Keep { Rows, FirstRow, RowCount, ColumnNames };

// Runs the reading statement `text` in `transaction` and keeps what `keep` asks for of its result:
// every row as texts, the first row only, only the number of rows, or only the column names. Throws
// Firebird's exception when a call fails.
FetchedRows FetchRows(Firebird::IAttachment* attachment, Firebird::ITransaction* transaction,
                      const std::string& text, Keep keep, CallStatus& status);
