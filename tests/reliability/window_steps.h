#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "filelist/file_row.h"

class QWidget;
class TForm1;
class TForm3;

// Runs the group creation command, typing `name` and pressing the create button; `meanwhile` runs
// while the dialog is open, before the button is pressed.
void CreateGroup(TForm1& board, const QString& name, const std::function<void()>& meanwhile = {});

// Opens the file list for a group as the board does: closed, told the group, shown.
void OpenFileList(TForm3& fileList, int groupNo, const std::string& groupName);
std::vector<FileRowTexts> ListedRows(TForm3& fileList);
// Selects every row with the keyboard, as Ctrl+A does.
void SelectAllRows(TForm3& fileList);
