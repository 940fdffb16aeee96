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
        const int length = Cp932Length(input);
        if (length < 0) {
            lastRefusal_ = Refusal::Unrepresentable;
            return Invalid;
        }
        // A longer text put in by the program can still be shortened by typing.
        if (length > maxBytes_ && length > Cp932Length(edit_->text())) {
            lastRefusal_ = Refusal::TooLong;
            return Invalid;
        }
        return Acceptable;
    }

    QString RefusalText() const {
        return lastRefusal_ == Refusal::Unrepresentable ? QStringLiteral("この文字は使用できません")
                                                        : QStringLiteral("これ以上入力できません");
    }

private:
    enum class Refusal { TooLong, Unrepresentable };
    QLineEdit* edit_;
    int maxBytes_;
    mutable Refusal lastRefusal_ = Refusal::TooLong;
};

}  // namespace

void LimitCp932Bytes(QLineEdit* edit, int maxBytes) {
    auto* validator = new Cp932Validator(maxBytes, edit);
    edit->setValidator(validator);
    QObject::connect(edit, &QLineEdit::inputRejected, edit, [edit, validator] {
        QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), validator->RefusalText(), edit);
    });
}
