#include "dialogs/database_settings_dialog.h"

#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

#include "common/folder_mapping.h"
#include "dialogs/database_name_rules.h"
#include "dialogs/dialog_window.h"
#include "dialogs/entry_checks.h"
#include "platform/app_context.h"
#include "platform/byte_limit.h"
#include "platform/codec.h"
#include "platform/firebird_reason.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/window_showing.h"
#include "storage/database.h"

namespace {

constexpr int kUserNameBytes = 16;
// The three database entries have no length limit; only characters the code page lacks are refused.
constexpr int kUnlimited = std::numeric_limits<int>::max();

QString DataFolderHint() {
    return QStringLiteral(
               "データベースファイルを作成するサーバー上のフォルダ名を入力して下さい。最後は必ず「") +
           FolderSeparator() + QStringLiteral("」で終わって下さい。例：「") + DataFolderExample() +
           QStringLiteral("」");
}

}  // namespace

TForm2::TForm2(AppContext& context, Database& database, QWidget* parent)
    : QDialog(parent), context_(context), database_(database) {
    SetUpDialogWindow(*this, QStringLiteral("データベース設定"), QSize(251, 257));

    AddLabel(this, "Label1", QStringLiteral("サーバー名（IPアドレス＋':'"), QPoint(12, 8));
    AddLabel(this, "Label5", QStringLiteral("　又は、'localhost:'）"), QPoint(12, 24));
    Edit1 = AddEdit(this, "Edit1", QRect(12, 41, 227, 21));
    Edit1->setToolTip(
        QStringLiteral("1台で運用する場合は「localhost:」、サーバーの場合はそのIPアドレス＋':'"
                       "（例：「192.168.0.0:」等）を入力して下さい。"));
    // What a new user most needs to know: an empty server name opens the file itself.
    AddLabel(this, "Label6", QStringLiteral("空欄：このコンピューターで直接開く"), QPoint(12, 64));
    AddLabel(this, "Label2", QStringLiteral("サーバーのデータのフォルダ"), QPoint(12, 86));
    Edit2 = AddEdit(this, "Edit2", QRect(12, 102, 156, 21));
    Edit2->setToolTip(DataFolderHint());
    Button3 = AddButton(this, "Button3", QStringLiteral("参照(&B)..."), QRect(172, 101, 67, 23));
    AddLabel(this, "Label3", QStringLiteral("データベース名"), QPoint(12, 131));
    Edit3 = AddEdit(this, "Edit3", QRect(12, 147, 227, 21));
    Edit3->setToolTip(
        QStringLiteral("データベース名（ファイル名）を入力して下さい。拡張子は「.FDB」となります。"
                       "フォルダ名は入力しないで下さい。"));

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 179, 235, 2);

    AddLabel(this, "Label4", QStringLiteral("利用者名"), QPoint(12, 196));
    Edit4 = AddEdit(this, "Edit4", QRect(72, 192, 167, 21));

    Button1 = AddButton(this, "Button1", QStringLiteral("OK(&Y)"), QRect(34, 223, 86, 26));
    Button2 = AddButton(this, "Button2", QStringLiteral("キャンセル(&N)"), QRect(131, 223, 86, 26));
    Button1->setDefault(true);

    LimitCp932Bytes(Edit1, kUnlimited);
    LimitCp932Bytes(Edit2, kUnlimited);
    LimitCp932Bytes(Edit3, kUnlimited);
    LimitCp932Bytes(Edit4, kUserNameBytes);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button3);
    setTabOrder(Button3, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, Button1);
    setTabOrder(Button1, Button2);

    OnEveryShowing(*this, [this] { FormShow(); });
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    // Cancel; Esc and the close box do the same through QDialog.
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm2::FormShow() {
    const ConnectionSettings& settings = context_.settings;
    Edit1->setText(FromCp932(settings.serverPrefix));
    Edit2->setText(FromCp932(settings.dataFolder));
    Edit3->setText(FromCp932(settings.databaseName));
    Edit4->setText(FromCp932(settings.userName));
    Edit1->setFocus();
}

void TForm2::Button3Click() {
    const QString folder = context_.prompts->ChooseFolder(this, QStringLiteral("データのフォルダの選択"));
    if (!folder.isEmpty()) {
        QString native = QDir::toNativeSeparators(folder);
        if (!native.endsWith(FolderSeparator())) {
            native += FolderSeparator();
        }
        Edit2->setText(native);
        Edit2->setFocus();
    }
}

void TForm2::Button1Click() {
    Prompts& prompts = *context_.prompts;
    if (IsBlankEntry(Edit2->text())) {
        RefuseEntry(prompts, Edit2, QStringLiteral("サーバーのデータのフォルダを入力して下さい"));
        return;
    }
    if (IsBlankEntry(Edit3->text())) {
        RefuseEntry(prompts, Edit3, QStringLiteral("データベース名を入力して下さい"));
        return;
    }
    if (HasQuote(Edit4->text())) {
        RefuseEntry(prompts, Edit4, QuoteMessage());
        return;
    }
    // All four are converted before any is copied, so a refusal leaves the settings as they were.
    const std::optional<std::vector<std::string>> entered =
        EntryBytes(prompts, {{Edit1, Edit1->text()},
                             {Edit2, Edit2->text()},
                             {Edit3, DatabaseFileName(Edit3->text())},
                             {Edit4, Edit4->text()}});
    if (!entered) {
        return;
    }
    // A folder typed without its separator would join the database name into a name of its own.
    context_.settings =
        ConnectionSettings{(*entered)[0], WithFinalSeparator((*entered)[1]), (*entered)[2], (*entered)[3]};

    // Creating fails silently when the database exists already; attaching then proves the path.
    database_.CreateDatabase();
    database_.ConnectDatabase();
    const bool attached = database_.Attached();
    const std::string reason = database_.LastError();
    database_.DisconnectDatabase();
    if (attached) {
        accept();
        return;
    }
    RefuseEntry(prompts, Edit1,
                WithFirebirdReason(
                    QStringLiteral("データベースが作成・接続出来ません。設定を確認して下さい。"), reason));
}
