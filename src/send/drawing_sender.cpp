#include "send/drawing_sender.h"

#include <QDateTime>
#include <QFile>
#include <QPushButton>
#include <QSysInfo>
#include <QWidget>
#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

#include "common/codepage.h"
#include "common/number.h"
#include "common/sql_literal.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/prompts.h"
#include "send/list_pdf.h"
#include "send/send_dialog.h"
#include "send/send_history_window.h"
#include "send/send_preferences.h"
#include "send/send_progress_window.h"
#include "send/temporary_package.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/row_walk.h"
#include "storage/schema.h"
#include "storage/send_history.h"

namespace {

GroupRecord ReadGroup(Database& database, std::int64_t groupNo) {
    GroupRecord group;
    database.OpenSelect("*", kGroupTable, "N=" + SqlNumber(groupNo), "");
    database.ReadFirstRow(group);
    database.CloseResult();
    return group;
}

std::vector<StoredFile> ReadRegistrations(Database& database, std::int64_t groupNo) {
    std::vector<StoredFile> files;
    const int count = database.OpenSelect("*", FileTableName(groupNo), "", "N");
    FileRecord row;
    WalkRows(database, count, row, [&] {
        files.push_back({ParseIntOrZero(row[kFileN]), row[kFileName], row[kFilePath]});
    });
    return files;
}

// How often the progress window is told of bytes alone: each file's start and end are always shown.
constexpr std::chrono::milliseconds kProgressStep{50};

// The newest progress of the work, shown once the window's thread comes to it.
struct LatestProgress {
    std::mutex mutex;
    SendProgress progress;
    bool waiting = false;  // a step to show it is posted
    SendProgress posted;   // what the last step posted showed
    std::chrono::steady_clock::time_point postedAt;

    // Whether a step is to be posted for `now`: not while one waits, and for bytes alone not more
    // often than the eye follows (thousands of steps kept the window's thread busy).
    bool Post(const SendProgress& now) {
        std::lock_guard lock(mutex);
        progress = now;
        const auto time = std::chrono::steady_clock::now();
        const bool news = now.filesDone != posted.filesDone || now.checking != posted.checking ||
                          now.current != posted.current;
        if (waiting || (!news && time - postedAt < kProgressStep)) {
            return false;
        }
        waiting = true;
        posted = now;
        postedAt = time;
        return true;
    }

    SendProgress Take() {
        std::lock_guard lock(mutex);
        waiting = false;
        return progress;
    }
};

std::string UtcNow() {
    // To the millisecond, so that two sets sent in one second are listed in their order.
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toStdString();
}

// The record of the set `outcome` made, begun with `record`.
SendRecord Completed(SendRecord record, const SendOutcome& outcome) {
    record.sentUtc = UtcNow();
    record.groupName = ToCp932(QString::fromStdString(outcome.list.groupName)).value_or(std::string());
    record.packageName = outcome.packageName;
    record.files = outcome.list.Sent();
    record.missing = outcome.list.Missing();
    record.bytes = outcome.list.Bytes();
    record.listSha256 = outcome.listSha256;
    return record;
}

}  // namespace

DrawingSender::DrawingSender(AppContext& context, Database& database, QWidget& mainWindow)
    : QObject(&mainWindow),
      dialog(new SendDialog(context, &mainWindow)),
      progress(new SendProgressWindow(&mainWindow)),
      history(new SendHistoryWindow(database, &mainWindow)),
      context_(context),
      database_(database),
      mainWindow_(mainWindow),
      work_(this) {
    connect(progress, &SendProgressWindow::CancelAsked, this, &DrawingSender::Cancel);
    // On a thread of its own, which a share that does not answer may keep as long as it likes.
    std::thread([notes = SendNotesFolder(context)] { RemoveUnfinishedPackages(notes); }).detach();
}

DrawingSender::~DrawingSender() {
    work_.Stop();
}

void DrawingSender::SendGroup(std::int64_t groupNo) {
    if (groupNo <= 0) {
        context_.prompts->Message(&mainWindow_, QStringLiteral("送付するグループを選択して下さい。"));
        return;
    }
    SendFiles(groupNo, ReadRegistrations(database_, groupNo), &mainWindow_);
}

void DrawingSender::SendFiles(std::int64_t groupNo, const std::vector<StoredFile>& files, QWidget* from) {
    if (work_.Busy() || dialog->isVisible()) {
        context_.prompts->Message(from,
                                  QStringLiteral("図面の送付中です。終わってからもう一度実行して下さい。"));
        return;
    }
    const GroupRecord group = ReadGroup(database_, groupNo);
    if (group[kGroupN].empty()) {
        context_.prompts->Message(from, QStringLiteral("グループが見つかりません。"));
        return;
    }
    if (files.empty()) {
        context_.prompts->Message(from, QStringLiteral("送付するファイルがありません。"));
        return;
    }
    asking_ = from;
    groupNo_ = groupNo;
    readFrom_ = database_.Settings();
    files_ = files;
    list_ = DrawingList{};
    list_.groupName = Utf8FromCp932(group[kGroupName]);
    list_.title = Utf8FromCp932(group[kGroupMainTitle]);
    list_.subtitle = Utf8FromCp932(group[kGroupSubTitle]);
    list_.author = Utf8FromCp932(group[kGroupAuthor]);
    list_.memos = {Utf8FromCp932(group[kGroupMemo1]), Utf8FromCp932(group[kGroupMemo2]),
                   Utf8FromCp932(group[kGroupMemo3])};
    list_.sender = Utf8FromCp932(context_.settings.userName);
    const std::int64_t now = std::time(nullptr);
    list_.date = LocalTimeText(now, false);
    dialog->setParent(from, dialog->windowFlags());
    dialog->Ask(DefaultPackageName(FromCp932(group[kGroupName]), now), static_cast<int>(files.size()),
                [this](const SendChoices& choices, const std::string& note) { Chosen(choices, note); });
}

void DrawingSender::Chosen(const SendChoices& choices, const std::string& note) {
    choices_ = choices;
    list_.note = note;
    cancelAsked_ = false;
    progress->Start(QStringLiteral("ファイルを確認しています..."),
                    asking_ != nullptr ? *asking_ : mainWindow_);
    work_.Start([this, files = files_, mappings = context_.folderMappings,
                 choices](const CancelFlag& cancel) -> BackgroundWork::Done {
        Survey survey = SurveyFiles(files, mappings, choices, cancel);
        if (cancel) {
            return [this] { progress->hide(); };
        }
        return [this, survey = std::move(survey)] { Surveyed(survey); };
    });
}

void DrawingSender::Surveyed(const Survey& survey) {
    // "中止" pressed after the last file was looked at.
    if (cancelAsked_) {
        progress->hide();
        return;
    }
    const int total = static_cast<int>(survey.files.size());
    if (survey.missing == total) {
        progress->hide();
        Say(QStringLiteral("送付するファイルが見つかりません（%1 件）。").arg(total));
        return;
    }
    if (survey.missing > 0 &&
        !context_.prompts->Question(asking_, QStringLiteral("%1 件中 %2 件のファイルが見つかりません。"
                                                            "見つかったファイルだけを送付しますか？")
                                                 .arg(total)
                                                 .arg(survey.missing))) {
        progress->hide();
        return;
    }
    const QString target = QFile::decodeName(QByteArray::fromStdString(TargetPath(choices_)));
    if (survey.targetExists &&
        !context_.prompts->Question(asking_,
                                    QStringLiteral("「%1」は既にあります。置き換えますか？").arg(target))) {
        progress->hide();
        return;
    }
    Write(survey, survey.targetExists);
}

void DrawingSender::Write(const Survey& survey, bool replace) {
    SendJob job{survey,
                choices_,
                list_,
                replace,
                SendNotesFolder(context_),
                [family = JapaneseFontFamily()](const DrawingList& list) {
                    return family.isEmpty() ? std::string() : PdfOfList(list, family).toStdString();
                }};
    auto latest = std::make_shared<LatestProgress>();
    work_.Start([this, job = std::move(job), tell = work_.Teller(), latest, database = readFrom_,
                 record = RecordStart()](const CancelFlag& cancel) -> BackgroundWork::Done {
        SendOutcome outcome = WritePackage(job, cancel, [this, &tell, &latest](const SendProgress& now) {
            if (latest->Post(now)) {
                tell([this, latest] { progress->Show(latest->Take()); });
            }
        });
        // On a connection of this thread's own, to the database the set was read from: an embedded
        // database's commit waits for the disk, which the copies keep busy.
        bool recorded = true;
        if (outcome.result == SendResult::Made) {
            Database recorder(database);
            recorder.ConnectDatabase();
            recorded = RecordSend(recorder, Completed(record, outcome));
        }
        return [this, outcome = std::move(outcome), recorded] { Written(outcome, recorded); };
    });
}

SendRecord DrawingSender::RecordStart() const {
    SendRecord record;
    record.desktop = CutToBytes(ToCp932(QSysInfo::machineHostName()).value_or(std::string()), 64);
    record.userName = context_.settings.userName;
    record.groupNo = groupNo_;
    return record;
}

void DrawingSender::Written(const SendOutcome& outcome, bool recorded) {
    progress->hide();
    switch (outcome.result) {
        case SendResult::Cancelled:
            Say(QStringLiteral("図面の送付を中止しました。"));
            return;
        case SendResult::Failed:
            Say(QStringLiteral("送付用パッケージを作成できませんでした。\n") +
                QString::fromStdString(outcome.words));
            return;
        case SendResult::Made:
            break;
    }
    QString text = QStringLiteral("送付用パッケージを作成しました。\n") +
                   QFile::decodeName(QByteArray::fromStdString(TargetPath(choices_)));
    if (outcome.list.Missing() > 0) {
        text += QStringLiteral("\n見つからないファイル %1 件は図面リストに「<No File>」と記載しました。")
                    .arg(outcome.list.Missing());
    }
    if (!recorded) {
        text += QStringLiteral("\n送付の履歴をデータベースに記録できませんでした。");
    }
    Say(text);
}

void DrawingSender::Cancel() {
    if (work_.Busy()) {
        cancelAsked_ = true;
        work_.Cancel();
        progress->Button1->setEnabled(false);
    }
}

void DrawingSender::Say(const QString& text) {
    context_.prompts->Message(asking_ != nullptr ? asking_ : &mainWindow_, text);
}

void DrawingSender::ShowHistory(std::int64_t groupNo) {
    const GroupRecord group = groupNo > 0 ? ReadGroup(database_, groupNo) : GroupRecord{};
    history->Open(group[kGroupN].empty() ? 0 : groupNo, group[kGroupName]);
}
