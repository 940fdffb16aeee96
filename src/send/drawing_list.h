#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The list of the drawings sent, as the recipient reads it beside them. Every text is UTF-8.
struct DrawingListRow {
    std::int64_t number = 0;  // the registration's No
    std::string name;         // the package's name of the copy, or the stored name of a missing file
    std::string folder;       // the folder as stored
    std::int64_t size = 0;
    std::string modified;  // "yyyy/MM/dd hh:mm:ss", local time
    std::string sha256;    // of the copy
    bool missing = false;  // listed as "<No File>"
};

struct DrawingList {
    std::string groupName, title, subtitle, author;
    std::vector<std::string> memos;  // the three lines
    std::string sender;              // the program's user name
    std::string date;                // "yyyy/MM/dd"
    std::string note;                // to the recipient; may be empty
    std::vector<DrawingListRow> rows;

    int Sent() const;
    int Missing() const;
    std::int64_t Bytes() const;
};

// The list's caption lines above the table, as label and text (texts may be empty), in order.
std::vector<std::pair<std::string, std::string>> ListHeading(const DrawingList& list);
// The table's column titles, and one row's cells in their order.
std::vector<std::string> ListColumns();
std::vector<std::string> ListCells(const DrawingListRow& row);
// "合計 n 件 ..." below the table.
std::string ListTotals(const DrawingList& list);

enum class CsvEncoding { Utf8WithBom, Cp932 };

// The list as CSV (CR LF, fields quoted where they need it): UTF-8 with a byte order mark, as the
// spreadsheet programs of Japanese desktops read it, or CP932; nothing when a text has a character
// CP932 cannot hold.
std::optional<std::string> CsvOfList(const DrawingList& list, CsvEncoding encoding);

// A time as the list shows it, local time: "yyyy/MM/dd hh:mm:ss", or "yyyy/MM/dd" for a date.
std::string LocalTimeText(std::int64_t secondsSince1970, bool withTime = true);
// Byte counts with thousands separated: "1,234,567".
std::string GroupedNumber(std::int64_t value);
