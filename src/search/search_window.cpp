#include "search/search_window.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/codec.h"
#include "platform/designed_font.h"
#include "search/index_keeper.h"
#include "search/search_text.h"
#include "search/typed_folder.h"
#include "storage/database.h"

namespace {

constexpr int kTypingPauseMs = 300;
constexpr int kHitIndexRole = Qt::UserRole;

QString GroupColumnText(const SearchHit& hit) {
    return FromCp932(hit.groupName) + QStringLiteral(" (") + QString::number(hit.groupNo) + QLatin1Char(')');
}

}  // namespace

SearchWindow::SearchWindow(Database& database, const FolderMappings& mappings, QWidget* parent)
    : QWidget(parent, Qt::Window),
      Edit1(new QLineEdit(this)),
      ListView1(new QTreeWidget(this)),
      StatusBar1(new QLabel(this)),
      database_(database),
      mappings_(mappings),
      worker_(database) {
    setObjectName(QStringLiteral("SearchForm"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    ListView1->setObjectName(QStringLiteral("ListView1"));
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setWindowTitle(QStringLiteral("検索"));
    setFont(DesignedFont(13));
    resize(640, 360);

    ListView1->setHeaderLabels({QStringLiteral("種類"), QStringLiteral("グループ"),
                                QStringLiteral("ファイル名"), QStringLiteral("フォルダ")});
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setColumnWidth(0, 70);
    ListView1->setColumnWidth(1, 180);
    ListView1->setColumnWidth(2, 160);
    // Sorted only when the user clicks a column; until then in the order found.
    ListView1->header()->setSortIndicator(-1, Qt::AscendingOrder);
    ListView1->setSortingEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 4);
    layout->addWidget(Edit1);
    layout->addWidget(ListView1, 1);
    layout->addWidget(StatusBar1);

    typingPause_.setSingleShot(true);
    typingPause_.setInterval(kTypingPauseMs);
    connect(&typingPause_, &QTimer::timeout, this, &SearchWindow::RunSearch);
    connect(Edit1, &QLineEdit::textEdited, this, [this] { typingPause_.start(); });
    connect(Edit1, &QLineEdit::returnPressed, this, &SearchWindow::RunSearch);
    connect(ListView1, &QTreeWidget::itemActivated, this, &SearchWindow::OpenItem);
    Edit1->installEventFilter(this);

    listening_ = database_.Listen([this](Database::ConnectionEvent event) {
        if (event == Database::ConnectionEvent::Detached) {
            DatabaseLeft();
        }
    });
}

void SearchWindow::TraceStatements(Database::StatementTrace trace) {
    worker_.Post([trace = std::move(trace)](FollowingConnection& connection) {
        connection.database().SetStatementTrace(trace);
    });
}

void SearchWindow::DatabaseLeft() {
    typingPause_.stop();
    StopWarmUp();
    holding_.reset();
    NewRequest();  // whatever is under way was read from the database left
    searching_ = false;
    ShowOutcome(SearchOutcome{}, QString());
}

void SearchWindow::SearchAgain() {
    if (!isVisible() || hits_.empty()) {
        return;
    }
    if (holding_) {
        ListGroupsHolding();
    } else {
        RunSearch();
    }
}

void SearchWindow::ShowWindow() {
    show();
    raise();
    activateWindow();
}

void SearchWindow::ShowForTyping() {
    // The connection may be new since the window was last shown, and the file tables others'. A
    // search the index serves names only the tables it does not hold.
    if (keeper_ == nullptr || keeper_->Making() || !keeper_->View()) {
        StartWarmUp();
    }
    ShowWindow();
    Edit1->setFocus();
    Edit1->selectAll();
}

void SearchWindow::StartWarmUp() {
    warmingUp_ = true;
    const int round = ++warmUpRound_;
    worker_.Post([this](FollowingConnection&) { warmUp_.Restart(); });
    PostWarmUpStep(round);
}

void SearchWindow::StopWarmUp() {
    ++warmUpRound_;
    warmingUp_ = false;
}

void SearchWindow::PostWarmUpStep(int round) {
    // One step at a time, back through this thread, so that a search asked for meanwhile comes next.
    worker_.Post([this, round](FollowingConnection& connection) {
        Database* const own = connection.Use();
        const bool more = own != nullptr && warmUp_.Step(*own);
        QMetaObject::invokeMethod(this, [this, round, more] {
            if (round != warmUpRound_) {
                return;
            }
            if (more) {
                PostWarmUpStep(round);
            } else {
                warmingUp_ = false;
            }
        });
    });
}

int SearchWindow::NewRequest() {
    *latest_ = ++request_;
    return request_;
}

void SearchWindow::Post(Work work, const QString& foundText) {
    const int request = NewRequest();
    searching_ = true;
    StatusBar1->setText(QStringLiteral("検索しています..."));
    std::shared_ptr<const IndexView> view = keeper_ != nullptr ? keeper_->View() : nullptr;
    worker_.Post([this, work = std::move(work), request, foundText, view = std::move(view),
                  latest = latest_](FollowingConnection& connection) {
        const auto superseded = [latest, request] { return latest->load() != request; };
        // A search asked for since makes this one pointless.
        if (superseded()) {
            return;
        }
        Database* const own = connection.Use();
        IndexFile* const reader = view && own != nullptr ? Reader(*view) : nullptr;
        std::optional<SearchIndex> index;
        if (reader != nullptr) {
            reader->GiveUpWhen(superseded);
            index.emplace(SearchIndex{*reader, *view, superseded});
        }
        SearchOutcome outcome = own != nullptr ? work(*own, index ? &*index : nullptr)
                                               : SearchOutcome{SearchOutcome::State::NotAttached, {}, {}};
        const bool damaged = reader != nullptr && reader->FoundDamaged();
        if (damaged) {
            reader_.reset();
        }
        QMetaObject::invokeMethod(this, [this, outcome = std::move(outcome), request, foundText, damaged] {
            if (damaged && keeper_ != nullptr) {
                keeper_->Damaged();
            }
            if (request != request_) {
                return;
            }
            searching_ = false;
            // Served by the index alone, a search follows each key at once.
            typingPause_.setInterval(outcome.indexed ? 0 : kTypingPauseMs);
            ShowOutcome(outcome, foundText);
        });
    });
}

IndexFile* SearchWindow::Reader(const IndexView& view) {
    if (reader_ && (reader_->Path() != view.path || reader_->Identity() != view.identity)) {
        reader_.reset();
    }
    if (!reader_) {
        reader_ = IndexFile::OpenToSearch(view.path, view.identity);
    }
    return reader_.get();
}

void SearchWindow::RunSearch() {
    typingPause_.stop();
    holding_.reset();
    const std::optional<std::string> text = ToCp932(Edit1->text());
    if (!text) {
        NewRequest();
        searching_ = false;
        ShowOutcome(SearchOutcome{}, QString());
        StatusBar1->setText(QStringLiteral("使用できない文字が含まれているため検索できません。"));
        return;
    }
    const SearchNeedle needle(*text);
    if (needle.Empty()) {
        NewRequest();
        searching_ = false;
        ShowOutcome(SearchOutcome{}, QString());
        return;
    }
    // A search names every file table: the connection knows them afterwards.
    StopWarmUp();
    std::vector<SearchNeedle> storedFolders;
    for (const std::string& stored : StoredFormsOfTyped(mappings_, *text)) {
        storedFolders.emplace_back(stored);
    }
    Post(
        [needle, storedFolders](Database& connection, const SearchIndex* index) {
            return FindText(connection, needle, storedFolders, index);
        },
        QStringLiteral("%1件見つかりました。"));
}

void SearchWindow::ShowGroupsHolding(const std::string& folder, const std::string& fileName) {
    typingPause_.stop();
    Edit1->clear();
    holding_.emplace(folder, fileName);
    ListGroupsHolding();
    ShowWindow();
    ListView1->setFocus();
}

void SearchWindow::ListGroupsHolding() {
    const auto [folder, fileName] = *holding_;
    Post(
        [folder, fileName, mappings = mappings_](Database& connection, const SearchIndex* index) {
            return FindFile(connection, folder, fileName, mappings, index);
        },
        QStringLiteral("「") + FromCp932(folder + fileName) +
            QStringLiteral("」を含むグループが%1件見つかりました。"));
}

void SearchWindow::ShowOutcome(const SearchOutcome& outcome, const QString& foundText) {
    hits_ = outcome.hits;
    ListView1->setSortingEnabled(false);
    ListView1->clear();
    QList<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < hits_.size(); ++i) {
        const SearchHit& hit = hits_[i];
        const bool file = hit.kind == SearchHit::Kind::File;
        auto* item =
            new QTreeWidgetItem({file ? QStringLiteral("ファイル") : QStringLiteral("グループ"),
                                 GroupColumnText(hit), FromCp932(hit.fileName), FromCp932(hit.folder)});
        item->setData(0, kHitIndexRole, static_cast<int>(i));
        items << item;
    }
    ListView1->addTopLevelItems(items);
    ListView1->setSortingEnabled(true);
    switch (outcome.state) {
        case SearchOutcome::State::NotAttached:
            StatusBar1->setText(QStringLiteral("データベースに接続されていないため検索できません。"));
            break;
        case SearchOutcome::State::NoGroups:
            StatusBar1->setText(QStringLiteral("グループが登録されていないため検索できません。"));
            break;
        case SearchOutcome::State::Found: {
            QString text = foundText.isEmpty() ? QString() : foundText.arg(hits_.size());
            if (!outcome.unreadGroups.empty()) {
                text += QStringLiteral("%1件のグループのファイルは検索できませんでした。")
                            .arg(outcome.unreadGroups.size());
            }
            if (!outcome.indexed && keeper_ != nullptr && keeper_->Making()) {
                text += QStringLiteral("検索用の索引を作成しています。");
            }
            StatusBar1->setText(text);
            break;
        }
    }
}

void SearchWindow::OpenItem(QTreeWidgetItem* item) {
    const int index = item ? item->data(0, kHitIndexRole).toInt() : -1;
    if (index >= 0 && index < static_cast<int>(hits_.size()) && onOpen) {
        onOpen(hits_[static_cast<std::size_t>(index)]);
    }
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down && ListView1->topLevelItemCount() > 0) {
        ListView1->setFocus();
        ListView1->setCurrentItem(ListView1->topLevelItem(0));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
