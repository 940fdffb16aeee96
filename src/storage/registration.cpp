#include "storage/registration.h"

#include "common/sql_literal.h"

std::string TextEquals(const std::string& column, const std::string& text) {
    return text.empty() ? column + " IS NULL" : column + " = " + SqlText(text);
}

std::string SameFile(const std::string& fileName, const std::string& folder) {
    return TextEquals("FILE_NAME", fileName) + " AND " + TextEquals("PATH_NAME", folder);
}

std::string SameRegistration(std::int64_t number, const std::string& fileName, const std::string& folder) {
    return "N=" + SqlNumber(number) + " AND " + SameFile(fileName, folder);
}
