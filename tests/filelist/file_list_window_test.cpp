#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "common/codepage.h"
#include "file_list_fixture.h"
#include "filelist/image_list.h"
#include "platform/codec.h"
#include "platform/open_reasons.h"
#include "storage/schema.h"
#include "support/context_menu.h"

using ::testing::ElementsAre;

TEST_F(FileListTest, emptyGroupShowsItsCaptionAndNoRows) {
    OpenGroup(1, Cp932("図面集"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("グループ名 【図面集】 (N:1)"));
    EXPECT_EQ(List()->RowCount(), 0);
}

TEST_F(FileListTest, missingTableListsNothingButKeepsTheCaption) {
    OpenGroup(9, "Z");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("グループ名 【Z】 (N:9)"));
    EXPECT_EQ(List()->RowCount(), 0);
}

TEST_F(FileListTest, listsRowsInAscendingNumberWithFileFacts) {
    const std::string present = MakeFile(QStringLiteral("b.dwg"), 1234);
    QFile file(QString::fromStdString(present));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        file.setFileTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)), QFileDevice::FileModificationTime));
    file.close();
    StoreRow(1, 7, "gone.dwg", folder);
    StoreRow(1, 2, "b.dwg", folder);
    StoreRow(1, 10, "", "");
    OpenGroup(1);

    EXPECT_THAT(Column(kColumnNumber), ElementsAre("2", "7", "10"));
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("b.dwg", "gone.dwg", ""));
    EXPECT_THAT(Column(kColumnFolder), ElementsAre(folder, folder, ""));
    EXPECT_THAT(Column(kColumnSize), ElementsAre("1234", "0", "0"));
    EXPECT_THAT(Column(kColumnTime), ElementsAre("2020/01/02 03:04:04", "<No File>", "<No File>"));
    EXPECT_EQ(List()->ImageIndex(0), 0);
    EXPECT_EQ(List()->ImageIndex(1), -1);
    EXPECT_EQ(List()->ImageIndex(2), -1);
    EXPECT_EQ(Images()->Count(), 1);
}

TEST_F(FileListTest, showsTheFullSizeOfFilesBeyondTwoGibibytes) {
    MakeFile(QStringLiteral("big.dwg"), 3LL << 30);
    StoreRow(1, 1, "big.dwg", folder);
    OpenGroup(1);
    EXPECT_THAT(Column(kColumnSize), ElementsAre("3221225472"));
}

TEST_F(FileListTest, backslashIsAnOrdinaryCharacterOfAName) {
    MakeFile(QStringLiteral("a\\b.dwg"), 5);
    StoreRow(1, 1, "a\\b.dwg", folder);
    OpenGroup(1);
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("a\\b.dwg"));
    EXPECT_THAT(Column(kColumnSize), ElementsAre("5"));
}

TEST_F(FileListTest, resolvesRedirectedDrivesDToZOnly) {
    MakeFile(QStringLiteral("a.dwg"), 3);
    const std::string share = folder.substr(0, folder.size() - 1);  // the temporary folder, no separator
    shell.drives = {{"X:", share}, {"C:", share}, {"x:", share}};
    StoreRow(1, 1, "a.dwg", "X:/");
    StoreRow(1, 2, "a.dwg", "C:/");
    StoreRow(1, 3, "a.dwg", "x:/");
    StoreRow(1, 4, "a.dwg", "Y:/");
    OpenGroup(1);
    EXPECT_THAT(Column(kColumnFolder), ElementsAre(folder, "C:/", "x:/", "Y:/"));
    EXPECT_THAT(Column(kColumnSize), ElementsAre("3", "0", "0", "0"));
    // The existence test and the icon look at the path as stored.
    EXPECT_EQ(List()->ImageIndex(0), -1);
}

TEST_F(FileListTest, sortsByEveryColumnAscendingAndDescendingOnTheSecondClickWithAnArrow) {
    MakeFile(QStringLiteral("Beta.dwg"), 300);
    MakeFile(QStringLiteral("alpha.dwg"), 20);
    for (const auto& [name, when] :
         {std::pair{QStringLiteral("Beta.dwg"), QDateTime(QDate(2021, 5, 1), QTime(9, 0))},
          std::pair{QStringLiteral("alpha.dwg"), QDateTime(QDate(2019, 5, 1), QTime(9, 0))}}) {
        QFile file(files.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    StoreRow(1, 2, "Beta.dwg", folder);
    StoreRow(1, 9, "_missing.dwg", "/nowhere/");
    StoreRow(1, 10, "alpha.dwg", folder);
    form->SetViewStyleIndex(2);
    OpenGroup(1);
    ASSERT_THAT(Column(kColumnFileName), ElementsAre("Beta.dwg", "_missing.dwg", "alpha.dwg"));

    ClickHeader(kColumnFileName);  // a-z fold to A-Z, which sort before "_"
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("alpha.dwg", "Beta.dwg", "_missing.dwg"));
    ClickHeader(kColumnNumber);  // numerically: 9 before 10
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("2", "9", "10"));
    ClickHeader(kColumnFolder);
    EXPECT_THAT(Column(kColumnFolder), ElementsAre("/nowhere/", folder, folder));
    ClickHeader(kColumnSize);
    EXPECT_THAT(Column(kColumnSize), ElementsAre("0", "20", "300"));
    ClickHeader(kColumnTime);  // "<No File>" after every dated row
    EXPECT_THAT(Column(kColumnTime), ElementsAre("2019/05/01 09:00:00", "2021/05/01 09:00:00", "<No File>"));
    const QHeaderView* header = List()->DetailsView()->header();
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    ClickHeader(kColumnTime);  // the same header again turns the order round
    EXPECT_THAT(Column(kColumnTime), ElementsAre("<No File>", "2021/05/01 09:00:00", "2019/05/01 09:00:00"));
    EXPECT_EQ(header->sortIndicatorSection(), kColumnTime);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    ClickHeader(kColumnTime);
    EXPECT_THAT(Column(kColumnTime), ElementsAre("2019/05/01 09:00:00", "2021/05/01 09:00:00", "<No File>"));
    OpenGroup(1);  // listed anew in number order, without an arrow
    EXPECT_FALSE(header->isSortIndicatorShown());
    ClickHeader(kColumnTime);
    EXPECT_THAT(Column(kColumnTime), ElementsAre("2019/05/01 09:00:00", "2021/05/01 09:00:00", "<No File>"));
}

TEST_F(FileListTest, sortingKeepsTheSelectedRows) {
    StoreRow(1, 1, "c.dwg", folder);
    StoreRow(1, 2, "a.dwg", folder);
    StoreRow(1, 3, "b.dwg", folder);
    form->SetViewStyleIndex(2);
    OpenGroup(1);
    SelectRows({0});
    ClickHeader(kColumnFileName);
    ASSERT_THAT(Column(kColumnFileName), ElementsAre("a.dwg", "b.dwg", "c.dwg"));
    EXPECT_FALSE(List()->IsSelected(0));
    EXPECT_TRUE(List()->IsSelected(2));
}

TEST_F(FileListTest, aReloadSelectsRowsAgainByTheirWholeRegistration) {
    StoreRow(1, 1, "a.dwg", folder);
    StoreRow(1, 2, "b.dwg", folder);
    form->SetViewStyleIndex(2);
    OpenGroup(1);
    SelectRows({0, 1});
    // Another desktop removed the last row and registered another file under its number.
    ASSERT_TRUE(db.DeleteRows(FileTableName(1), "N=2"));
    StoreRow(1, 2, "c.dwg", folder);
    form->Reload();
    ASSERT_THAT(Column(kColumnFileName), ElementsAre("a.dwg", "c.dwg"));
    EXPECT_TRUE(List()->IsSelected(0));
    EXPECT_FALSE(List()->IsSelected(1));
}

TEST_F(FileListTest, viewStyleFollowsTheComboBox) {
    OpenGroup(1);
    auto* combo = form->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    EXPECT_EQ(List()->CurrentStyle(), FileListView::Style::LargeIcons);
    EXPECT_FALSE(List()->DetailsView()->isVisible());
    EXPECT_EQ(List()->IconsAndListView()->viewMode(), QListView::IconMode);

    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(List()->CurrentStyle(), FileListView::Style::List);
    EXPECT_EQ(List()->IconsAndListView()->viewMode(), QListView::ListMode);
    EXPECT_EQ(List()->IconsAndListView()->flow(), QListView::TopToBottom);
    EXPECT_FALSE(List()->DetailsView()->isVisible());
    // The icons flow in rows again after the list's columns.
    QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_EQ(List()->IconsAndListView()->flow(), QListView::LeftToRight);
    QTest::keyClick(combo, Qt::Key_Down);

    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(List()->CurrentStyle(), FileListView::Style::Details);
    ASSERT_TRUE(List()->DetailsView()->isVisible());
    const QHeaderView* header = List()->DetailsView()->header();
    EXPECT_TRUE(header->isVisible());
    const QStringList captions{"ファイル名", "フォルダ名", "サイズ", "更新日時", "No"};
    const std::vector<int> widths{120, 160, 80, 140, 50};
    for (int column = 0; column < kColumnCount; ++column) {
        EXPECT_EQ(header->model()->headerData(column, Qt::Horizontal).toString(), captions[column]);
        EXPECT_EQ(header->sectionSize(column), widths[column]);
    }
    EXPECT_EQ(form->ViewStyleIndex(), 2);
}

TEST_F(FileListTest, styleFromTheSettingsAppliesWhenShownAndOutOfRangeShowsIcons) {
    form->SetViewStyleIndex(1);
    OpenGroup(1);
    EXPECT_EQ(List()->CurrentStyle(), FileListView::Style::List);
    form->SetViewStyleIndex(7);
    OpenGroup(1);
    EXPECT_EQ(List()->CurrentStyle(), FileListView::Style::LargeIcons);
    EXPECT_EQ(form->ViewStyleIndex(), -1);
}

TEST_F(FileListTest, columnWidthsAreKept) {
    form->SetColumnWidth(1, 222);
    form->SetColumnWidth(4, 0);
    EXPECT_EQ(form->ColumnWidth(1), 222);
    EXPECT_EQ(form->ColumnWidth(4), 0);
    EXPECT_EQ(form->ColumnWidth(0), 120);
}

TEST_F(FileListTest, doubleClickOpensOnlyTheFirstSelectedRowWhenItsFileExists) {
    const std::string first = MakeFile(QStringLiteral("first.dwg"));
    const std::string second = MakeFile(QStringLiteral("second.dwg"));
    StoreRow(1, 1, "gone.dwg", folder);
    StoreRow(1, 2, "first.dwg", folder);
    StoreRow(1, 3, "second.dwg", folder);
    form->SetViewStyleIndex(2);
    OpenGroup(1);
    QTreeView* view = List()->DetailsView();

    SelectRows({1, 2});
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                       view->visualRect(view->model()->index(2, 0)).center());
    ASSERT_TRUE(List()->IsSelected(1) && List()->IsSelected(2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.opened.isEmpty(); }));
    EXPECT_EQ(shell.opened, QStringList{QString::fromStdString(first)});

    shell.opened.clear();
    // The missing file is now the first selected row; row 2, pressed last, is where the double-click
    // lands (the view takes one only on the row last pressed).
    SelectRows({0, 2, 2});
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                       view->visualRect(view->model()->index(2, 0)).center());
    ASSERT_TRUE(List()->IsSelected(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.messages.isEmpty(); }));
    EXPECT_TRUE(shell.opened.isEmpty());
}

TEST_F(FileListTest, openingAFileThatIsNotThereSaysSo) {
    StoreRow(1, 1, "gone.dwg", folder);
    form->SetViewStyleIndex(2);
    OpenGroup(1);
    QTreeView* view = List()->DetailsView();
    SelectRows({0});
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                       view->visualRect(view->model()->index(0, 0)).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.messages.isEmpty(); }));
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_EQ(prompts.messages, QStringList{FileNotFoundReason(FromCp932(folder + "gone.dwg"))});
}

TEST_F(FileListTest, theContextMenuOpensShowsInTheFolderAndCopiesThePaths) {
    const std::string a = MakeFile(QStringLiteral("軸組図表.dxf"));
    const std::string b = MakeFile(QStringLiteral("b.dwg"));
    StoreRow(1, 1, Cp932("軸組図表.dxf"), folder);
    StoreRow(1, 2, "b.dwg", folder);
    StoreRow(1, 3, "gone.dwg", folder);
    form->SetViewStyleIndex(2);
    OpenGroup(1);
    QTreeView* view = List()->DetailsView();
    ChooseFromContextMenu(*view, 0, QStringLiteral("mnuOpen"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.opened.isEmpty(); }));
    EXPECT_EQ(shell.opened, QStringList{FromCp932(a)});
    ChooseFromContextMenu(*view, 2, QStringLiteral("mnuOpen"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.messages.isEmpty(); }));
    EXPECT_EQ(prompts.messages, QStringList{FileNotFoundReason(FromCp932(folder + "gone.dwg"))});
    ChooseFromContextMenu(*view, 1, QStringLiteral("mnuOpenFolder"));
    EXPECT_EQ(shell.shownInFolder, QStringList{FromCp932(b)});
    SelectRows({0, 1});
    ChooseFromContextMenu(*view, 1, QStringLiteral("mnuCopyPath"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), FromCp932(a) + QLatin1Char('\n') + FromCp932(b));
}

TEST_F(FileListTest, closingEmptiesTheListAndTheImages) {
    MakeFile(QStringLiteral("a.dwg"));
    StoreRow(1, 1, "a.dwg", folder);
    OpenGroup(1);
    ASSERT_EQ(Images()->Count(), 1);
    QTest::mouseClick(Button("Button2"), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(List()->RowCount(), 0);
    EXPECT_EQ(Images()->Count(), 0);

    OpenGroup(1);
    ASSERT_EQ(List()->RowCount(), 1);
    QTest::keyClick(List()->IconsAndListView(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(List()->RowCount(), 0);
}

TEST_F(FileListTest, panelHoldsTheDesignedControlsInTabOrder) {
    OpenGroup(1);
    const std::vector<std::pair<const char*, QString>> buttons{{"Button1", "ファイル追加登録(&A)"},
                                                               {"Button2", "閉じる(&X)"},
                                                               {"Button3", "コピー(&C)"},
                                                               {"Button4", "貼付(&P)"},
                                                               {"Button5", "削除(&D)"}};
    for (const auto& [name, caption] : buttons) {
        EXPECT_EQ(Button(name)->text(), caption) << name;
        EXPECT_EQ(Button(name)->height(), 25) << name;
    }
    EXPECT_EQ(Button("Button1")->width(), 145);
    EXPECT_EQ(Button("Button2")->width(), 89);
    auto* combo = form->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    EXPECT_EQ(combo->size(), QSize(105, 21));
    EXPECT_EQ(form->findChild<QWidget*>(QStringLiteral("Panel1"))->height(), 34);
    EXPECT_EQ(Button("Button1")->nextInFocusChain(), Button("Button2"));
    EXPECT_EQ(Button("Button2")->nextInFocusChain(), combo);
    EXPECT_EQ(combo->nextInFocusChain(), Button("Button3"));
    EXPECT_EQ(Button("Button3")->nextInFocusChain(), Button("Button4"));
    EXPECT_EQ(Button("Button4")->nextInFocusChain(), Button("Button5"));
}
