#include "relink/missing_files_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <atomic>
#include <set>
#include <utility>

#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/designed_font.h"
#include "platform/file_looks.h"
#include "platform/prompts.h"
#include "relink/folder_mapping_saving.h"
#include "relink/missing_files_model.h"
#include "relink/missing_scan.h"
#include "relink/relink_dialog.h"
#include "storage/database.h"

// The walk of the chosen folder, shared between the window and the thread that walks it.
struct TreeWalk {
    std::filesystem::path root;
    std::set<std::string> wanted;
    std::atomic<bool> cancelled{false};
    std::atomic<long long> visited{0};
    TreeSearchResult result;  // written by the thread, read once it has finished
};

// A folder chosen for a suggested mapping tried on a sample of the missing files, on a thread of its
// own: a network folder may be slow to answer.
struct MappingTrial {
    FolderMapping tried;
    FolderMappings mappings;  // this desktop's, as they were, with the one tried
    std::vector<MissingFile> sample;
    std::atomic<bool> cancelled{false};
    int found = 0;  // written by the thread, read once it has finished
};

namespace {

// How long one slice of storing may keep the GUI thread.
constexpr int kSliceMilliseconds = 15;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QString MappingQuestion(const std::string& prefix) {
    return QStringLiteral("「") + FromCp932(prefix) +
           QStringLiteral("」に対応するこのコンピューターのフォルダを選択してください。");
}

}  // namespace

MissingFilesWindow::MissingFilesWindow(AppContext& context, Database& database, QWidget* parent)
    : QWidget(parent, Qt::Window),
      context_(context),
      database_(database),
      scan_(new MissingFileScan(database, this)),
      model_(new MissingFilesModel(this)),
      list_(new QTreeView(this)),
      progress_(new QProgressBar(this)),
      status_(new QLabel(this)),
      offer_(new QWidget(this)),
      offerText_(new QLabel(offer_)),
      proposals_(new RelinkDialog(this)),
      walkTicker_(new QTimer(this)) {
    setObjectName(QStringLiteral("MissingFiles"));
    setWindowTitle(QStringLiteral("リンク切れファイル"));
    setFont(DesignedFont(13));
    resize(700, 360);

    list_->setObjectName(QStringLiteral("MissingList"));
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->header()->resizeSection(0, 140);
    list_->header()->resizeSection(1, 50);
    list_->header()->resizeSection(2, 160);

    searchButton_ = MakeButton(this, "SearchButton", QStringLiteral("再検索(&S)"));
    relinkButton_ = MakeButton(this, "RelinkButton", QStringLiteral("フォルダから再リンク(&R)..."));
    chooseButton_ = MakeButton(this, "ChooseFileButton", QStringLiteral("ファイルを指定して再リンク(&F)..."));
    cancelButton_ = MakeButton(this, "CancelButton", QStringLiteral("中止(&A)"));
    QPushButton* closeButton = MakeButton(this, "CloseButton", QStringLiteral("閉じる(&X)"));
    cancelButton_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {searchButton_, relinkButton_, chooseButton_, cancelButton_, closeButton}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    offer_->setObjectName(QStringLiteral("MappingOffer"));
    offerText_->setObjectName(QStringLiteral("MappingQuestion"));
    offerText_->setWordWrap(true);
    mapButton_ = MakeButton(offer_, "MapButton", QStringLiteral("フォルダを選択(&M)..."));
    auto* offerRow = new QHBoxLayout(offer_);
    offerRow->setContentsMargins(6, 2, 6, 2);
    offerRow->addWidget(offerText_, 1);
    offerRow->addWidget(mapButton_);
    offer_->setVisible(false);

    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setVisible(false);
    status_->setObjectName(QStringLiteral("StatusLine"));
    auto* statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    statusBar->addWidget(status_, 1);
    statusBar->addPermanentWidget(progress_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 1);
    layout->addWidget(offer_);
    layout->addLayout(buttons);
    layout->addWidget(statusBar);

    connect(searchButton_, &QPushButton::clicked, this, &MissingFilesWindow::StartScan);
    connect(relinkButton_, &QPushButton::clicked, this, &MissingFilesWindow::StartRelink);
    connect(chooseButton_, &QPushButton::clicked, this, &MissingFilesWindow::RelinkChosenFile);
    connect(list_, &QTreeView::doubleClicked, this, &MissingFilesWindow::RelinkChosenFile);
    connect(cancelButton_, &QPushButton::clicked, this, &MissingFilesWindow::Cancel);
    connect(mapButton_, &QPushButton::clicked, this, &MissingFilesWindow::TryMapping);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(scan_, &MissingFileScan::Progress, this, &MissingFilesWindow::ShowScanProgress);
    connect(scan_, &MissingFileScan::Finished, this, &MissingFilesWindow::ScanFinished);
    connect(walkTicker_, &QTimer::timeout, this, &MissingFilesWindow::ShowWalkProgress);
    connect(proposals_, &QDialog::accepted, this, &MissingFilesWindow::StoreChosen);
    listening_ = database_.Listen([this](Database::ConnectionEvent event) {
        if (event == Database::ConnectionEvent::Detached) {
            DatabaseLeft();
        }
    });
    ShowCount();
}

MissingFilesWindow::~MissingFilesWindow() {
    if (walkThread_) {
        walk_->cancelled = true;
        walkThread_->wait();
    }
    if (trialThread_) {
        trial_->cancelled = true;
        trialThread_->wait();
    }
}

void MissingFilesWindow::Open() {
    show();
    raise();
    activateWindow();
    if (!busy_) {
        StartScan();
    }
}

void MissingFilesWindow::closeEvent(QCloseEvent* event) {
    // Nobody would see the outcome of work left running behind a closed window.
    Cancel();
    event->accept();
}

void MissingFilesWindow::SetBusy(bool busy) {
    busy_ = busy;
    searchButton_->setEnabled(!busy);
    relinkButton_->setEnabled(!busy);
    chooseButton_->setEnabled(!busy);
    mapButton_->setEnabled(!busy);
    cancelButton_->setEnabled(busy);
    progress_->setVisible(busy);
}

void MissingFilesWindow::ShowCount(const QString& note) {
    QString text = QStringLiteral("リンク切れファイル: %1件").arg(model_->rowCount());
    if (!note.isEmpty()) {
        text += QStringLiteral("（") + note + QStringLiteral("）");
    }
    status_->setText(text);
}

void MissingFilesWindow::Cancel() {
    scan_->Cancel();
    if (walk_) {
        walk_->cancelled = true;
    }
    if (trial_) {
        trial_->cancelled = true;
    }
    storeCancelled_ = true;
}

void MissingFilesWindow::DatabaseLeft() {
    // Nothing read from one database may ever be written into another.
    Cancel();
    proposals_->reject();
    model_->Clear();
    listComplete_ = false;
    ShowOffer();
    ShowCount(QStringLiteral("データベースの接続が変わったため一覧を消去しました"));
}

void MissingFilesWindow::StartScan() {
    if (busy_) {
        return;
    }
    model_->Clear();
    listComplete_ = false;
    ShowOffer();
    SetBusy(true);
    progress_->setRange(0, 0);
    status_->setText(QStringLiteral("検索しています..."));
    scan_->Start(context_.folderMappings, *context_.fileLooks);
}

void MissingFilesWindow::ShowScanProgress(long long checked, long long missing, int groupsDone,
                                          int groupCount) {
    model_->Append(scan_->TakeFound());
    progress_->setRange(0, groupCount);
    progress_->setValue(groupsDone);
    status_->setText(QStringLiteral("検索しています... %1件確認、リンク切れ %2件").arg(checked).arg(missing));
}

void MissingFilesWindow::ScanFinished(bool cancelled) {
    SetBusy(false);
    listComplete_ = !cancelled && !scan_->ConnectionLost();
    if (scan_->ConnectionLost()) {
        ShowCount(QStringLiteral("サーバーとの接続が切れたため検索を中止しました"));
    } else {
        ShowCount(cancelled ? QStringLiteral("検索を中止しました") : QString());
    }
    ShowOffer();
    emit WorkFinished();
}

void MissingFilesWindow::StartRelink() {
    if (busy_) {
        return;
    }
    if (model_->rowCount() == 0) {
        context_.prompts->Message(this, QStringLiteral("リンク切れファイルはありません。"));
        return;
    }
    const QString folder = context_.prompts->ChooseFolder(this, QString());
    if (folder.isEmpty()) {
        return;
    }
    walk_ = std::make_shared<TreeWalk>();
    walk_->root = std::filesystem::path(folder.toStdU16String());
    walk_->wanted = WantedNames(model_->Files());
    walkThread_ = QThread::create([walk = walk_] {
        walk->result = FindNamesInTree(walk->root, walk->wanted, walk->cancelled, walk->visited);
    });
    connect(walkThread_, &QThread::finished, this, &MissingFilesWindow::WalkFinished);
    SetBusy(true);
    progress_->setRange(0, 0);
    ShowWalkProgress();
    walkThread_->start();
    walkTicker_->start(100);
}

template <typename Job>
std::shared_ptr<Job> MissingFilesWindow::TakeFinished(QThread*& thread, std::shared_ptr<Job>& job,
                                                      const QString& cancelledNote) {
    thread->deleteLater();
    thread = nullptr;
    std::shared_ptr<Job> finished = std::exchange(job, nullptr);
    SetBusy(false);
    if (finished->cancelled) {
        ShowCount(cancelledNote);
        emit WorkFinished();
        return nullptr;
    }
    ShowCount();
    return finished;
}

void MissingFilesWindow::ShowWalkProgress() {
    status_->setText(QStringLiteral("フォルダを検索しています... %1件").arg(walk_->visited.load()));
}

void MissingFilesWindow::WalkFinished() {
    walkTicker_->stop();
    const std::shared_ptr<TreeWalk> walk =
        TakeFinished(walkThread_, walk_, QStringLiteral("再リンクを中止しました"));
    if (!walk) {
        return;
    }
    std::vector<RelinkProposal> proposals =
        ProposeRelinks(model_->Files(), walk->result, context_.folderMappings);
    const long long unreadable = walk->result.unreadableFolders;
    if (proposals.empty()) {
        context_.prompts->Message(
            this,
            QStringLiteral(
                "選択したフォルダの中に、リンク切れファイルと同じ名前のファイルは見つかりませんでした。") +
                UnreadableNote(unreadable));
        emit WorkFinished();
        return;
    }
    const int notFound = model_->rowCount() - static_cast<int>(proposals.size());
    proposals_->SetProposals(std::move(proposals), notFound, unreadable);
    proposals_->open();
    emit WorkFinished();
}

void MissingFilesWindow::RelinkChosenFile() {
    const QModelIndex current = list_->currentIndex();
    if (busy_ || !current.isValid()) {
        if (!busy_) {
            context_.prompts->Message(this,
                                      QStringLiteral("再リンクするファイルを一覧から選択してください。"));
        }
        return;
    }
    const MissingFile file = model_->Files()[current.row()];
    const QString chosen =
        context_.prompts->ChooseFile(this, QStringLiteral("「%1」の新しい場所").arg(FromCp932(file.fileName)),
                                     StoredPathOnDisk(LocalPathOf(context_.folderMappings, file.folder, "")));
    if (chosen.isEmpty()) {
        return;
    }
    const std::optional<std::string> bytes = ToCp932(QDir::toNativeSeparators(chosen));
    if (!bytes) {
        context_.prompts->Message(
            this, QStringLiteral("ファイル名に使用できない文字が含まれているため再リンクできません。"));
        return;
    }
    const StoredPath stored = StoredPathOf(context_.folderMappings, *bytes);
    RelinkProposal chosenFile{
        .file = file,
        .newFolder = stored.folder,
        .newFileName = stored.fileName != file.fileName ? stored.fileName : std::string()};
    StoreProposals({std::move(chosenFile)});
}

void MissingFilesWindow::StoreChosen() {
    StoreProposals(proposals_->CheckedProposals());
}

void MissingFilesWindow::StoreProposals(std::vector<RelinkProposal> proposals) {
    storing_ = std::move(proposals);
    if (storing_.empty()) {
        return;
    }
    stored_.assign(storing_.size(), RelinkOutcome::Failed);
    storeIndex_ = 0;
    storeCancelled_ = false;
    SetBusy(true);
    progress_->setRange(0, static_cast<int>(storing_.size()));
    progress_->setValue(0);
    status_->setText(QStringLiteral("再リンクしています..."));
    QTimer::singleShot(0, this, &MissingFilesWindow::StoreSlice);
}

void MissingFilesWindow::StoreSlice() {
    // A command waiting for the server has the connection: storing goes on after it.
    if (Database::Waiting()) {
        QTimer::singleShot(kSliceMilliseconds, this, &MissingFilesWindow::StoreSlice);
        return;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    while (!storeCancelled_ && storeIndex_ < storing_.size() && elapsed.elapsed() < kSliceMilliseconds) {
        stored_[storeIndex_] = StoreRelink(database_, storing_[storeIndex_]);
        ++storeIndex_;
    }
    progress_->setValue(static_cast<int>(storeIndex_));
    if (storeCancelled_ || storeIndex_ == storing_.size()) {
        StoringFinished();
    } else {
        QTimer::singleShot(0, this, &MissingFilesWindow::StoreSlice);
    }
}

void MissingFilesWindow::StoringFinished() {
    std::set<std::pair<int, std::int64_t>> relinked;
    long long changedElsewhere = 0;
    for (std::size_t i = 0; i < storeIndex_; ++i) {
        if (stored_[i] == RelinkOutcome::Relinked) {
            relinked.insert({storing_[i].file.group, storing_[i].file.number});
        }
        changedElsewhere += stored_[i] == RelinkOutcome::ChangedElsewhere;
    }
    const long long failed =
        static_cast<long long>(storeIndex_) - static_cast<long long>(relinked.size()) - changedElsewhere;
    const long long skipped = static_cast<long long>(storing_.size() - storeIndex_);
    model_->KeepOnly([&relinked](const MissingFile& file) {
        return relinked.count({file.group, file.number}) == 0;
    });
    storing_.clear();
    SetBusy(false);
    ShowCount();
    ShowOffer();
    if (!relinked.empty()) {
        emit FoldersChanged();
    }
    QString text = QStringLiteral("%1件を再リンクしました。").arg(relinked.size());
    if (changedElsewhere > 0) {
        text += QStringLiteral("\n%1件は他で変更されていたため変更していません。").arg(changedElsewhere);
    }
    if (failed > 0) {
        text += QStringLiteral("\n%1件は再リンクできませんでした。").arg(failed);
    }
    if (skipped > 0) {
        text += QStringLiteral("\n中止したため%1件は変更していません。").arg(skipped);
    }
    context_.prompts->Message(this, text);
    emit WorkFinished();
}

void MissingFilesWindow::ShowOffer() {
    // Only a list read to its end says where most missing files are.
    suggestion_ = listComplete_ ? SuggestMapping(model_->Files(), context_.folderMappings) : std::nullopt;
    if (suggestion_) {
        offerText_->setText(MappingQuestion(suggestion_->prefix));
    }
    offer_->setVisible(suggestion_.has_value());
}

void MissingFilesWindow::TryMapping() {
    if (busy_ || !suggestion_) {
        return;
    }
    const QString folder = context_.prompts->ChooseFolder(this, MappingQuestion(suggestion_->prefix));
    if (folder.isEmpty()) {
        return;
    }
    const std::optional<std::string> local = ToCp932(folder);
    if (!local) {
        context_.prompts->Message(
            this,
            QStringLiteral("フォルダ名に使用できない文字が含まれているため対応させることができません。"));
        return;
    }
    trial_ = std::make_shared<MappingTrial>();
    trial_->tried = MappingOf(suggestion_->prefix, *local);
    trial_->mappings = context_.folderMappings;
    trial_->mappings.push_back(trial_->tried);
    trial_->sample = suggestion_->sample;
    trialThread_ = QThread::create([trial = trial_, &looks = *context_.fileLooks] {
        std::vector<std::string> paths;
        for (const MissingFile& file : trial->sample) {
            paths.push_back(LocalPathOf(trial->mappings, file.folder, file.fileName));
        }
        for (const std::optional<FileLook>& found :
             looks.LookAll(paths, trial->mappings, trial->cancelled, LookFor::File)) {
            trial->found += found && found->facts && found->facts->isFile ? 1 : 0;
        }
    });
    connect(trialThread_, &QThread::finished, this, &MissingFilesWindow::TrialFinished);
    SetBusy(true);
    progress_->setRange(0, 0);
    status_->setText(QStringLiteral("選択したフォルダを確認しています..."));
    trialThread_->start();
}

void MissingFilesWindow::TrialFinished() {
    const std::shared_ptr<MappingTrial> trial =
        TakeFinished(trialThread_, trial_, QStringLiteral("確認を中止しました"));
    if (!trial) {
        return;
    }
    const QString question =
        QStringLiteral(
            "「%1」を「%2」に対応させると、見本の%3件のうち%4件のファイルが見つかります。\n"
            "この対応を保存しますか？")
            .arg(FromCp932(trial->tried.stored), FromCp932(trial->tried.local))
            .arg(trial->sample.size())
            .arg(trial->found);
    if (!context_.prompts->Question(this, question)) {
        emit WorkFinished();
        return;
    }
    // The mappings as they are now: others may have been edited meanwhile.
    FolderMappings mappings = context_.folderMappings;
    std::erase_if(mappings, [&trial](const FolderMapping& mapping) {
        return SameFolder(mapping.stored, trial->tried.stored);
    });
    mappings.push_back(trial->tried);
    SaveFolderMappings(context_, std::move(mappings), this);
    emit MappingsChanged();
    StartScan();
}
