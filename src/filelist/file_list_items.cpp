#include <QString>

#include "common/codepage.h"
#include "common/drive_resolution.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "filelist/file_row_compare.h"
#include "filelist/image_list.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/shell.h"

std::pair<std::string, std::string> TForm3::AddFileItem(std::int64_t number, const std::string& path) {
    const StoredPath given = StoredPathOf(context_.folderMappings, path);
    return AddRow(number, given, OnRedirectableDrive(path) ? StoredNames(path) : given, std::nullopt);
}

void TForm3::AddStoredFileItem(std::int64_t number, const StoredPath& registered) {
    const std::string path = registered.folder + registered.fileName;
    const StoredPath given = SplitStoredPath(path);
    AddRow(number, given,
           OnRedirectableDrive(path)
               ? SplitStoredPath(ResolveDriveOfPath(
                     path, [this](std::string_view drive) { return ResolveNetworkDrive(drive); }))
               : given,
           registered);
}

std::pair<std::string, std::string> TForm3::AddRow(std::int64_t number, const StoredPath& given,
                                                   const StoredPath& stored,
                                                   const std::optional<StoredPath>& registered) {
    // Shown as given, looked for where the path with its network drive resolved stands on this
    // machine; nothing of the file is looked at here.
    const std::string lookPath = LocalPathOf(context_.folderMappings, stored.folder, stored.fileName);
    const QString fileName = FromCp932(given.fileName);
    FileRowTexts row;
    row.fileName = given.fileName;
    row.folder = stored.folder;
    row.time = Cp932("確認中");
    row.number = std::to_string(number);
    row.storedFileName = registered ? registered->fileName : stored.fileName;
    row.storedFolder = registered ? registered->folder : stored.folder;
    const quint64 look = ++lastLook_;
    ListView1->AppendRow(row, lookPath, look, context_.shell->IconOfType(fileName));
    if (const auto last = lastLooks_.find(lookPath); last != lastLooks_.end()) {
        ShowLook(ListView1->RowCount() - 1, last->second);
    }
    unasked_.push_back({look, lookPath});
    // A redirected drive's file is there, and shows its icon, as its path stands before resolving.
    if (const std::string givenPath = LocalPathOf(context_.folderMappings, given.folder, given.fileName);
        givenPath != lookPath) {
        givenFiles_[look] = std::nullopt;
        unasked_.push_back({look | kGivenLook, givenPath});
    }
    if (!listing_) {
        AskFacts();
    }
    return {stored.fileName, stored.folder};
}

StoredPath TForm3::StoredNames(const std::string& path) {
    return StoredPathOf(context_.folderMappings, path,
                        [this](std::string_view drive) { return ResolveNetworkDrive(drive); });
}

std::string TForm3::ResolveNetworkDrive(std::string_view drive) {
    return context_.shell->RemoteNameOfDrive(drive);
}

void TForm3::ListView1ColumnClick(int column) {
    // The column the rows are sorted by again turns their order round.
    SortDescending = column == ListView1->SortArrowColumn() && !SortDescending;
    SortColumn = column;
    ListView1->SortRows([this](const FileRowTexts& item1, const FileRowTexts& item2) {
        const int order = ListView1Compare(item1, item2, SortColumn);
        return SortDescending ? -order : order;
    });
    ListView1->ShowSortArrow(column, SortDescending);
}

void TForm3::ListView1DblClick() {
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (ListView1->IsSelected(row)) {
            OpenFile(ListView1->LookPath(row), ListView1->LocalPath(row));
            return;
        }
    }
}
