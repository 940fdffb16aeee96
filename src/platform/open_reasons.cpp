#include "platform/open_reasons.h"

#include <QDir>

namespace {

QString Sentence(const char16_t* text, const QString& path, const QString& said) {
    return QString::fromUtf16(text).arg(QDir::toNativeSeparators(path)) +
           (said.isEmpty() ? QString() : QStringLiteral("\n\n") + said);
}

}  // namespace

QString FileNotFoundReason(const QString& path) {
    return Sentence(
        u"「%1」が見つかりません。\nファイルが移動、改名または削除されていないか確認してください。", path,
        {});
}

QString NoOpenerReason(const QString& path) {
    return Sentence(u"「%1」を開けません。\nファイルを開くデスクトップの機能 (xdg-open) がありません。", path,
                    {});
}

QString NoProgramReason(const QString& path, const QString& said) {
    return Sentence(u"「%1」を開けません。\nこの種類のファイルに関連付けられたプログラムがありません。", path,
                    said);
}

QString NotOpenedReason(const QString& path, const QString& said) {
    return Sentence(u"「%1」を開けませんでした。", path, said);
}

QString NoAnswerReason(const QString& path, const QString& root) {
    return QString::fromUtf16(u"「%1」を開けません。\n「%2」が応答しません。")
        .arg(QDir::toNativeSeparators(path), root);
}
