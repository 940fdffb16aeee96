#pragma once

#include <QList>
#include <QUrl>
#include <string>

#include "file_list_fixture.h"

// The file list of group 1, which stands in the master table as every group opened from the board
// does, shown with details.
class FileListDropTest : public FileListTest {
protected:
    void SetUp() override;
    // A master row for group `number` (its file table is the fixture's).
    void StoreGroup(int number);

    QUrl Url(const std::string& path) const;
    // Drags `urls` over the list from outside the program and lets go; answers whether the list took them.
    bool Drop(const QList<QUrl>& urls);
};
