#include "dialogs/entry_checks.h"

#include <QLineEdit>

#include "platform/codec.h"
#include "platform/prompts.h"

QString QuoteMessage() {
    return QStringLiteral("引用符「'」「\"」を入力しないで下さい");
}

bool HasQuote(const QString& text) {
    return text.contains(QLatin1Char('\'')) || text.contains(QLatin1Char('"'));
}

void RefuseEntry(Prompts& prompts, QLineEdit* edit, const QString& message) {
    prompts.Message(edit->window(), message);
    edit->setFocus();
}

std::optional<std::vector<std::string>> EntryBytes(Prompts& prompts, const std::vector<Entry>& entries) {
    std::vector<std::string> texts;
    for (const Entry& entry : entries) {
        std::optional<std::string> bytes = ToCp932(entry.text);
        if (!bytes) {
            RefuseEntry(prompts, entry.edit,
                        QStringLiteral("使用できない文字が含まれています。入力し直して下さい。"));
            return std::nullopt;
        }
        texts.push_back(std::move(*bytes));
    }
    return texts;
}
