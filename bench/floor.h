#pragma once

#include <QByteArrayView>
#include <QFont>
#include <QStringDecoder>
#include <QStringEncoder>
#include <string>
#include <string_view>

class DirectDatabase;

// What the floors share: Qt's own code-page converters, the board's font, the table look-up.

QStringDecoder Cp932Decoder();
QStringEncoder Cp932Encoder();
inline QByteArrayView Bytes(std::string_view text) {
    return QByteArrayView(text.data(), text.size());
}

// The font the program's windows are designed in.
QFont FloorFont();

// The user table `name` exists: the one catalogue query the program sends for it.
bool HasTable(DirectDatabase& database, std::string_view name);

// A text value as the floors write it: NULL when empty, else quoted. The generated data holds no
// quotes, so nothing needs doubling.
std::string Literal(std::string_view text);
