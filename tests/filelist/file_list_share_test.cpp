#include <QStatusBar>
#include <QTest>
#include <QTreeView>

#include "common/codepage.h"
#include "common/folder_mapping.h"
#include "file_list_fixture.h"
#include "platform/codec.h"
#include "platform/open_reasons.h"
#include "support/sleeping_share.h"

using ::testing::ElementsAre;

namespace {

// \\FS01\図面\ as Windows desktops store it; 表 and ソ end in the byte of '\'.
const std::string kShare = "\\\\FS01\\\x90\x7d\x96\xca\\";
const std::string kHyo = kShare + "\x95\x5c\\";

// The share is mounted in the temporary folder, and its looks never come back while the window is
// used: a share that does not answer.
class StuckShareTest : public FileListTest {
protected:
    StuckShareTest() {
        context.folderMappings = {MappingOf(kShare, mounted)};
        context.fileLooks = &share.Looks();
        form = std::make_unique<TForm3>(context, db);
        form->SetViewStyleIndex(2);
    }

    QString Status() const {
        return form->findChild<QStatusBar*>(QStringLiteral("StatusBar1"))->currentMessage();
    }

    const std::string mounted = folder + "fs01/";
    SleepingShare share{mounted, std::chrono::milliseconds(200)};
};

}  // namespace

TEST_F(StuckShareTest, theListShowsEveryRowAtOnceAndAnswersWhileItsShareDoesNot) {
    MakeFile(QStringLiteral("平面図.dwg"), 10);
    const std::string facade = Cp932("立面図表ソ.dwg");
    StoreRow(1, 1, facade, kHyo);
    StoreRow(1, 2, Cp932("平面図.dwg"), folder);
    StoreRow(1, 3, "b.dxf", kHyo);
    form->GroupNo = 1;
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

    // Every row as stored at once; the local file's facts come while the share's are still looked for.
    EXPECT_THAT(Column(kColumnFileName), ElementsAre(facade, Cp932("平面図.dwg"), "b.dxf"));
    EXPECT_THAT(Column(kColumnFolder), ElementsAre(kHyo, folder, kHyo));
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("1", "2", "3"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Column(kColumnSize)[1] == "10"; }));
    EXPECT_THAT(Column(kColumnTime), ElementsAre(Cp932("確認中"), testing::_, Cp932("確認中")));

    // The window answers: sorting, and opening a file of the share says why it cannot.
    ClickHeader(kColumnNumber);
    ClickHeader(kColumnNumber);
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("3", "2", "1"));
    SelectRows({2});
    QTest::mouseDClick(
        List()->DetailsView()->viewport(), Qt::LeftButton, Qt::ControlModifier,
        List()->DetailsView()->visualRect(List()->DetailsView()->model()->index(2, 0)).center());
    const QString facadePath = FromCp932(mounted) + QStringLiteral("表/立面図表ソ.dwg");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.messages.isEmpty(); }));
    EXPECT_EQ(prompts.messages, QStringList{NoAnswerReason(facadePath, QStringLiteral("\\\\FS01\\図面\\"))});
    EXPECT_TRUE(shell.opened.isEmpty());

    // Its rows say that the share does not answer, and the status line names it once.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Column(kColumnTime)[0] == Cp932("応答なし"); }));
    EXPECT_THAT(Column(kColumnTime), ElementsAre(Cp932("応答なし"), testing::_, Cp932("応答なし")));
    EXPECT_EQ(Status(), QStringLiteral("「\\\\FS01\\図面\\」が応答しません。"));
    EXPECT_EQ(List()->DetailsView()->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
              QStringLiteral("応答なし"));

    // Closing waits for none of its looks.
    QTest::keyClick(List()->DetailsView(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(List()->RowCount(), 0);
    EXPECT_TRUE(Status().isEmpty());
}
