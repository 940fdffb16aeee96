#include "dialogs/group_edit_dialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "common/number.h"
#include "common/sql_literal.h"
#include "dialogs/dialog_window.h"
#include "dialogs/group_row.h"
#include "platform/app_context.h"
#include "platform/prompts.h"
#include "platform/window_showing.h"
#include "storage/database.h"
#include "storage/group_presence.h"
#include "storage/registration.h"
#include "storage/schema.h"

TForm5::TForm5(AppContext& context, Database& database, QWidget* parent)
    : QDialog(parent),
      context_(context),
      database_(database),
      panel_(*this, context, QStringLiteral("グループ編集"), QStringLiteral("編集登録(&S)")) {
    OnEveryShowing(*this, [this] { FormShow(); });
    connect(panel_.Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
}

void TForm5::FormShow() {
    Registered = false;
    ChangedElsewhere = false;
    // A group that is not found (or a failed read) leaves every field empty, the number included.
    loaded_ = GroupRecord();
    database_.OpenSelect("*", kGroupTable, "N=" + SqlNumber(GroupNo), "");
    database_.ReadFirstRow(loaded_);
    database_.CloseResult();
    panel_.ShowRecord(loaded_);
    LoadedX = loaded_[kGroupX];
    LoadedY = loaded_[kGroupY];
    panel_.Edit2->setFocus();
}

void TForm5::Button1Click() {
    const std::int32_t number = ParseIntOrZero(panel_.Edit1->text().toStdString());
    const std::optional<std::vector<std::string>> texts = panel_.CheckedTexts();
    if (!texts) {
        return;
    }
    // Only the row as it was read is written over; without a row loaded there is nothing to update.
    const long long updated =
        number == 0 ? -1
                    : database_.UpdateColumnsChanged(
                          kGroupTable, GroupColumnNames(),
                          GroupRowValues(number, *texts, IntegerLiteral(LoadedX), IntegerLiteral(LoadedY)),
                          SameGroupRow(loaded_));
    if (updated == 0 && !GroupDeleted(database_, number)) {
        FormShow();
        ChangedElsewhere = true;
        context_.prompts->Message(
            this,
            QStringLiteral(
                "他のコンピューターで変更されたため、編集登録しませんでした。最新の内容を表示しました。"));
        return;
    }
    if (updated != 1) {
        context_.prompts->Message(this, QStringLiteral("編集登録失敗"));
        return;
    }
    context_.prompts->Message(this, QStringLiteral("編集登録OK"));
    GroupNo = number;
    Registered = true;
    accept();
}
