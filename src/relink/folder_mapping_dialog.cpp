#include "relink/folder_mapping_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/designed_font.h"
#include "platform/file_looks.h"
#include "relink/dialog_buttons.h"
#include "relink/folder_mapping_editor.h"
#include "relink/folder_mapping_saving.h"

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

FolderMappingDialog::FolderMappingDialog(AppContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      list_(new QTreeWidget(this)),
      editor_(new FolderMappingEditor(context, this)),
      looks_(new FileLookQueue(*context.fileLooks, this)) {
    setObjectName(QStringLiteral("FolderMappings"));
    setWindowTitle(QStringLiteral("フォルダの対応"));
    // Nothing else may change the mappings while they are edited here.
    setWindowModality(Qt::ApplicationModal);
    setFont(DesignedFont(13));
    resize(640, 300);

    auto* note = new QLabel(
        QStringLiteral("データベースに保存されたフォルダを、このコンピューターのどのフォルダで"
                       "開くかを指定します。\n複数が当てはまるときは長い方で開き、登録するファイルには\n"
                       "共有フォルダ、ドライブ、ほかのシステムのフォルダの順に使われます。"),
        this);
    list_->setObjectName(QStringLiteral("MappingList"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("データベースのフォルダ"),
                            QStringLiteral("このコンピューターのフォルダ"), QStringLiteral("状態")});
    list_->header()->resizeSection(0, 190);
    list_->header()->resizeSection(1, 210);

    QPushButton* addButton = MakeButton(this, "AddButton", QStringLiteral("追加(&A)..."));
    editButton_ = MakeButton(this, "EditButton", QStringLiteral("編集(&E)..."));
    removeButton_ = MakeButton(this, "RemoveButton", QStringLiteral("削除(&D)"));
    connect(addButton, &QPushButton::clicked, this, &FolderMappingDialog::Add);
    connect(editButton_, &QPushButton::clicked, this, &FolderMappingDialog::Edit);
    connect(removeButton_, &QPushButton::clicked, this, &FolderMappingDialog::Remove);
    connect(list_, &QTreeWidget::itemActivated, this, &FolderMappingDialog::Edit);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        editButton_->setEnabled(current != nullptr);
        removeButton_->setEnabled(current != nullptr);
    });
    connect(editor_, &QDialog::accepted, this, &FolderMappingDialog::EditorDone);
    connect(looks_, &FileLookQueue::Answered, this,
            [this](const std::vector<FileLookQueue::Answer>& answers) {
                for (const auto& [row, found] : answers) {
                    // A share not mounted now is still a mapping worth keeping: the list says so and no more.
                    ShowState(static_cast<int>(row), found.facts && !found.facts->isFile
                                                         ? QString()
                                                         : QStringLiteral("フォルダがありません"));
                }
            });
    connect(looks_, &FileLookQueue::NotAnswering, this,
            [this](const std::vector<quint64>& rows, const QString&) {
                for (const quint64 row : rows) {
                    ShowState(static_cast<int>(row), QStringLiteral("応答なし"));
                }
            });
    // The closed editor leaves the focus nowhere: it comes back here, where Enter presses OK.
    connect(editor_, &QDialog::finished, this, [this] {
        activateWindow();
        findChild<QPushButton*>(QStringLiteral("OkButton"), Qt::FindDirectChildrenOnly)->setFocus();
    });

    auto* commands = new QVBoxLayout;
    for (QPushButton* button : {addButton, editButton_, removeButton_}) {
        commands->addWidget(button);
    }
    commands->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(list_, 1);
    middle->addLayout(commands);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(middle, 1);
    layout->addLayout(AddOkCancel(*this, QStringLiteral("OK"), [this] { Save(); }));
}

void FolderMappingDialog::Open() {
    mappings_ = context_.folderMappings;
    ShowList(mappings_.empty() ? -1 : 0);
    open();
}

void FolderMappingDialog::ShowList(int current) {
    // Each local folder is looked at apart from the dialog: a share that does not answer holds up
    // only its own row's state.
    looks_->Cancel();
    list_->clear();
    std::vector<FileLookQueue::Question> questions;
    for (const FolderMapping& mapping : mappings_) {
        questions.push_back({static_cast<quint64>(list_->topLevelItemCount()), mapping.local});
        list_->addTopLevelItem(new QTreeWidgetItem(
            {FromCp932(mapping.stored), FromCp932(mapping.local), QStringLiteral("確認中")}));
    }
    looks_->Ask(questions, mappings_);
    list_->setCurrentItem(current >= 0 ? list_->topLevelItem(current) : nullptr);
    editButton_->setEnabled(current >= 0);
    removeButton_->setEnabled(current >= 0);
}

void FolderMappingDialog::ShowState(int row, const QString& state) {
    if (QTreeWidgetItem* item = list_->topLevelItem(row)) {
        item->setText(2, state);
    }
}

void FolderMappingDialog::Add() {
    editing_ = -1;
    editor_->Begin(QStringLiteral("フォルダの対応の追加"), FolderMapping{}, mappings_);
}

void FolderMappingDialog::Edit() {
    editing_ = list_->indexOfTopLevelItem(list_->currentItem());
    if (editing_ < 0) {
        return;
    }
    FolderMappings others = mappings_;
    others.erase(others.begin() + editing_);
    editor_->Begin(QStringLiteral("フォルダの対応の編集"), mappings_[editing_], std::move(others));
}

void FolderMappingDialog::EditorDone() {
    if (editing_ < 0) {
        mappings_.push_back(editor_->Mapping());
        ShowList(static_cast<int>(mappings_.size()) - 1);
    } else {
        mappings_[editing_] = editor_->Mapping();
        ShowList(editing_);
    }
}

void FolderMappingDialog::Remove() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0) {
        return;
    }
    mappings_.erase(mappings_.begin() + row);
    ShowList(std::min(row, static_cast<int>(mappings_.size()) - 1));
}

void FolderMappingDialog::Save() {
    if (mappings_ != context_.folderMappings) {
        SaveFolderMappings(context_, mappings_, this);
        emit MappingsChanged();
    }
    accept();
}
