#include <QString>

#include "common/drive_resolution.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "filelist/file_row_compare.h"
#include "filelist/image_list.h"
#include "platform/app_context.h"
#include "platform/file_facts.h"
#include "platform/open_reasons.h"
#include "platform/prompts.h"
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
    // The icon comes from the path as given, everything else from the path with its network drive
    // resolved; each as it stands on this machine.
    const FolderMappings& mappings = context_.folderMappings;
    // Both are one wherever no drive is redirected: the file is looked at once.
    const bool onePath = stored == given;
    const QString givenPath = StoredPathOnDisk(LocalPathOf(mappings, given.folder, given.fileName));
    const QString localPath =
        onePath ? givenPath : StoredPathOnDisk(LocalPathOf(mappings, stored.folder, stored.fileName));
    const std::optional<FileFacts> facts = FindFileFacts(localPath);
    int imageIndex = -1;
    QIcon icon;
    if (onePath ? facts && facts->isFile : FileExists(givenPath)) {
        icon = context_.shell->AssociatedIcon(givenPath);
        imageIndex = ImageList1->Add(icon);
    }

    FileRowTexts row;
    row.fileName = given.fileName;
    row.folder = stored.folder;
    row.size = facts ? std::to_string(facts->size) : std::string("0");
    row.time = facts ? facts->lastWriteTime.toStdString() : std::string("<No File>");
    row.number = std::to_string(number);
    row.storedFileName = registered ? registered->fileName : stored.fileName;
    row.storedFolder = registered ? registered->folder : stored.folder;
    ListView1->AppendRow(row, localPath, imageIndex, icon);
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
            OpenFile(ListView1->LocalPath(row));
            return;
        }
    }
}

void TForm3::OpenFile(const QString& path) {
    if (!FileExists(path)) {
        context_.prompts->Message(this, FileNotFoundReason(path));
        return;
    }
    context_.shell->OpenDocument(this, path,
                                 [this](const QString& reason) { context_.prompts->Message(this, reason); });
}
