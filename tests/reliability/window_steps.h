#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "filelist/file_row.h"

class QWidget;
class ScriptedPrompts;
class TForm1;
class TForm3;

// Runs the group creation command, typing `name` and pressing the create button; `meanwhile` runs
// while the dialog is open, before the button is pressed.
void CreateGroup(TForm1& board, const QString& name, const std::function<void()>& meanwhile = {});

// Selects the group's icon with the mouse and opens its file list with the menu command.
void OpenFileList(TForm1& board, int groupNo);
// The rows of the list once each has the facts of its file.
std::vector<FileRowTexts> ListedRows(TForm3& fileList);
// Selects every row with the keyboard, as Ctrl+A does.
void SelectAllRows(TForm3& fileList);
// The add button, the file picker answering with `paths`.
void AddFiles(TForm3& fileList, ScriptedPrompts& prompts, const QStringList& paths);
// Every row selected and the remove button pressed, the question answered Yes.
void RemoveAllRows(TForm3& fileList, ScriptedPrompts& prompts);
