#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "program_fixture.h"

class QAbstractItemView;

// A program run over a fresh database that `other`, another desktop, fills and changes.
class SearchTest : public BoardTest {
protected:
    // A master row with a name and a third memo line (code-page bytes; empty is NULL) at 0, 0.
    void AddGroup(int number, const std::string& name, const std::string& memo3 = "");
    // Creates the file tables of `groups` in one transaction.
    void CreateFileTables(const std::vector<int>& groups);
    void AddFile(int group, int number, const std::string& fileName, const std::string& folder);
    // Groups 1 "Alpha" and 2 "Beta", Beta's files x.dwg and alpha.dwg in /d/.
    void AddAlphaAndBeta();
    std::vector<FileRecord> FilesOf(int group);
    // Chooses "このファイルを含むグループ(&G)..." in the context menu of a row of a file list view.
    static void ChooseGroupsHolding(QAbstractItemView& view, int row);
};

// A text of the test written in UTF-8, as code-page bytes.
std::string J(std::string_view utf8);
