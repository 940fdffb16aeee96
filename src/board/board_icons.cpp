#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <optional>
#include <vector>

#include "board/board_window.h"
#include "common/number.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/paths.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

namespace {

const char* const kDefaultPicture = "icon1.ico";

}  // namespace

QPixmap TForm1::GroupPicture(const std::string& IconFile) {
    if (rebuilding_) {
        const auto found = rebuildPictures_.find(IconFile);
        if (found != rebuildPictures_.end()) {
            return found->second;
        }
    }
    const QString folder = context_.appDir + QStringLiteral("img") + FolderSeparator();
    QString picturePath = folder + FromCp932(IconFile);
    if (!QFileInfo(picturePath).isFile()) {
        picturePath = folder + QLatin1String(kDefaultPicture);
    }
    const QPixmap picture = pictures_.Load(picturePath);
    if (rebuilding_) {
        rebuildPictures_.emplace(IconFile, picture);
    }
    return picture;
}

void TForm1::AddGroupIcon(int Index, int X, int Y, const std::string& Caption, const std::string& IconFile) {
    const int groupNo = Index + 1;
    GroupSlot* slot = Index < 0 ? nullptr : GroupSlots.Slot(groupNo);
    if (slot == nullptr) {
        return;
    }
    FreeSlot(*slot);
    slot->X = X;
    slot->Y = Y;
    const QPixmap picture = GroupPicture(IconFile);
    if (picture.isNull()) {
        return;
    }

    auto* image = new QLabel(Board);
    image->setObjectName(QStringLiteral("Imag%1").arg(groupNo));
    image->setProperty("tag", groupNo);
    image->setScaledContents(false);
    image->setPixmap(picture);
    image->resize(picture.size());
    RouteMouse(image);

    auto* caption = new QLabel(Board);
    caption->setObjectName(QStringLiteral("Labe%1").arg(groupNo));
    caption->setProperty("tag", groupNo);
    caption->setTextFormat(Qt::PlainText);
    caption->setText(FromCp932(Caption));
    caption->setAutoFillBackground(true);
    // The mouse over a caption reaches no handler, not even the board's.
    caption->setAttribute(Qt::WA_NoMousePropagation);
    caption->adjustSize();

    slot->Image = image;
    slot->Label = caption;
    PlaceIcon(*slot, X, Y);
    image->show();
    caption->show();
    slot->Live = true;
    if (groupNo == markedGroup_) {
        MarkSelected(groupNo);
    }
}

void TForm1::AddGroupIconFromRow(const GroupRecord& row) {
    AddGroupIcon(ParseIntOrZero(row[kGroupN]) - 1, ParseIntOrZero(row[kGroupX]), ParseIntOrZero(row[kGroupY]),
                 row[kGroupName], row[kGroupIcon]);
}

namespace {

// Swallows the paint requests that labels post for themselves as their board is shown.
struct FirstPaintsOf : QObject {
    explicit FirstPaintsOf(QWidget* board) : board(board) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        return event->type() == QEvent::UpdateLater && watched->parent() == board;
    }
    QWidget* board;
};

}  // namespace

void TForm1::RebuildBoard() {
    // Qt compares every label shown on a shown board with all its siblings, for the cursor and again
    // for painting: a board of thousands of groups is torn down and built hidden, then shown and
    // painted once as a whole.
    Board->hide();
    FreeBoard();
    rebuilding_ = true;
    // The rows and how the table stood, at one moment: a change made after it is one the watch sees.
    std::vector<GroupRecord> rows;
    std::optional<TableState> state;
    int largest = 0;
    const bool listed = database_.Attached();
    database_.ReadTogether([&] {
        if (!listed || !database_.TableExists(kGroupTable)) {
            return;
        }
        state = ReadTableState(database_, kGroupTable);
        largest = ParseIntOrZero(database_.SelectMax(kGroupTable, "N", ""));
        // The state's count is the one the rows are read with: the table is scanned once, not twice.
        const int count = state ? static_cast<int>(state->rows) : database_.CountRows(kGroupTable, "");
        database_.OpenSelect("*", kGroupTable, "", "N");
        GroupRecord row;
        WalkRows(database_, count, row, [&] { rows.push_back(row); });
    });
    if (listed) {
        GroupSlots.Reset(largest);
        for (const GroupRecord& row : rows) {
            AddGroupIconFromRow(row);
        }
        if (onViewRead) {
            onViewRead(kGroupTable, state);
        }
    }
    rebuilding_ = false;
    rebuildPictures_.clear();
    FirstPaintsOf firstPaints(Board);
    qApp->installEventFilter(&firstPaints);
    Board->show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    qApp->removeEventFilter(&firstPaints);
    Board->update();
}

void TForm1::FreeSlot(GroupSlot& slot) {
    if (!slot.Live) {
        return;
    }
    if (slot.Image->property("tag").toInt() == markedGroup_) {
        SelectionMark->hide();
    }
    delete slot.Image;
    delete slot.Label;
    slot.Image = nullptr;
    slot.Label = nullptr;
    slot.Live = false;
}

void TForm1::FreeBoard() {
    GroupSlots.ForEachLive([this](int, GroupSlot& slot) { FreeSlot(slot); });
    GroupSlots.Reset(0);
}
