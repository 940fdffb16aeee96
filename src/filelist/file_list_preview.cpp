#include <algorithm>

#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "filelist/thumbnail_size.h"
#include "platform/codec.h"
#include "platform/preferences.h"
#include "preview/quick_look_window.h"
#include "preview/thumbnails.h"

namespace {

const QString kThumbnailSideKey = QStringLiteral("FileList/ThumbnailSize");

}  // namespace

int TForm3::PreferredThumbnailSide() const {
    return ValidThumbnailSide(
        OpenPreferences(context_)->value(kThumbnailSideKey, kDefaultThumbnailSide).toInt());
}

void TForm3::ChangeThumbnailSide(int steps) {
    const int side = SteppedThumbnailSide(ListView1->ThumbnailSide(), steps);
    if (side == ListView1->ThumbnailSide()) {
        return;
    }
    // What was asked for at the old side is no longer wanted.
    thumbnails_->Cancel();
    ListView1->SetThumbnailSide(side);
    OpenPreferences(context_)->setValue(kThumbnailSideKey, side);
    ListView1->AskForAllThumbnails();
}

// The first selected row's, else the one the keyboard is on.
void TForm3::OpenQuickLook() {
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (ListView1->IsSelected(row)) {
            quickLookRow_ = row;
            quickLook_->ShowFile(QuickLookFileOf(row));
            return;
        }
    }
    if (const int current = ListView1->CurrentRow(); current >= 0) {
        quickLookRow_ = current;
        ListView1->SelectOnly(current);
        quickLook_->ShowFile(QuickLookFileOf(current));
    }
}

void TForm3::StepQuickLook(int steps) {
    const int count = ListView1->RowCount();
    if (count == 0) {
        return;
    }
    const int row = std::clamp(quickLookRow_ + steps, 0, count - 1);
    if (row == quickLookRow_) {
        return;
    }
    quickLookRow_ = row;
    ListView1->SelectOnly(row);
    quickLook_->ShowFile(QuickLookFileOf(row));
}

QuickLookFile TForm3::QuickLookFileOf(int row) const {
    const FileRowTexts texts = ListView1->Row(row);
    return QuickLookFile{
        ListView1->PicturePath(row),        FromCp932(texts.fileName),          FromCp932(texts.folder),
        QString::fromStdString(texts.size), QString::fromStdString(texts.time), ListView1->Icon(row)};
}
