#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <array>
#include <memory>
#include <mutex>

#include "search_fixture.h"
#include "storage/schema.h"
#include "support/another_desktop.h"

namespace {

// Groups 1 "Alpha" and 2 "Beta", Beta's files x.dwg and alpha.dwg; the program keeps a search index in
// a cache folder of the test's own, and the search window is open.
class IndexedSearchWindow : public SearchTest {
protected:
    void SetUp() override {
        AddAlphaAndBeta();
        context.searchIndexFolder = cache.path();
        Start();
        windows->search.mnuSearch->trigger();
    }
    SearchWindow& Window() { return windows->search.window; }
    IndexKeeper& Keeper() { return windows->search.index; }
    // The change watch's looks, taken one after another, until `done`.
    bool LookUntil(const std::function<bool()>& done) {
        ChangeWatcher& watcher = windows->search.watcher;
        return QTest::qWaitFor(
            [&] {
                if (!watcher.Looking() && !Keeper().Busy()) {
                    watcher.Check();
                }
                return done();
            },
            20000);
    }
    QString Find(const QString& text) {
        Window().Edit1->setText(text);
        QTest::keyClick(Window().Edit1, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !Window().Searching(); }, 20000));
        return Window().StatusBar1->text();
    }

    QTemporaryDir cache;
};

TEST_F(IndexedSearchWindow, whileTheIndexIsMadeTheDatabaseIsSearchedAndTheWindowSaysSo) {
    // Another desktop's write under way keeps every table from being taken into the index.
    ASSERT_TRUE(WhileAnotherDesktopWrites(
        location.settings(),
        [](Database& d) {
            return d.InsertRow(FileTableName(2), FileColumnNames(),
                               std::array<std::string, 3>{"3", "'c.dwg'", "'/d/'"});
        },
        [&] {
            ASSERT_TRUE(LookUntil([&] { return Keeper().Making(); }));
            EXPECT_EQ(Find(QStringLiteral("alpha")),
                      QStringLiteral("2件見つかりました。検索用の索引を作成しています。"));
        }));
    ASSERT_TRUE(LookUntil([&] { return !Keeper().Making(); }));
    EXPECT_EQ(Find(QStringLiteral("alpha")), QStringLiteral("2件見つかりました。"));
}

TEST_F(IndexedSearchWindow, aSearchTheIndexServesAsksTheServerNothingAndTheProgramsOwnWritesShowAtOnce) {
    ASSERT_TRUE(LookUntil([&] { return !Keeper().Making() && Keeper().View(); }));
    struct Sent {
        std::mutex mutex;
        std::vector<std::string> statements;
    };
    const auto sent = std::make_shared<Sent>();
    Window().TraceStatements([sent](const std::string& text) {
        const std::lock_guard lock(sent->mutex);
        sent->statements.push_back(text);
    });
    EXPECT_EQ(Find(QStringLiteral("ALPHA")), QStringLiteral("2件見つかりました。"));
    {
        const std::lock_guard lock(sent->mutex);
        EXPECT_TRUE(sent->statements.empty());
    }
    // Registered by this program: found before the watch's next look.
    ASSERT_TRUE(board().database().InsertRow(FileTableName(2), FileColumnNames(),
                                             std::array<std::string, 3>{"4", "'alpha2.dwg'", "'/e/'"}));
    EXPECT_EQ(Find(QStringLiteral("alpha")), QStringLiteral("3件見つかりました。"));
    EXPECT_EQ(Window().ListView1->topLevelItem(2)->text(2), QStringLiteral("alpha2.dwg"));
}

}  // namespace
