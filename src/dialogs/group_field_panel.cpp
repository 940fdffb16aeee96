#include "dialogs/group_field_panel.h"

#include <QDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_window.h"
#include "dialogs/entry_checks.h"
#include "dialogs/picture_import.h"
#include "platform/app_context.h"
#include "platform/byte_limit.h"
#include "platform/codec.h"
#include "platform/paths.h"
#include "platform/prompts.h"

namespace {

// Column widths of GRPNAME..ICONP in bytes.
constexpr std::array<int, 8> kTextBytes{32, 80, 80, 16, 80, 80, 80, 40};

constexpr int kEditLeft = 136;
constexpr int kEditRight = 435;
constexpr int kRowHeight = 23;

QRect EditRect(int row, int width = kEditRight - kEditLeft) {
    return QRect(kEditLeft, 8 + row * kRowHeight, width, 21);
}

QPoint LabelPoint(int row) {
    return QPoint(8, 12 + row * kRowHeight);
}

QString PictureFilter() {
    return QStringLiteral(
        "グループアイコン画像 (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|ビットマップ (*.bmp)|*.bmp|"
        "アイコン (*.ico)|*.ico|エンハンス メタファイル (*.emf)|*.emf|メタファイル (*.wmf)|*.wmf");
}

}  // namespace

GroupFieldPanel::GroupFieldPanel(QDialog& dialog, AppContext& context, const QString& caption,
                                 const QString& saveCaption)
    : dialog_(dialog), context_(context) {
    SetUpDialogWindow(dialog, caption, QSize(451, 249));

    Panel1 = new QFrame(&dialog);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(4, 4, 443, 198);
    QPalette grey = Panel1->palette();
    grey.setColor(QPalette::Window, QColor(0xEB, 0xEB, 0xEB));
    Panel1->setPalette(grey);
    Panel1->setAutoFillBackground(true);

    AddLabel(Panel1, "Label1", QStringLiteral("グループ名"), LabelPoint(0));
    Edit2 = AddEdit(Panel1, "Edit2", EditRect(0, 196));
    AddLabel(Panel1, "Label2", QStringLiteral("番号"), QPoint(340, LabelPoint(0).y()));
    Edit1 = AddEdit(Panel1, "Edit1", QRect(368, 8, kEditRight - 368, 21));
    AddLabel(Panel1, "Label3", QStringLiteral("表題"), LabelPoint(1));
    Edit3 = AddEdit(Panel1, "Edit3", EditRect(1));
    AddLabel(Panel1, "Label4", QStringLiteral("副題"), LabelPoint(2));
    Edit4 = AddEdit(Panel1, "Edit4", EditRect(2));
    AddLabel(Panel1, "Label5", QStringLiteral("作成者名"), LabelPoint(3));
    Edit5 = AddEdit(Panel1, "Edit5", EditRect(3, 110));
    AddLabel(Panel1, "Label6", QStringLiteral("メモ"), LabelPoint(4));
    Edit6 = AddEdit(Panel1, "Edit6", EditRect(4));
    Edit7 = AddEdit(Panel1, "Edit7", EditRect(5));
    Edit8 = AddEdit(Panel1, "Edit8", EditRect(6));
    AddLabel(Panel1, "Label7", QStringLiteral("グループアイコン画像"), LabelPoint(7));
    Edit9 = AddEdit(Panel1, "Edit9", EditRect(7, 240));
    Button4 = AddButton(Panel1, "Button4", QStringLiteral("参照"), QRect(378, EditRect(7).y(), 57, 21));

    Button1 = AddButton(&dialog, "Button1", saveCaption, QRect(159, 213, 92, 26));
    Button2 = AddButton(&dialog, "Button2", QStringLiteral("クリア(&C)"), QRect(257, 213, 92, 26));
    Button3 = AddButton(&dialog, "Button3", QStringLiteral("閉じる(&X)"), QRect(355, 213, 92, 26));
    Button1->setDefault(true);

    // The number is assigned by the program: it can be read and copied, never typed.
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::ClickFocus);
    QPalette silver = Edit1->palette();
    silver.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    Edit1->setPalette(silver);

    const std::array<QLineEdit*, 8> edits = TextEdits();
    for (std::size_t i = 0; i < edits.size(); ++i) {
        LimitCp932Bytes(edits[i], kTextBytes[i]);
    }
    const std::array<QWidget*, 12> tabChain{Edit2, Edit3, Edit4,   Edit5,   Edit6,   Edit7,
                                            Edit8, Edit9, Button4, Button1, Button2, Button3};
    for (std::size_t i = 1; i < tabChain.size(); ++i) {
        QWidget::setTabOrder(tabChain[i - 1], tabChain[i]);
    }

    QObject::connect(Button2, &QPushButton::clicked, &dialog, [this] { Button2Click(); });
    QObject::connect(Button3, &QPushButton::clicked, &dialog, [this] { Button3Click(); });
    QObject::connect(Button4, &QPushButton::clicked, &dialog, [this] { Button4Click(); });
}

std::array<QLineEdit*, 8> GroupFieldPanel::TextEdits() const {
    return {Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9};
}

void GroupFieldPanel::ShowRecord(const GroupRecord& record) {
    Edit1->setText(FromCp932(record[kGroupN]));
    const std::array<QLineEdit*, 8> edits = TextEdits();
    for (std::size_t i = 0; i < edits.size(); ++i) {
        edits[i]->setText(FromCp932(record[kGroupName + i]));
    }
}

std::optional<std::vector<std::string>> GroupFieldPanel::CheckedTexts() {
    std::vector<Entry> entries;
    for (QLineEdit* edit : TextEdits()) {
        if (HasQuote(edit->text())) {
            RefuseEntry(*context_.prompts, Edit2, QuoteMessage());
            return std::nullopt;
        }
        entries.push_back({edit, edit->text()});
    }
    return EntryBytes(*context_.prompts, entries);
}

void GroupFieldPanel::Button2Click() {
    for (QLineEdit* edit : TextEdits()) {
        edit->clear();
    }
}

void GroupFieldPanel::Button3Click() {
    dialog_.reject();
}

void GroupFieldPanel::Button4Click() {
    // Pictures are looked up by bare file name in the application's img folder: one chosen
    // elsewhere is copied there.
    const QString folder = context_.appDir + QStringLiteral("img") + FolderSeparator();
    const QString chosen = context_.prompts->OpenPicture(&dialog_, folder, Edit9->text(), PictureFilter());
    if (chosen.isEmpty()) {
        return;
    }
    if (!EntryBytes(*context_.prompts, {{Edit9, QFileInfo(chosen).fileName()}})) {
        return;
    }
    const ImportedPicture picture = ImportPicture(chosen, folder, kTextBytes.back());
    if (picture.name.isEmpty()) {
        context_.prompts->Message(&dialog_, picture.reason);
        return;
    }
    Edit9->setText(picture.name);
}
