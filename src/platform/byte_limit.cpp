#include "platform/byte_limit.h"

#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

#include "platform/codec.h"

namespace {

class Cp932Validator : public QValidator {
public:
    Cp932Validator(int maxBytes, QLineEdit* edit) : QValidator(edit), edit_(edit), maxBytes_(maxBytes) {}

    State validate(QString& input, int&) const override {
        // While validating, the edit already holds `input`. A text the program put in (setText, which
        // clears the undo history) is taken as it is; what the user types is always undoable.
        if (!edit_->isUndoAvailable()) {
            return Acceptable;
        }
        const int length = Cp932Length(input);
        const int lengthBefore = Cp932Length(before_);
        if (length < 0) {
            // A damaged text the program put in can still be edited and mended.
            if (lengthBefore < 0) {
                return Acceptable;
            }
            lastRefusal_ = Refusal::Unrepresentable;
            return Invalid;
        }
        // A longer text put in by the program can still be shortened by typing.
        if (length > maxBytes_ && length > lengthBefore) {
            lastRefusal_ = Refusal::TooLong;
            return Invalid;
        }
        return Acceptable;
    }

    QString RefusalText() const {
        return lastRefusal_ == Refusal::Unrepresentable ? QStringLiteral("この文字は使用できません")
                                                        : QStringLiteral("これ以上入力できません");
    }

    // The text before the change being validated.
    void Remember(const QString& text) { before_ = text; }

private:
    enum class Refusal { TooLong, Unrepresentable };
    QLineEdit* edit_;
    QString before_;
    int maxBytes_;
    mutable Refusal lastRefusal_ = Refusal::TooLong;
};

}  // namespace

void LimitCp932Bytes(QLineEdit* edit, int maxBytes) {
    auto* validator = new Cp932Validator(maxBytes, edit);
    edit->setValidator(validator);
    validator->Remember(edit->text());
    QObject::connect(edit, &QLineEdit::textChanged, validator, &Cp932Validator::Remember);
    QObject::connect(edit, &QLineEdit::inputRejected, edit, [edit, validator] {
        QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), validator->RefusalText(), edit);
    });
}
