#include <gmock/gmock.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include "filelist/file_list_view.h"
#include "platform/folder_mapping_preferences.h"
#include "search/group_search.h"
#include "search/search_text.h"
#include "search/typed_folder.h"
#include "search_fixture.h"

using ::testing::ElementsAre;

namespace {

// \\FS01\図面\ and Z: stored by Windows desktops, both mounted at /mnt/fs01/図面/ here; 表 ends in
// the byte of a backslash.
const std::string kShare = "\\\\FS01\\\x90\x7d\x96\xca\\";
const std::string kMounted = "/mnt/fs01/\x90\x7d\x96\xca/";
const std::string kHyo = "\x95\x5c";

std::vector<int> Groups(const SearchOutcome& outcome) {
    std::vector<int> groups;
    for (const SearchHit& hit : outcome.hits) {
        groups.push_back(hit.groupNo);
    }
    return groups;
}

// The same file a.dwg in \\FS01\図面\表\ as groups 1 to 3 store it, and files beside it.
class MappedSearchTest : public SearchTest {
protected:
    MappedSearchTest() {
        for (int group = 1; group <= 6; ++group) {
            AddGroup(group, "G" + std::to_string(group));
        }
        CreateFileTables({1, 2, 3, 4, 5, 6});
        AddFile(1, 1, "a.dwg", kShare + kHyo + "\\");
        AddFile(2, 1, "a.dwg", "z:\\" + kHyo + "\\");
        AddFile(3, 1, "a.dwg", kMounted + kHyo + "/");
        AddFile(4, 1, "a.dwg", kShare + kHyo + "\x8e\xa6\\");  // 表示
        AddFile(5, 1, "A.dwg", kShare + kHyo + "\\");
        AddFile(6, 1, "a.dwg", "\\\\FS02\\\x90\x7d\x96\xca\\" + kHyo + "\\");
    }

    const FolderMappings mappings{MappingOf(kShare, kMounted), MappingOf("Z:\\", kMounted)};
};

}  // namespace

TEST_F(MappedSearchTest, theGroupsHoldingAFileAreThoseHoldingItUnderAnyFormOfItsFolder) {
    EXPECT_THAT(Groups(FindFile(other, kShare + kHyo + "\\", "a.dwg", mappings)), ElementsAre(1, 2, 3));
    EXPECT_THAT(Groups(FindFile(other, kMounted + kHyo + "/", "a.dwg", mappings)), ElementsAre(1, 2, 3));
}

TEST_F(MappedSearchTest, aFolderOfThisMachineTypedFindsTheFilesStoredUnderItsMappedForms) {
    const std::string typed = kMounted + kHyo;
    EXPECT_THAT(StoredFormsOfTyped(mappings, typed), ElementsAre(kShare + kHyo, "Z:\\" + kHyo));
    EXPECT_THAT(StoredFormsOfTyped(mappings, "/mnt/fs01/\x90\x7d\x96\xca"), ElementsAre(kShare, "Z:\\"));
    EXPECT_TRUE(StoredFormsOfTyped(mappings, "/mnt/fs02/").empty());
    // On a Windows desktop its own folder is typed in either case, with either separator.
    const FolderMappings onWindows{MappingOf(kShare, "Z:\\\x90\x7d\x96\xca\\")};
    EXPECT_THAT(StoredFormsOfTyped(onWindows, "z:/\x90\x7d\x96\xca"), ElementsAre(kShare));

    std::vector<SearchNeedle> stored;
    for (const std::string& form : StoredFormsOfTyped(mappings, typed)) {
        stored.emplace_back(form);
    }
    EXPECT_THAT(Groups(FindText(other, SearchNeedle(typed), stored)), ElementsAre(1, 2, 3, 4, 5));
}

TEST_F(MappedSearchTest, theWindowsUseTheMappingsThePreferencesKeep) {
    AppContext preferences;
    preferences.settingsFileName = SettingsPath();
    ASSERT_TRUE(WriteFolderMappings(preferences, mappings));
    Start();
    ASSERT_EQ(context.folderMappings, mappings);
    SearchWindow& window = windows->search.window;

    // The row's context menu in the file list of group 1.
    ASSERT_TRUE(board().SelectGroup(1));
    board().OpenSelectedGroup();
    auto* list = windows->form3.findChild<FileListView*>(QStringLiteral("ListView1"));
    list->SetStyle(FileListView::Style::Details);
    QAbstractItemView* view = list->DetailsView();
    ChooseGroupsHolding(*view, 0);
    QTRY_COMPARE(window.ListView1->topLevelItemCount(), 3);
    EXPECT_EQ(window.ListView1->topLevelItem(2)->text(1), QStringLiteral("G3 (3)"));

    window.ShowForTyping();
    window.Edit1->setText(QStringLiteral("/mnt/fs01/図面/表"));
    QTest::keyClick(window.Edit1, Qt::Key_Return);
    QTRY_COMPARE(window.StatusBar1->text(), QStringLiteral("5件見つかりました。"));
}
