#include "storage/schema.h"

#include "storage/database.h"

const std::array<std::string, 11>& GroupColumnNames() {
    static const std::array<std::string, 11> names{"N",     "GRPNAME", "MTITLE", "STITLE", "PNAME", "MEMO1",
                                                   "MEMO2", "MEMO3",   "ICONP",  "X",      "Y"};
    return names;
}

const std::array<std::string, 3>& FileColumnNames() {
    static const std::array<std::string, 3> names{"N", "FILE_NAME", "PATH_NAME"};
    return names;
}

std::string FileTableName(std::int64_t groupNumber) {
    return "GRP_" + std::to_string(groupNumber);
}

bool CreateGroupTable(Database& database) {
    return database.ExecuteScript(
        {"CREATE TABLE GRPQRT (", "  N INTEGER NOT NULL UNIQUE,", "  GRPNAME VARCHAR(32),",
         "  MTITLE  VARCHAR(80),", "  STITLE  VARCHAR(80),", "  PNAME   VARCHAR(16),",
         "  MEMO1   VARCHAR(80),", "  MEMO2   VARCHAR(80),", "  MEMO3   VARCHAR(80),",
         "  ICONP   VARCHAR(40),", "  X INTEGER,", "  Y INTEGER", "  );"});
}

bool CreateFileTable(Database& database, std::string_view name) {
    return database.ExecuteScript({"CREATE TABLE " + std::string(name) + " (", "  N INTEGER NOT NULL UNIQUE,",
                                   "  FILE_NAME VARCHAR(255),", "  PATH_NAME VARCHAR(255)", "  );"});
}
