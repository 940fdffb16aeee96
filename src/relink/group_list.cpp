#include "relink/group_list.h"

#include <array>

#include "common/number.h"
#include "storage/database.h"
#include "storage/schema.h"

std::vector<GroupEntry> ReadGroups(Database& database) {
    std::vector<GroupEntry> groups;
    const int count = database.OpenSelect("N,GRPNAME", kGroupTable, "", "N");
    std::array<std::string, 2> row;
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            database.ReadFirstRow(row);
        } else {
            database.ReadNextRow(row);
        }
        if (const int number = ParseIntOrZero(row[0]); number > 0) {
            groups.push_back({number, row[1]});
        }
    }
    database.CloseResult();
    return groups;
}
