#include "send/drawing_list.h"

#include <ctime>

#include "common/codepage.h"

int DrawingList::Sent() const {
    return static_cast<int>(rows.size()) - Missing();
}

int DrawingList::Missing() const {
    int missing = 0;
    for (const DrawingListRow& row : rows) {
        missing += row.missing ? 1 : 0;
    }
    return missing;
}

std::int64_t DrawingList::Bytes() const {
    std::int64_t bytes = 0;
    for (const DrawingListRow& row : rows) {
        bytes += row.size;
    }
    return bytes;
}

std::vector<std::pair<std::string, std::string>> ListHeading(const DrawingList& list) {
    std::vector<std::pair<std::string, std::string>> lines{{"グループ名", list.groupName},
                                                           {"表題", list.title},
                                                           {"副題", list.subtitle},
                                                           {"作成者名", list.author}};
    for (const std::string& memo : list.memos) {
        lines.emplace_back("メモ", memo);
    }
    lines.emplace_back("送付者", list.sender);
    lines.emplace_back("送付日", list.date);
    lines.emplace_back("備考", list.note);
    return lines;
}

std::vector<std::string> ListColumns() {
    return {"No", "ファイル名", "フォルダ名", "サイズ", "更新日時", "SHA-256"};
}

std::vector<std::string> ListCells(const DrawingListRow& row) {
    if (row.missing) {
        return {std::to_string(row.number), row.name, row.folder, "", "<No File>", ""};
    }
    return {std::to_string(row.number), row.name,     row.folder,
            std::to_string(row.size),   row.modified, row.sha256};
}

std::string ListTotals(const DrawingList& list) {
    return "合計 " + std::to_string(list.Sent()) + " 件 " + GroupedNumber(list.Bytes()) +
           " バイト（見つからないファイル " + std::to_string(list.Missing()) + " 件）";
}

namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i > 0 ? "," : "") + CsvField(fields[i]);
    }
    return line + "\r\n";
}

}  // namespace

std::optional<std::string> CsvOfList(const DrawingList& list, CsvEncoding encoding) {
    std::string csv;
    for (const auto& [label, text] : ListHeading(list)) {
        csv += CsvLine({label, text});
    }
    csv += "\r\n" + CsvLine(ListColumns());
    for (const DrawingListRow& row : list.rows) {
        csv += CsvLine(ListCells(row));
    }
    csv += "\r\n" + CsvLine({ListTotals(list)});
    if (encoding == CsvEncoding::Utf8WithBom) {
        return "\xEF\xBB\xBF" + csv;
    }
    return Cp932FromUtf8(csv);
}

std::string LocalTimeText(std::int64_t secondsSince1970, bool withTime) {
    const time_t time = static_cast<time_t>(secondsSince1970);
    struct tm local {};
    char text[32] = "";
    if (localtime_r(&time, &local) != nullptr) {
        std::strftime(text, sizeof text, withTime ? "%Y/%m/%d %H:%M:%S" : "%Y/%m/%d", &local);
    }
    return text;
}

std::string GroupedNumber(std::int64_t value) {
    const std::string digits = std::to_string(value);
    const std::size_t sign = value < 0 ? 1 : 0;
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > sign && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}
