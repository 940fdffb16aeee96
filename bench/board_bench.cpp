// The board rebuilt from the master table, beside the same statements and the same labels made
// directly.

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QStringDecoder>
#include <QTest>
#include <map>
#include <vector>

#include "app/app_windows.h"
#include "bench_data.h"
#include "bench_program.h"
#include "bench_support.h"
#include "direct_client.h"
#include "floor.h"

namespace {

// The board is rebuilt while the user's mouse rests on it, as after the database settings dialog.
void PointAt(QWidget* board) {
    Settle();
    QTest::mouseMove(board, QPoint(300, 100));
    Settle();
}

void BoardRebuild(benchmark::State& state) {
    const int groups = static_cast<int>(state.range(0));
    const BenchFolder& folder = FolderWithGroups(groups);
    ProgramContext program(folder.ExecutablePath());
    BenchWindows windows(program.context);
    windows.form1.show();  // attaches and builds the board the first time
    PointAt(windows.form1.Board);
    TimeEach(state, {}, [&] {
        windows.form1.RebuildBoard();
        Settle();
    });
    int live = 0;
    windows.form1.GroupSlots.ForEachLive([&](int, GroupSlot&) { ++live; });
    Require(live == groups, "the board does not show every group");
}

// Swallows the paint requests that the labels of `board` post for themselves as it is shown.
struct FirstPaintsOf : QObject {
    explicit FirstPaintsOf(QWidget* board) : board(board) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        return event->type() == QEvent::UpdateLater && watched->parent() == board;
    }
    QWidget* board;
};

// A white window with one picture label and one caption label per group, the picture read once
// per picture name, the caption centred under it. Qt compares a label shown on a shown board with all
// its siblings, twice (for the mouse cursor, then for painting): so the labels are made while the
// board is hidden, and their own first paints give way to one of the whole board.
void BoardRebuildFloor(benchmark::State& state) {
    const int groups = static_cast<int>(state.range(0));
    const BenchFolder& folder = FolderWithGroups(groups);
    DirectDatabase database(folder.DatabasePath(), DirectDatabase::Open::Attach);
    QWidget window;
    window.setFont(FloorFont());
    window.setPalette(QPalette(Qt::white));
    window.setGeometry(192, 107, 608, 301);
    auto* board = new QWidget(&window);
    board->setGeometry(0, 0, 608, 206);
    window.show();
    PointAt(board);

    const QString pictureFolder = folder.FilePath(QStringLiteral("img/"));
    std::vector<QLabel*> labels;
    FirstPaintsOf firstPaints(board);
    const auto rebuild = [&] {
        board->hide();
        qDeleteAll(labels);
        labels.clear();
        if (!HasTable(database, "GRPQRT")) {
            return;
        }
        int slotCount = 0;
        database.Query("SELECT MAX(N) FROM GRPQRT",
                       [&](const DirectDatabase::Row& row) { slotCount = row.Int(0); });
        std::vector<QLabel*> groupSlots(slotCount);
        database.Query("SELECT * FROM GRPQRT");

        QStringDecoder decode = Cp932Decoder();
        std::map<std::string, QPixmap, std::less<>> pictures;
        database.Query("SELECT * FROM GRPQRT ORDER BY N", [&](const DirectDatabase::Row& row) {
            const std::string_view pictureName = row.Text(8);
            auto picture = pictures.find(pictureName);
            if (picture == pictures.end()) {
                QString path = pictureFolder + decode(Bytes(pictureName));
                if (!QFileInfo(path).isFile()) {
                    path = pictureFolder + QStringLiteral("icon1.ico");
                }
                picture = pictures.emplace(std::string(pictureName), QPixmap(path)).first;
            }
            const int x = row.Int(9);
            const int y = row.Int(10);
            auto* image = new QLabel(board);
            image->setPixmap(picture->second);
            image->setGeometry(x, y, picture->second.width(), picture->second.height());
            auto* caption = new QLabel(board);
            caption->setTextFormat(Qt::PlainText);
            caption->setText(decode(Bytes(row.Text(1))));
            caption->setAutoFillBackground(true);
            caption->adjustSize();
            caption->move(x + image->width() / 2 - caption->width() / 2, y + image->height() + 3);
            image->show();
            caption->show();
            groupSlots[row.Int(0) - 1] = image;
            labels.push_back(image);
            labels.push_back(caption);
        });
        // Each label asks to be painted as it is shown; one paint of the board serves them all.
        qApp->installEventFilter(&firstPaints);
        board->show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
        qApp->removeEventFilter(&firstPaints);
        board->update();
        Settle();
    };
    rebuild();  // like the program's first showing, so that every measured rebuild frees a board
    TimeEach(state, {}, rebuild);
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    Register("BoardRebuild", BoardRebuild)->Arg(1000)->Arg(10000),
    Register("BoardRebuildFloor", BoardRebuildFloor)->Arg(1000)->Arg(10000),
    // The same, as the board part of the start-up's floor, run beside the start-up.
    Register("StartUpBoard", BoardRebuild)->Arg(1000),
};

}  // namespace
