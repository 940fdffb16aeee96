#include "storage/registration.h"

#include "common/number.h"
#include "common/sql_literal.h"
#include "storage/schema.h"

std::string TextEquals(const std::string& column, const std::string& text) {
    return text.empty() ? column + " IS NULL" : column + " = " + SqlText(text);
}

std::string SameRegistration(std::int64_t number, const std::string& fileName, const std::string& folder) {
    return "N=" + SqlNumber(number) + " AND " + TextEquals("FILE_NAME", fileName) + " AND " +
           TextEquals("PATH_NAME", folder);
}

std::string SameGroup(const GroupRecord& row) {
    std::string condition = "N=" + SqlNumber(ParseIntOrZero(row[kGroupN]));
    for (int column = kGroupName; column <= kGroupIcon; ++column) {
        condition += " AND " + TextEquals(GroupColumnNames()[column], row[column]);
    }
    return condition;
}

std::string SameGroupRow(const GroupRecord& row) {
    // A position is an integer column: its text compares as the number it reads.
    return SameGroup(row) + " AND " + TextEquals("X", row[kGroupX]) + " AND " + TextEquals("Y", row[kGroupY]);
}
