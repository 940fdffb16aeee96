#include "platform/codec.h"

#include "common/codepage.h"

QString FromCp932(std::string_view cp932) {
    QString text(static_cast<qsizetype>(cp932.size()), Qt::Uninitialized);
    text.truncate(static_cast<qsizetype>(Utf16FromCp932(cp932, reinterpret_cast<char16_t*>(text.data()))));
    return text;
}

std::optional<std::string> ToCp932(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Cp932FromUtf8(std::string_view(utf8.constData(), utf8.size()));
}

int Cp932Length(const QString& text) {
    const std::optional<std::string> bytes = ToCp932(text);
    return bytes ? static_cast<int>(bytes->size()) : -1;
}
