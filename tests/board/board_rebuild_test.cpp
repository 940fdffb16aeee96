#include <QFile>
#include <QFrame>
#include <QLabel>

#include "board/caption_placement.h"
#include "common/codepage.h"
#include "picture_files.h"
#include "program_fixture.h"
#include "storage/schema.h"

namespace {

using BoardRebuild = BoardTest;

QColor CentreColour(const QLabel* icon) {
    const QImage image = icon->pixmap().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

}  // namespace

TEST_F(BoardRebuild, groupsOneTwoAndFiveGiveFiveSlotsNamedAndTaggedByNumber) {
    InsertGroup(1, "A", "", 10, 20);
    InsertGroup(2, "B", "", 80, 0);
    InsertGroup(5, Cp932("グループ５"), "", 144, 64);
    Start();
    TForm1& form = board();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(form.GroupSlots.SlotCount(), 5);
    EXPECT_EQ(form.GroupSlots.LiveSlot(3), nullptr);
    EXPECT_EQ(form.GroupSlots.LiveSlot(4), nullptr);
    const struct {
        int number;
        QString caption;
        QPoint position;
    } expected[] = {{1, "A", QPoint(10, 20)}, {2, "B", QPoint(80, 0)}, {5, "グループ５", QPoint(144, 64)}};
    for (const auto& group : expected) {
        SCOPED_TRACE(group.number);
        GroupSlot* slot = form.GroupSlots.LiveSlot(group.number);
        ASSERT_NE(slot, nullptr);
        QLabel* icon = IconOf(form, group.number);
        QLabel* caption = CaptionOf(form, group.number);
        ASSERT_TRUE(icon && caption);
        EXPECT_EQ(slot->Image, icon);
        EXPECT_EQ(slot->Label, caption);
        EXPECT_EQ(icon->property("tag").toInt(), group.number);
        EXPECT_EQ(caption->property("tag").toInt(), group.number);
        EXPECT_EQ(icon->parentWidget(), form.Board);
        EXPECT_EQ(icon->pos(), group.position);
        EXPECT_EQ(QPoint(slot->X, slot->Y), group.position);
        EXPECT_EQ(icon->size(), QSize(32, 32));
        EXPECT_EQ(caption->text(), group.caption);
        EXPECT_TRUE(icon->isVisible() && caption->isVisible());
    }
    EXPECT_EQ(IconOf(form, 3), nullptr);
    EXPECT_EQ(CaptionOf(form, 4), nullptr);
}

TEST_F(BoardRebuild, storedPositionsAreUsedAsTheyAreAndNullCountsAsZero) {
    InsertGroup(1, "null x", "", std::nullopt, 40);
    InsertGroup(2, "null y", "", 40, std::nullopt);
    InsertGroup(3, "negative", "", -20, -7);
    Start();
    EXPECT_EQ(IconOf(board(), 1)->pos(), QPoint(0, 40));
    EXPECT_EQ(IconOf(board(), 2)->pos(), QPoint(40, 0));
    EXPECT_EQ(IconOf(board(), 3)->pos(), QPoint(-20, -7));
}

TEST_F(BoardRebuild, captionIsCentredUnderItsIconOnTheWindowsWhite) {
    InsertGroup(1, "a caption wider than its icon", "", 200, 30);
    InsertGroup(2, "<b>&amp;</b>", "", 0, 100);
    Start();
    QLabel* icon = IconOf(board(), 1);
    QLabel* caption = CaptionOf(board(), 1);
    EXPECT_GT(caption->width(), icon->width());
    EXPECT_EQ(caption->x(), CaptionLeft(200, 32, caption->width()));
    EXPECT_EQ(caption->y(), 30 + 32 + 3);
    EXPECT_TRUE(caption->autoFillBackground());
    EXPECT_EQ(caption->palette().color(caption->backgroundRole()), QColor(Qt::white));
    // A name is shown as typed, never read as markup.
    EXPECT_EQ(CaptionOf(board(), 2)->textFormat(), Qt::PlainText);
    EXPECT_EQ(CaptionOf(board(), 2)->text(), QStringLiteral("<b>&amp;</b>"));
}

TEST_F(BoardRebuild, aGroupsOwnPictureOrElseTheDefaultOne) {
    WriteFile(PicturePath("own.bmp"), BitmapBytes(QSize(48, 24), Qt::blue));
    WriteFile(PicturePath(QString::fromUtf8("絵.wmf")), WmfBytes(QSize(40, 40)));
    InsertGroup(1, "own", "own.bmp", 0, 0);
    InsertGroup(2, "missing", "nothing.bmp", 0, 0);
    InsertGroup(3, "empty", "", 0, 0);
    InsertGroup(4, "folder", "..", 0, 0);
    InsertGroup(5, "japanese name", Cp932("絵.wmf"), 0, 0);
    Start();
    EXPECT_EQ(IconOf(board(), 1)->size(), QSize(48, 24));
    EXPECT_EQ(CentreColour(IconOf(board(), 1)), QColor(Qt::blue));
    for (int fallback : {2, 3, 4}) {
        EXPECT_EQ(IconOf(board(), fallback)->size(), QSize(32, 32)) << fallback;
        EXPECT_EQ(CentreColour(IconOf(board(), fallback)), QColor(Qt::red)) << fallback;
    }
    EXPECT_EQ(IconOf(board(), 5)->size(), QSize(40, 40));
}

TEST_F(BoardRebuild, aPictureThatCannotBeReadLeavesOnlyThatGroupOff) {
    QFile::remove(PicturePath("icon1.ico"));
    WriteFile(PicturePath("own.bmp"), BitmapBytes(QSize(32, 32), Qt::blue));
    WriteFile(PicturePath("broken.emf"), EmfBytes(QSize(32, 32)).left(60));
    InsertGroup(1, "default missing", "", 0, 0);
    InsertGroup(2, "own", "own.bmp", 0, 0);
    InsertGroup(3, "damaged", "broken.emf", 0, 0);
    Start();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(board().GroupSlots.SlotCount(), 3);
    EXPECT_EQ(board().GroupSlots.LiveSlot(1), nullptr);
    EXPECT_EQ(board().GroupSlots.LiveSlot(3), nullptr);
    EXPECT_NE(board().GroupSlots.LiveSlot(2), nullptr);
    for (int off : {1, 3}) {
        EXPECT_EQ(IconOf(board(), off), nullptr);
        EXPECT_EQ(CaptionOf(board(), off), nullptr);
    }
}

TEST_F(BoardRebuild, emptyOrMissingMasterTableGivesAnEmptyBoard) {
    Start();
    EXPECT_EQ(board().GroupSlots.SlotCount(), 0);
    board().close();

    ASSERT_TRUE(other.DropTable(kGroupTable));
    Start();
    EXPECT_EQ(board().GroupSlots.SlotCount(), 0);
    EXPECT_TRUE(board().Board->findChildren<QLabel*>().isEmpty());
}

TEST_F(BoardRebuild, onlyPositiveGroupNumbersGetASlotHoweverLarge) {
    InsertGroup(-3, "negative", "", 0, 0);
    InsertGroup(0, "zero", "", 0, 0);
    InsertGroup(1, "one", "", 0, 0);
    InsertGroup(2000000000, "huge", "", 100, 0);
    Start();
    TForm1& form = board();
    EXPECT_EQ(form.GroupSlots.SlotCount(), 2000000000);
    EXPECT_NE(form.GroupSlots.LiveSlot(1), nullptr);
    EXPECT_NE(form.GroupSlots.LiveSlot(2000000000), nullptr);
    EXPECT_EQ(IconOf(form, 2000000000)->pos(), QPoint(100, 0));
    EXPECT_EQ(IconOf(form, 0), nullptr);
    EXPECT_EQ(IconOf(form, -3), nullptr);
    int live = 0;
    form.GroupSlots.ForEachLive([&](int, GroupSlot&) { ++live; });
    EXPECT_EQ(live, 2);
}

TEST_F(BoardRebuild, theDetailsPanelStaysAboveAnIconBelowItsEdge) {
    InsertGroup(1, "under the panel", "", 4, 230);
    Start();
    TForm1& form = board();
    QLabel* icon = IconOf(form, 1);
    ASSERT_TRUE(form.Panel1->geometry().intersects(icon->geometry().translated(form.Board->pos())));
    const QPoint inside = icon->mapTo(&form, QPoint(2, 16));
    QWidget* top = form.childAt(inside);
    EXPECT_TRUE(top == form.Panel1 || form.Panel1->isAncestorOf(top));
}

TEST_F(BoardRebuild, closingFreesTheBoardAndDetaches) {
    InsertGroup(1, "A", "", 0, 0);
    Start();
    board().close();
    EXPECT_EQ(board().GroupSlots.SlotCount(), 0);
    EXPECT_EQ(IconOf(board(), 1), nullptr);
    EXPECT_FALSE(board().database().Attached());
}
