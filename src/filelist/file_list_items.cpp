#include <QString>

#include "common/drive_resolution.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "filelist/file_row_compare.h"
#include "filelist/image_list.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/file_facts.h"
#include "platform/shell.h"

std::pair<std::string, std::string> TForm3::AddFileItem(std::int64_t number, const std::string& path) {
    return AddFileRow(number, path, std::nullopt);
}

std::pair<std::string, std::string> TForm3::AddFileRow(std::int64_t number, const std::string& path,
                                                       const std::optional<StoredPath>& registered) {
    // The icon comes from the path as given, everything else from the path with its network drive
    // resolved; each as it stands on this machine.
    const FolderMappings& mappings = context_.folderMappings;
    const StoredPath given = StoredPathOf(mappings, path);
    StoredPath stored = given;
    if (OnRedirectableDrive(path)) {
        stored = StoredNames(path);
    }
    // Both are one wherever no drive is redirected: the file is looked at once.
    const bool onePath = stored == given;
    const QString givenPath = FromCp932(LocalPathOf(mappings, given.folder, given.fileName));
    const QString localPath =
        onePath ? givenPath : FromCp932(LocalPathOf(mappings, stored.folder, stored.fileName));
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
    SortColumn = column;
    ListView1->SortRows([this](const FileRowTexts& item1, const FileRowTexts& item2) {
        return ListView1Compare(item1, item2, SortColumn);
    });
}

void TForm3::ListView1DblClick() {
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (ListView1->IsSelected(row)) {
            const QString path = ListView1->LocalPath(row);
            if (FileExists(path)) {
                context_.shell->OpenDocument(this, path);
            }
            return;
        }
    }
}
