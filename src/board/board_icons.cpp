#include <QFileInfo>
#include <QFrame>
#include <QLabel>

#include "board/board_window.h"
#include "common/number.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/paths.h"
#include "storage/schema.h"

namespace {

const char* const kDefaultPicture = "icon1.ico";

}  // namespace

void TForm1::AddGroupIcon(int Index, int X, int Y, const std::string& Caption, const std::string& IconFile) {
    const int groupNo = Index + 1;
    GroupSlot* slot = Index < 0 ? nullptr : GroupSlots.Slot(groupNo);
    if (slot == nullptr) {
        return;
    }
    FreeSlot(*slot);
    const QString folder = context_.appDir + QStringLiteral("img") + FolderSeparator();
    QString picturePath = folder + FromCp932(IconFile);
    if (!QFileInfo(picturePath).isFile()) {
        picturePath = folder + QLatin1String(kDefaultPicture);
    }
    slot->X = X;
    slot->Y = Y;
    const QPixmap picture = pictures_.Load(picturePath);
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
}

void TForm1::AddGroupIconFromRow(const GroupRecord& row) {
    AddGroupIcon(ParseIntOrZero(row[kGroupN]) - 1, ParseIntOrZero(row[kGroupX]), ParseIntOrZero(row[kGroupY]),
                 row[kGroupName], row[kGroupIcon]);
}

void TForm1::RebuildBoard() {
    FreeBoard();
    if (!database_.Attached() || !database_.TableExists(kGroupTable)) {
        return;
    }
    GroupSlots.Reset(ParseIntOrZero(database_.SelectMax(kGroupTable, "N", "")));
    const int rows = database_.CountRows(kGroupTable, "");
    database_.OpenSelect("*", kGroupTable, "", "N");
    GroupRecord row;
    for (int i = 0; i < rows; ++i) {
        if (i == 0) {
            database_.ReadFirstRow(row);
        } else {
            database_.ReadNextRow(row);
        }
        AddGroupIconFromRow(row);
    }
    database_.CloseResult();
}

void TForm1::FreeSlot(GroupSlot& slot) {
    if (!slot.Live) {
        return;
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
