#include "dialogs/group_create_dialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "common/sql_literal.h"
#include "dialogs/dialog_window.h"
#include "dialogs/group_row.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/prompts.h"
#include "platform/window_showing.h"
#include "storage/database.h"
#include "storage/group_presence.h"
#include "storage/schema.h"

TForm4::TForm4(AppContext& context, Database& database, QWidget* parent)
    : QDialog(parent),
      context_(context),
      database_(database),
      panel_(*this, context, QStringLiteral("グループ作成"), QStringLiteral("作成(&M)")) {
    OnEveryShowing(*this, [this] { FormShow(); });
    connect(panel_.Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
}

void TForm4::FormShow() {
    Registered = false;
    panel_.Button1->setEnabled(true);
    if (!database_.Attached()) {
        panel_.Button1->setEnabled(false);
        return;
    }
    // While a lost connection is made again the dialog stays usable: creating then says whether it
    // worked, and what was typed is kept for another try.
    if (!database_.TableExists(kGroupTable) && !database_.Lost() && !CreateGroupTable(database_)) {
        panel_.Button1->setEnabled(false);
    }
    ShowProposedNumber();
    panel_.Edit5->setText(FromCp932(context_.settings.userName));
    panel_.Edit2->setFocus();
}

std::optional<std::int32_t> TForm4::ShowProposedNumber() {
    const std::optional<std::int32_t> number = NextGroupNumber(database_.SelectMax(kGroupTable, "N", ""));
    panel_.Edit1->setText(number ? QString::number(*number) : QString());
    return number;
}

void TForm4::Button1Click() {
    // Asked afresh: another client may have added a group since the dialog was shown.
    const std::optional<std::int32_t> number = ShowProposedNumber();
    const std::optional<std::vector<std::string>> texts = panel_.CheckedTexts();
    if (!texts) {
        return;
    }
    const std::string origin = SqlNumber(0);
    if (!number || !database_.InsertRow(kGroupTable, GroupColumnNames(),
                                        GroupRowValues(*number, *texts, origin, origin))) {
        context_.prompts->Message(this, QStringLiteral("登録失敗"));
        return;
    }
    // The number may be one a deleted group had: its file list must not become the new group's.
    EmptyLeftoverFileTable(database_, *number);
    context_.prompts->Message(this, QStringLiteral("登録OK"));
    GroupNo = *number;
    Registered = true;
    accept();
}
