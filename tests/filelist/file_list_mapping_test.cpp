#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "common/folder_mapping.h"
#include "file_list_drop_fixture.h"
#include "filelist/image_list.h"
#include "platform/codec.h"

using ::testing::ElementsAre;

namespace {

// Folders as Windows desktops stored them: \\FS01\図面\表\ and z:\2026\A棟\ (表 and ソ end in 0x5C).
const std::string kShareHyo = "\\\\FS01\\\x90\x7d\x96\xca\\\x95\x5c\\";
const std::string kLowerShareHyo = "\\\\fs01\\\x90\x7d\x96\xca\\\x95\x5c\\";
const std::string kDriveTou = "z:\\2026\\A\x93\x8f\\";
const std::string kSoNo = "\x83\x5c\x94\x5c.dwg";  // ソ能.dwg

// The share \\FS01\図面\ and the drive Z: both mounted at <temporary folder>/図面/ on this desktop.
class FileListMappingTest : public FileListDropTest {
protected:
    void SetUp() override {
        share = files.filePath(QStringLiteral("図面")) + QLatin1Char('/');
        context.folderMappings = {MappingOf("\\\\FS01\\\x90\x7d\x96\xca\\", ToCp932(share).value()),
                                  MappingOf("Z:\\", ToCp932(share).value()),
                                  MappingOf("\\\\FS02\\docs\\", "/nonexistent/docs/")};
        FileListDropTest::SetUp();
    }

    // A file of `size` bytes at `relative` below the mounted share, last written at `time`.
    QString MakeSharedFile(const QString& relative, qint64 size, const QDateTime& time) {
        const QString path = share + relative;
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
        EXPECT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
        return path;
    }

    QString share;
};

}  // namespace

TEST_F(FileListMappingTest, filesStoredInWindowsFormShowTheirFactsFromTheMountedShare) {
    MakeSharedFile(QStringLiteral("表/ソ能.dwg"), 100, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 9)));
    MakeSharedFile(QStringLiteral("2026/A棟/a.dwg"), 7, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    StoreRow(1, 1, kSoNo, kLowerShareHyo);
    StoreRow(1, 2, "a.dwg", kDriveTou);
    StoreRow(1, 3, "gone.dwg", kShareHyo);
    StoreRow(1, 4, "a.dwg", "\\\\FS03\\x\\");
    OpenGroup(1);

    EXPECT_THAT(Column(kColumnFolder), ElementsAre(kLowerShareHyo, kDriveTou, kShareHyo, "\\\\FS03\\x\\"));
    EXPECT_THAT(Column(kColumnFileName), ElementsAre(kSoNo, "a.dwg", "gone.dwg", "a.dwg"));
    EXPECT_THAT(Column(kColumnSize), ElementsAre("100", "7", "0", "0"));
    EXPECT_THAT(Column(kColumnTime),
                ElementsAre("2021/03/04 05:06:08", "2026/01/02 03:04:04", "<No File>", "<No File>"));
    // An image each, added as their facts came.
    EXPECT_GE(List()->ImageIndex(0), 0);
    EXPECT_GE(List()->ImageIndex(1), 0);
    EXPECT_NE(List()->ImageIndex(0), List()->ImageIndex(1));
    EXPECT_EQ(List()->ImageIndex(2), -1);
    EXPECT_EQ(List()->ImageIndex(3), -1);
}

TEST_F(FileListMappingTest, openingAndDraggingOutHandTheDesktopThePathOnThisMachine) {
    const QString hyo =
        MakeSharedFile(QStringLiteral("表/ソ能.dwg"), 1, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 8)));
    const QString tou =
        MakeSharedFile(QStringLiteral("2026/A棟/a.dwg"), 1, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 8)));
    StoreRow(1, 1, kSoNo, kShareHyo);
    StoreRow(1, 2, "gone.dwg", kShareHyo);
    StoreRow(1, 3, "a.dwg", kDriveTou);
    OpenGroup(1);
    QTreeView* view = List()->DetailsView();

    SelectRows({0});
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                       view->visualRect(view->model()->index(0, 0)).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.opened.isEmpty(); }));
    EXPECT_EQ(shell.opened, QStringList{hyo});

    view->selectAll();
    const std::unique_ptr<QMimeData> data(view->model()->mimeData(view->selectionModel()->selectedIndexes()));
    ASSERT_NE(data, nullptr);
    EXPECT_THAT(data->urls(), ElementsAre(QUrl::fromLocalFile(hyo), QUrl::fromLocalFile(tou)));
}

TEST_F(FileListMappingTest, filesRegisteredFromTheMountedShareAreStoredInWindowsFormByteForByte) {
    const QString dropped =
        MakeSharedFile(QStringLiteral("表/ソ能.dwg"), 12, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 8)));
    const QString chosen =
        MakeSharedFile(QStringLiteral("2026/A棟/a.dwg"), 34, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 8)));
    const std::string outside = MakeFile(QStringLiteral("outside.dwg"));

    ASSERT_TRUE(Drop({QUrl::fromLocalFile(dropped), Url(outside)}));
    prompts.ChooseNextFiles({chosen});
    QTest::mouseClick(Button("Button1"), Qt::LeftButton);

    // Of the mappings of the mounted folder the share's gives the stored form, before the drive's.
    EXPECT_THAT(StoredRows(1),
                ElementsAre(FileRecord{"1", kSoNo, kShareHyo}, FileRecord{"2", "outside.dwg", folder},
                            FileRecord{"3", "a.dwg", "\\\\FS01\\\x90\x7d\x96\xca\\2026\\A\x93\x8f\\"}));
    EXPECT_THAT(Column(kColumnFolder),
                ElementsAre(kShareHyo, folder, "\\\\FS01\\\x90\x7d\x96\xca\\2026\\A\x93\x8f\\"));
    ASSERT_TRUE(FactsCame());
    EXPECT_THAT(Column(kColumnSize), ElementsAre("12", "1", "34"));
}

TEST_F(FileListMappingTest, aFolderOfFullLengthIsStoredWhole) {
    // Below the share: 表ソ能\ repeated, then one name, to the column's 255 bytes in the stored form.
    const std::string shareStored = "\\\\FS01\\\x90\x7d\x96\xca\\";
    std::string stored = shareStored;
    QString relative;
    while (stored.size() + 7 + 2 <= 255) {
        stored += "\x95\x5c\x83\x5c\x94\x5c\\";
        relative += QStringLiteral("表ソ能/");
    }
    const int filler = static_cast<int>(255 - 1 - stored.size());
    stored += std::string(filler, 'x') + "\\";
    relative += QString(filler, QLatin1Char('x')) + QStringLiteral("/表.dwg");
    ASSERT_EQ(stored.size(), 255u);
    const QString path = MakeSharedFile(relative, 5, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 8)));

    ASSERT_TRUE(Drop({QUrl::fromLocalFile(path)}));
    EXPECT_THAT(StoredRows(1), ElementsAre(FileRecord{"1", "\x95\x5c.dwg", stored}));
    EXPECT_TRUE(prompts.messages.isEmpty());
    OpenGroup(1);
    EXPECT_THAT(Column(kColumnSize), ElementsAre("5"));
}

TEST_F(FileListMappingTest, pasteKeepsTheStoredBytesOfACopiedRegistration) {
    MakeSharedFile(QStringLiteral("表/ソ能.dwg"), 3, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 8)));
    StoreRow(1, 1, kSoNo, kLowerShareHyo);
    StoreRow(1, 2, "a.dwg", "\\\\FS03\\\x83\x5c\\");
    StoreGroup(2);
    OpenGroup(1);
    SelectRows({0, 1});
    QTest::mouseClick(Button("Button3"), Qt::LeftButton);
    OpenGroup(2);
    QTest::mouseClick(Button("Button4"), Qt::LeftButton);
    EXPECT_THAT(StoredRows(2), ElementsAre(FileRecord{"1", kSoNo, kLowerShareHyo},
                                           FileRecord{"2", "a.dwg", "\\\\FS03\\\x83\x5c\\"}));
    ASSERT_TRUE(FactsCame());
    EXPECT_THAT(Column(kColumnSize), ElementsAre("3", "0"));
}

// Another system's desktop stored <temporary folder>/図面/, which this one has mounted elsewhere; here
// that folder is where the shares are mounted. A row is found where its own stored form says.
TEST_F(FileListMappingTest, aRowOfAnotherSystemsFolderIsFoundThroughItsStoredFormAndShownAsStored) {
    const QString elsewhere = files.filePath(QStringLiteral("elsewhere")) + QLatin1Char('/');
    context.folderMappings.push_back(MappingOf(ToCp932(share).value(), ToCp932(elsewhere).value()));
    ASSERT_TRUE(QDir().mkpath(elsewhere + QStringLiteral("表")));
    QFile there(elsewhere + QStringLiteral("表/ソ能.dwg"));
    ASSERT_TRUE(there.open(QIODevice::WriteOnly) && there.resize(21));
    const std::string stored = ToCp932(share + QStringLiteral("表/")).value();
    StoreRow(1, 1, kSoNo, stored);
    OpenGroup(1);
    EXPECT_THAT(Column(kColumnFolder), ElementsAre(stored));
    EXPECT_THAT(Column(kColumnSize), ElementsAre("21"));
}

TEST_F(FileListMappingTest, aFileAWindowsDesktopCouldNotOpenIsNotRegisteredOnTheShare) {
    const QDateTime time(QDate(2021, 3, 4), QTime(5, 6, 8));
    const QString colon = MakeSharedFile(QStringLiteral("表/平面:1F.dwg"), 1, time);
    const QString dot = MakeSharedFile(QStringLiteral("表/ソ能."), 1, time);
    const QString fine = MakeSharedFile(QStringLiteral("表/ソ能.dwg"), 1, time);
    const std::string outside = MakeFile(QStringLiteral("平面:1F.dwg"));  // under no mapping: as it is
    ASSERT_TRUE(Drop(
        {QUrl::fromLocalFile(colon), QUrl::fromLocalFile(dot), QUrl::fromLocalFile(fine), Url(outside)}));
    EXPECT_THAT(StoredRows(1), ElementsAre(FileRecord{"1", kSoNo, kShareHyo},
                                           FileRecord{"2", "\x95\xbd\x96\xca:1F.dwg", folder}));
    EXPECT_THAT(prompts.messages,
                ElementsAre(QStringLiteral(
                                "ファイル名またはフォルダ名にWindowsで使用できない文字（\\ : * ? \" < > |、"
                                "末尾のピリオドや空白）が含まれているため登録できません。\n") +
                            colon + QLatin1Char('\n') + dot));
}
