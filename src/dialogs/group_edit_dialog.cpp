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
    // A group that is not found (or a failed read) leaves every field empty, the number included.
    GroupRecord record;
    database_.OpenSelect("*", kGroupTable, "N=" + SqlNumber(GroupNo), "");
    database_.ReadFirstRow(record);
    database_.CloseResult();
    panel_.ShowRecord(record);
    LoadedX = record[kGroupX];
    LoadedY = record[kGroupY];
    panel_.Edit2->setFocus();
}

void TForm5::Button1Click() {
    const std::int32_t number = ParseIntOrZero(panel_.Edit1->text().toStdString());
    const std::optional<std::vector<std::string>> texts = panel_.CheckedTexts();
    if (!texts) {
        return;
    }
    // Without a row loaded, or with the row deleted meanwhile by another desktop, there is nothing to
    // update; an UPDATE that matches no row would still report success.
    if (number == 0 || GroupDeleted(database_, number) ||
        !database_.UpdateColumns(
            kGroupTable, GroupColumnNames(),
            GroupRowValues(number, *texts, IntegerLiteral(LoadedX), IntegerLiteral(LoadedY)),
            "N=" + SqlNumber(number))) {
        context_.prompts->Message(this, QStringLiteral("編集登録失敗"));
        return;
    }
    context_.prompts->Message(this, QStringLiteral("編集登録OK"));
    GroupNo = number;
    Registered = true;
    accept();
}
