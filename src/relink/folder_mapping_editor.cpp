#include "relink/folder_mapping_editor.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/designed_font.h"
#include "platform/file_looks.h"
#include "platform/prompts.h"
#include "relink/dialog_buttons.h"

FolderMappingEditor::FolderMappingEditor(AppContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      look_(new FileLookQueue(*context.fileLooks, this)),
      Edit1(new QLineEdit(this)),
      Edit2(new QLineEdit(this)) {
    setObjectName(QStringLiteral("MappingEditor"));
    setWindowModality(Qt::WindowModal);
    setFont(DesignedFont(13));
    resize(560, 130);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setPlaceholderText(QStringLiteral("\\\\FS01\\図面\\  Z:\\  /srv/zumen/"));
    Edit2->setObjectName(QStringLiteral("Edit2"));
    auto* browse = new QPushButton(QStringLiteral("参照(&B)..."), this);
    browse->setObjectName(QStringLiteral("BrowseButton"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &FolderMappingEditor::Browse);

    auto* local = new QHBoxLayout;
    local->addWidget(Edit2, 1);
    local->addWidget(browse);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("データベースのフォルダ(&D):"), Edit1);
    // A row of a layout gets no buddy of its own: the label is given its field, for its Alt key.
    auto* localLabel = new QLabel(QStringLiteral("このコンピューターのフォルダ(&L):"), this);
    localLabel->setBuddy(Edit2);
    fields->addRow(localLabel, local);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(AddOkCancel(*this, QStringLiteral("OK"), [this] { Check(); }));
    setTabOrder(Edit1, Edit2);
    // The local folder is looked at apart from the dialog, which answers meanwhile.
    connect(look_, &FileLookQueue::Answered, this, [this](const std::vector<FileLookQueue::Answer>& answers) {
        const FileLook& found = answers.front().second;
        KeepIf(found.facts && !found.facts->isFile,
               QStringLiteral("このコンピューターにフォルダ「%1」はありません。このまま登録しますか？"));
    });
    connect(look_, &FileLookQueue::NotAnswering, this, [this] {
        look_->Cancel();
        KeepIf(false, QStringLiteral("フォルダ「%1」が応答しません。このまま登録しますか？"));
    });
    connect(this, &QDialog::finished, look_, &FileLookQueue::Cancel);
}

void FolderMappingEditor::Begin(const QString& title, const FolderMapping& mapping, FolderMappings others) {
    setWindowTitle(title);
    others_ = std::move(others);
    Edit1->setText(FromCp932(mapping.stored));
    Edit2->setText(FromCp932(mapping.local));
    open();
    Edit1->setFocus();
}

void FolderMappingEditor::Browse() {
    const QString folder = context_.prompts->ChooseFolder(this, QString());
    if (!folder.isEmpty()) {
        Edit2->setText(folder);
    }
}

void FolderMappingEditor::Check() {
    if (Edit1->text().isEmpty() || Edit2->text().isEmpty()) {
        context_.prompts->Message(
            this, QStringLiteral("データベースのフォルダとこのコンピューターのフォルダを入力して下さい。"));
        return;
    }
    const std::optional<std::string> stored = ToCp932(Edit1->text());
    const std::optional<std::string> local = ToCp932(Edit2->text());
    if (!stored || !local) {
        context_.prompts->Message(
            this, QStringLiteral("フォルダ名に使用できない文字が含まれているため登録できません。"));
        return;
    }
    const FolderMapping mapping = MappingOf(*stored, *local);
    Edit1->setText(FromCp932(mapping.stored));
    Edit2->setText(FromCp932(mapping.local));
    for (const FolderMapping& other : others_) {
        if (SameFolder(other.stored, mapping.stored)) {
            context_.prompts->Message(
                this, QStringLiteral("「%1」の対応は既にあります。").arg(FromCp932(other.stored)));
            return;
        }
    }
    checked_ = mapping;
    look_->Cancel();
    look_->Ask({{0, mapping.local}}, {mapping}, true);
}

void FolderMappingEditor::KeepIf(bool there, const QString& question) {
    if (!there && !context_.prompts->Question(this, question.arg(FromCp932(checked_.local)))) {
        return;
    }
    mapping_ = checked_;
    accept();
}
