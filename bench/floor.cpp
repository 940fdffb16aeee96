#include "floor.h"

#include <QStringList>

#include "direct_client.h"

QStringDecoder Cp932Decoder() {
    return QStringDecoder("windows-31j");
}

QStringEncoder Cp932Encoder() {
    return QStringEncoder("windows-31j");
}

QFont FloorFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(13);
    return font;
}

bool HasTable(DirectDatabase& database, std::string_view name) {
    bool found = false;
    database.Query(
        "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$VIEW_BLR IS NULL AND RDB$SYSTEM_FLAG = 0 "
        "ORDER BY RDB$RELATION_NAME",
        [&](const DirectDatabase::Row& row) {
            std::string_view table = row.Text(0);
            table = table.substr(0, table.find_last_not_of(' ') + 1);
            found = found || table == name;
        });
    return found;
}

std::string Literal(std::string_view text) {
    if (text.empty()) {
        return "NULL";
    }
    std::string quoted(1, '\'');
    quoted.append(text).push_back('\'');
    return quoted;
}
