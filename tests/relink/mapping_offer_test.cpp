#include <QSignalSpy>

#include "missing_files_fixture.h"
#include "platform/codec.h"
#include "platform/folder_mapping_preferences.h"

using ::testing::ElementsAre;

namespace {

const std::string kShare = "\\\\FS01\\\x90\x7d\x96\xca\\";  // \\FS01\図面\ .
const QString kQuestion =
    QStringLiteral("「\\\\FS01\\図面\\」に対応するこのコンピューターのフォルダを選択してください。");

// Three files of \\FS01\図面\ registered on Windows, two of them under <temporary folder>/図面/ here,
// and one file of this machine that is gone.
class MappingOfferTest : public MissingFilesTest {
protected:
    MappingOfferTest() {
        context.settingsFileName = appFolder.filePath(QStringLiteral("qarto-groups.dat"));
        AddGroup(1, "G");
        MakeFile(QStringLiteral("図面/表/ソ能.dwg"));
        MakeFile(QStringLiteral("図面/2026/a.dwg"));
        StoreRow(1, 1, "\x83\x5c\x94\x5c.dwg", "\\\\fs01\\\x90\x7d\x96\xca\\\x95\x5c\\");
        StoreRow(1, 2, "a.dwg", kShare + "2026\\");
        StoreRow(1, 3, "gone.dwg", kShare + "2026\\");
        StoreRow(1, 4, "b.dwg", Under(QStringLiteral("gone/")));
    }

    QWidget* Offer() { return window.findChild<QWidget*>(QStringLiteral("MappingOffer")); }
    QString OfferText() { return window.findChild<QLabel*>(QStringLiteral("MappingQuestion"))->text(); }
    // Chooses the mounted share for the offer and answers the question that follows.
    void Map(bool answer) {
        prompts.ChooseNextFolder(files.filePath(QStringLiteral("図面")));
        prompts.AnswerNextQuestion(answer);
        Click("MapButton");
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return !window.Busy() && !prompts.questions.isEmpty(); }, 20000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window.Busy(); }, 20000));
    }
    QString Tried() {
        return QStringLiteral("「\\\\FS01\\図面\\」を「") + files.filePath(QStringLiteral("図面/")) +
               QStringLiteral(
                   "」に対応させると、見本の3件のうち2件のファイルが見つかります。\nこの対応を保存しますか"
                   "？");
    }

    QTemporaryDir appFolder;
};

}  // namespace

TEST_F(MappingOfferTest, theShareMostMissingFilesAreOnIsOfferedAndItsMappingKeptWhenTheUserAgrees) {
    QSignalSpy changed(&window, &MissingFilesWindow::MappingsChanged);
    OpenAndWait();
    ASSERT_THAT(Column(1), ElementsAre("1", "2", "3", "4"));
    ASSERT_TRUE(Offer()->isVisible());
    EXPECT_EQ(OfferText(), kQuestion);

    Map(true);
    EXPECT_THAT(prompts.folderCaptions, ElementsAre(kQuestion));
    EXPECT_THAT(prompts.questions, ElementsAre(Tried()));
    const FolderMappings mapped{{kShare, Under(QStringLiteral("図面/"))}};
    EXPECT_EQ(context.folderMappings, mapped);
    EXPECT_EQ(ReadFolderMappings(context), mapped);
    EXPECT_EQ(changed.count(), 1);
    // Scanned again: only what is truly missing is left, and nothing more to offer.
    EXPECT_THAT(Column(1), ElementsAre("3", "4"));
    EXPECT_FALSE(Offer()->isVisible());
}

TEST_F(MappingOfferTest, nothingIsKeptWhenTheUserDeclines) {
    OpenAndWait();
    Map(false);
    EXPECT_THAT(prompts.questions, ElementsAre(Tried()));
    EXPECT_TRUE(context.folderMappings.empty());
    EXPECT_TRUE(ReadFolderMappings(context).empty());
    EXPECT_THAT(Column(1), ElementsAre("1", "2", "3", "4"));
    EXPECT_TRUE(Offer()->isVisible());
}

TEST_F(MappingOfferTest, noOfferWhenMostMissingFilesAreNotUnderOneFolder) {
    StoreRow(1, 5, "c.dwg", "/elsewhere/");
    StoreRow(1, 6, "d.dwg", "Y:\\");
    OpenAndWait();
    ASSERT_EQ(Column(1).size(), 6);
    EXPECT_FALSE(Offer()->isVisible());
}

TEST_F(MappingOfferTest, noOfferForAFolderThatStandsOnThisDesktop) {
    // Most missing files were in folders now gone, below the temporary folder that is here.
    for (const char* folder : {"old1/", "old2/"}) {
        StoreRow(1, folder[3] == '1' ? 5 : 7, "c.dwg", Under(QString::fromLatin1(folder)));
        StoreRow(1, folder[3] == '1' ? 6 : 8, "d.dwg", Under(QString::fromLatin1(folder)));
    }
    OpenAndWait();
    ASSERT_EQ(Column(1).size(), 8);
    EXPECT_FALSE(Offer()->isVisible());
}
