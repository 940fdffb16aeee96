#include "storage/fetched_rows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/trimmed.h"
#include "storage/statement_run.h"

using namespace Firebird;

namespace {

// Longest text of a non-text column (numbers, dates) once the server has converted it.
constexpr unsigned kConvertedLength = 64;

// What a fetch made, let go of however it ends.
struct FetchHandles {
    IStatement* statement = nullptr;
    IMessageMetadata* described = nullptr;
    IMetadataBuilder* builder = nullptr;
    IMessageMetadata* converted = nullptr;
    IResultSet* cursor = nullptr;

    ~FetchHandles() {
        if (cursor) {
            cursor->release();
        }
        if (converted) {
            converted->release();
        }
        if (builder) {
            builder->release();
        }
        if (described) {
            described->release();
        }
        if (statement) {
            statement->release();
        }
    }
};

// Keeps one fetched row of VARCHAR columns.
void KeepRow(FetchedRows& rows, const std::vector<unsigned char>& buffer,
             const std::vector<std::pair<unsigned, unsigned>>& offsets) {
    for (const auto& [offset, nullOffset] : offsets) {
        std::int16_t isNull;
        std::memcpy(&isNull, buffer.data() + nullOffset, sizeof isNull);
        std::uint16_t length = 0;
        if (!isNull) {
            std::memcpy(&length, buffer.data() + offset, sizeof length);
        }
        rows.cells.emplace_back(rows.texts.size(), length);
        rows.texts.append(reinterpret_cast<const char*>(buffer.data() + offset + 2), length);
    }
}

// Every column asked for as VARCHAR: the server converts numbers to their decimal text and passes
// text columns through as the bytes stored.
IMessageMetadata* AsTexts(FetchHandles& made, unsigned columns, CallStatus& status) {
    made.builder = made.described->getBuilder(&status);
    for (unsigned i = 0; i < columns; ++i) {
        const unsigned type = made.described->getType(&status, i) & ~1u;
        const bool isText = type == SQL_TEXT || type == SQL_VARYING;
        made.builder->setType(&status, i, SQL_VARYING + 1);
        made.builder->setLength(&status, i,
                                isText ? made.described->getLength(&status, i) : kConvertedLength);
        if (!isText) {
            made.builder->setCharSet(&status, i, 0);
        }
        made.builder->setScale(&status, i, 0);
    }
    made.converted = made.builder->getMetadata(&status);
    return made.converted;
}

}  // namespace

void FetchedRows::FillRow(std::span<std::string> row) const {
    for (std::size_t i = 0; i < names.size() && i < row.size(); ++i) {
        row[i] = Text(cursor, i);
    }
}

void FetchedRows::EmptyRow(std::span<std::string> row) const {
    for (std::size_t i = 0; i < names.size() && i < row.size(); ++i) {
        row[i].clear();
    }
}

FetchedRows FetchRows(IAttachment* attachment, ITransaction* transaction, const std::string& text, Keep keep,
                      CallStatus& status) {
    FetchHandles made;
    made.statement = attachment->prepare(&status, transaction, static_cast<unsigned>(text.size()),
                                         text.c_str(), kSqlDialect, IStatement::PREPARE_PREFETCH_METADATA);
    made.described = made.statement->getOutputMetadata(&status);
    const unsigned columns = made.described->getCount(&status);
    FetchedRows rows;
    for (unsigned i = 0; i < columns; ++i) {
        rows.names.emplace_back(TrimmedRight(made.described->getAlias(&status, i)));
    }
    const bool keepValues = keep == Keep::Rows || keep == Keep::FirstRow;
    IMessageMetadata* message = keepValues ? AsTexts(made, columns, status) : made.described;
    made.cursor = made.statement->openCursor(&status, transaction, nullptr, nullptr, message, 0);
    std::vector<unsigned char> buffer(message->getMessageLength(&status));
    std::vector<std::pair<unsigned, unsigned>> offsets;
    for (unsigned i = 0; keepValues && i < columns; ++i) {
        offsets.emplace_back(message->getOffset(&status, i), message->getNullOffset(&status, i));
    }
    while (keep != Keep::ColumnNames &&
           made.cursor->fetchNext(&status, buffer.data()) == IStatus::RESULT_OK) {
        ++rows.count;
        if (!keepValues) {
            continue;
        }
        KeepRow(rows, buffer, offsets);
        if (keep == Keep::FirstRow) {
            break;
        }
    }
    made.cursor->close(&status);
    made.cursor = nullptr;
    return rows;
}
