#include "direct_client.h"

#include <firebird/Interface.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace Firebird;

namespace {

constexpr unsigned kDialect = 3;

[[noreturn]] void Fail(IMaster* master, const FbException& error) {
    char text[1024];
    master->getUtilInterface()->formatStatus(text, sizeof text, error.getStatus());
    std::fprintf(stderr, "direct client: %s\n", text);
    std::abort();
}

// Runs `work` with a throwing status and ends the program on the first error.
template <typename Work>
auto Checked(IMaster* master, Work&& work) {
    ThrowStatusWrapper status(master->getStatus());
    try {
        if constexpr (std::is_void_v<decltype(work(status))>) {
            work(status);
            status.dispose();
        } else {
            auto result = work(status);
            status.dispose();
            return result;
        }
    } catch (const FbException& error) {
        Fail(master, error);
    }
}

}  // namespace

bool DirectDatabase::Row::IsNull(unsigned column) const {
    std::int16_t isNull;
    std::memcpy(&isNull, buffer_ + (*columns_)[column].nullOffset, sizeof isNull);
    return isNull != 0;
}

std::int32_t DirectDatabase::Row::Int(unsigned column) const {
    std::int32_t value;
    std::memcpy(&value, buffer_ + (*columns_)[column].offset, sizeof value);
    return value;
}

std::string_view DirectDatabase::Row::Text(unsigned column) const {
    const Column& c = (*columns_)[column];
    const char* at = reinterpret_cast<const char*>(buffer_ + c.offset);
    if (c.type == SQL_TEXT) {
        return std::string_view(at, c.length);
    }
    std::uint16_t length;
    std::memcpy(&length, at, sizeof length);
    return std::string_view(at + 2, length);
}

DirectDatabase::DirectDatabase(const std::string& path, Open open) : master_(fb_get_master_interface()) {
    Checked(master_, [&](ThrowStatusWrapper& status) {
        IUtil* util = master_->getUtilInterface();
        if (open == Open::Create) {
            const std::string text =
                "CREATE DATABASE '" + path + "' USER 'SYSDBA' PASSWORD 'riverbank' PAGE_SIZE 4096";
            attachment_ = util->executeCreateDatabase(&status, static_cast<unsigned>(text.size()),
                                                      text.c_str(), kDialect, nullptr);
            return;
        }
        IXpbBuilder* dpb = util->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&status, isc_dpb_user_name, "SYSDBA");
        dpb->insertString(&status, isc_dpb_password, "riverbank");
        IProvider* provider = master_->getDispatcher();
        attachment_ = provider->attachDatabase(&status, path.c_str(), dpb->getBufferLength(&status),
                                               dpb->getBuffer(&status));
        provider->release();
        dpb->dispose();
    });
}

DirectDatabase::~DirectDatabase() {
    Checked(master_, [&](ThrowStatusWrapper& status) { attachment_->detach(&status); });
}

ITransaction* DirectDatabase::Start() {
    return Checked(master_, [&](ThrowStatusWrapper& status) {
        return attachment_->startTransaction(&status, 0, nullptr);
    });
}

void DirectDatabase::RunIn(ITransaction* transaction, std::string_view text) {
    Checked(master_, [&](ThrowStatusWrapper& status) {
        attachment_->execute(&status, transaction, static_cast<unsigned>(text.size()), text.data(), kDialect,
                             nullptr, nullptr, nullptr, nullptr);
    });
}

void DirectDatabase::Execute(std::string_view text) {
    ITransaction* transaction = Start();
    RunIn(transaction, text);
    Checked(master_, [&](ThrowStatusWrapper& status) { transaction->commit(&status); });
}

void DirectDatabase::ExecuteAll(const std::vector<std::string>& texts) {
    ITransaction* transaction = Start();
    for (const std::string& text : texts) {
        RunIn(transaction, text);
    }
    Checked(master_, [&](ThrowStatusWrapper& status) { transaction->commit(&status); });
}

int DirectDatabase::Query(std::string_view text, const RowVisitor& visit) {
    ITransaction* transaction = Start();
    const int rows = Checked(master_, [&](ThrowStatusWrapper& status) {
        IStatement* statement =
            attachment_->prepare(&status, transaction, static_cast<unsigned>(text.size()), text.data(),
                                 kDialect, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata* metadata = statement->getOutputMetadata(&status);
        std::vector<Row::Column> columns(metadata->getCount(&status));
        for (unsigned i = 0; i < columns.size(); ++i) {
            columns[i] = {metadata->getType(&status, i) & ~1u, metadata->getOffset(&status, i),
                          metadata->getNullOffset(&status, i), metadata->getLength(&status, i)};
        }
        std::vector<unsigned char> buffer(metadata->getMessageLength(&status));
        IResultSet* cursor = statement->openCursor(&status, transaction, nullptr, nullptr, metadata, 0);
        Row row;
        row.buffer_ = buffer.data();
        row.columns_ = &columns;
        int count = 0;
        while (cursor->fetchNext(&status, buffer.data()) == IStatus::RESULT_OK) {
            ++count;
            if (visit) {
                visit(row);
            }
        }
        cursor->close(&status);
        metadata->release();
        statement->free(&status);
        transaction->commit(&status);
        return count;
    });
    return rows;
}
