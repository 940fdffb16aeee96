#include <QStatusBar>
#include <QTimer>

#include "common/codepage.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "filelist/image_list.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/open_reasons.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "preview/quick_look_window.h"

void TForm3::AskFacts() {
    rowLooks_->Ask(unasked_, context_.folderMappings);
    unasked_.clear();
    HurryRowsInView();
}

// Once the view has settled: a scroll turns many times in a row.
void TForm3::HurryRowsInView() {
    if (hurrying_) {
        return;
    }
    hurrying_ = true;
    QTimer::singleShot(0, this, [this] {
        hurrying_ = false;
        rowLooks_->Hurry(ListView1->LooksInView());
    });
}

void TForm3::TakeFacts(const std::vector<FileLookQueue::Answer>& answers) {
    for (const auto& [look, found] : answers) {
        if ((look & kGivenLook) != 0) {
            TakeGivenFile(look & ~kGivenLook, found);
            continue;
        }
        const int row = ListView1->RowOfLook(look);
        if (row < 0) {
            continue;  // removed meanwhile
        }
        if (const auto silent = silentRows_.find(look); silent != silentRows_.end()) {
            if (--silentShares_[silent->second] <= 0) {
                silentShares_.erase(silent->second);
            }
            silentRows_.erase(silent);
        }
        lastLooks_[ListView1->LookPath(row)] = found;
        ShowLook(row, found);
    }
    ShowSilentShares();
    if (rowLooks_->Waiting() == 0) {
        ListView1->AskForAllThumbnails();
    }
}

void TForm3::TakeGivenFile(quint64 look, const FileLook& found) {
    const auto given = givenFiles_.find(look);
    if (given == givenFiles_.end()) {
        return;
    }
    given->second = found.facts && found.facts->isFile;
    const int row = ListView1->RowOfLook(look);
    if (row < 0) {
        return;
    }
    if (const auto last = lastLooks_.find(ListView1->LookPath(row)); last != lastLooks_.end()) {
        ShowLook(row, last->second);
    }
}

void TForm3::ShowLook(int row, const FileLook& look) {
    FileRowTexts texts = ListView1->Row(row);
    const std::optional<FileFacts>& facts = look.facts;
    texts.size = facts ? std::to_string(facts->size) : std::string("0");
    texts.time = facts ? facts->lastWriteTime.toStdString() : std::string("<No File>");
    int imageIndex = -1;
    QIcon icon;
    const auto given = givenFiles_.find(ListView1->LookOf(row));
    if (given != givenFiles_.end() ? given->second.value_or(false) : facts && facts->isFile) {
        // One image per listed file: a row looked at again keeps its own.
        icon = context_.shell->IconOfType(FromCp932(texts.fileName));
        imageIndex = ListView1->ImageIndex(row) >= 0 ? ListView1->ImageIndex(row) : ImageList1->Add(icon);
    }
    ListView1->ShowFacts(row, texts, facts ? FileListView::Facts::Found : FileListView::Facts::Missing,
                         look.onDisk, imageIndex, icon);
    if (quickLook_->isVisible() && quickLookRow_ == row) {
        quickLook_->ShowFile(QuickLookFileOf(row));
    }
}

void TForm3::TakeSilence(const std::vector<quint64>& looks, const QString& rootName) {
    for (const quint64 look : looks) {
        const int row = ListView1->RowOfLook(look);
        if (row < 0 || ListView1->FactsOf(row) != FileListView::Facts::Looking) {
            continue;
        }
        FileRowTexts texts = ListView1->Row(row);
        texts.time = Cp932("応答なし");
        ListView1->ShowFacts(row, texts, FileListView::Facts::NoAnswer, QString(), -1, QIcon());
        silentRows_[look] = rootName;
        ++silentShares_[rootName];
    }
    ShowSilentShares();
}

// Each root that does not answer named once, however many rows wait on it.
void TForm3::ShowSilentShares() {
    QString names;
    for (const auto& [name, rows] : silentShares_) {
        names += QStringLiteral("「") + name + QStringLiteral("」");
    }
    if (names.isEmpty()) {
        StatusBar1->clearMessage();
    } else {
        StatusBar1->showMessage(names + QStringLiteral("が応答しません。"));
    }
}

void TForm3::OpenFile(const std::string& lookPath, const QString& shown) {
    const quint64 look = ++lastLook_;
    openings_[look] = shown;
    openLooks_->Ask({{look, lookPath}}, context_.folderMappings, true);
}

void TForm3::TakeOpenings(const std::vector<FileLookQueue::Answer>& answers) {
    for (const auto& [look, found] : answers) {
        const auto opening = openings_.find(look);
        if (opening == openings_.end()) {
            continue;
        }
        openings_.erase(opening);
        if (!found.facts || !found.facts->isFile) {
            context_.prompts->Message(this, FileNotFoundReason(found.onDisk));
            continue;
        }
        context_.shell->OpenDocument(
            this, found.onDisk, [this](const QString& reason) { context_.prompts->Message(this, reason); });
    }
}
