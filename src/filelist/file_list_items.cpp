#include <QString>

#include "common/path_parts.h"
#include "filelist/drive_resolution.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "filelist/file_row_compare.h"
#include "filelist/image_list.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/file_facts.h"
#include "platform/paths.h"
#include "platform/shell.h"

std::pair<std::string, std::string> TForm3::AddFileItem(std::int64_t number, const std::string& path) {
    // The row's icon and caption come from the path as given; what is shown and stored besides
    // comes from the path with its network drive resolved.
    const QString localPath = FromCp932(path);
    int imageIndex = -1;
    QIcon icon;
    if (FileExists(localPath)) {
        icon = context_.shell->AssociatedIcon(localPath);
        imageIndex = ImageList1->Add(icon);
    }
    const std::string resolved = ResolvedPath(path);
    std::pair<std::string, std::string> stored{FileNamePart(resolved, PathSeparators()),
                                               FolderPart(resolved, PathSeparators())};

    FileRowTexts row;
    row.fileName = FileNamePart(path, PathSeparators());
    row.folder = stored.second;
    row.size = "0";
    row.time = "<No File>";
    const QString resolvedPath = resolved == path ? localPath : FromCp932(resolved);
    if (const std::optional<FileFacts> facts = FindFileFacts(resolvedPath)) {
        row.size = std::to_string(facts->size);
        row.time = facts->lastWriteTime.toStdString();
    }
    row.number = std::to_string(number);
    // Thumbnails are asked for by the path the existence test found the file at.
    ListView1->AppendRow(row, imageIndex, icon, imageIndex >= 0 ? localPath : QString());
    return stored;
}

std::pair<std::string, std::string> TForm3::StoredNames(const std::string& path) {
    const std::string resolved = ResolvedPath(path);
    return {FileNamePart(resolved, PathSeparators()), FolderPart(resolved, PathSeparators())};
}

std::string TForm3::ResolvedPath(const std::string& path) {
    return ResolveDriveOfPath(path, [this](std::string_view drive) { return ResolveNetworkDrive(drive); });
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
            const FileRowTexts texts = ListView1->Row(row);
            const QString path = FromCp932(texts.folder + texts.fileName);
            if (FileExists(path)) {
                context_.shell->OpenDocument(this, path);
            }
            return;
        }
    }
}
