// A group copied with its file list by the board's copy command, beside the same statements sent
// directly and the copy's icon made of two bare labels.

#include <QLabel>
#include <QTest>
#include <map>
#include <memory>

#include "app/app_windows.h"
#include "bench_data.h"
#include "bench_program.h"
#include "bench_support.h"
#include "common/sql_literal.h"
#include "direct_client.h"
#include "floor.h"
#include "storage/database.h"
#include "storage/schema.h"

namespace {

constexpr int kGroups = 10;
constexpr int kSource = 1;
constexpr int kCopy = kGroups + 1;

// A folder per size of the group copied: its source group holds `files` files.
const BenchFolder& Data(int files) {
    static std::map<int, std::unique_ptr<BenchFolder>> folders;
    std::unique_ptr<BenchFolder>& folder = folders[files];
    if (!folder) {
        folder = std::make_unique<BenchFolder>();
        AddGroups(*folder, kGroups);
        AddFileTable(*folder, kSource,
                     DrawingFilePaths(folder->FilePath(QStringLiteral("files")), files, false));
        folder->WriteSettingsFile();
    }
    return *folder;
}

std::string CopyCondition() {
    return "N=" + SqlNumber(kCopy);
}

int CopiedRows(const BenchFolder& data) {
    DirectDatabase database(data.SetupPath(), DirectDatabase::Open::Attach);
    return HasTable(database, FileTableName(kCopy)) ? database.Query("SELECT * FROM " + FileTableName(kCopy))
                                                    : 0;
}

// The source group is selected with the mouse, as the user does before the command.
void SelectSource(TForm1& board) {
    auto* icon = board.Board->findChild<QLabel*>(QStringLiteral("Imag%1").arg(kSource));
    Require(icon != nullptr, "the source group has no icon");
    QTest::mousePress(icon, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    QTest::mouseRelease(icon, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    // A movement over the empty board completes the press; the cursor may stand there already.
    QTest::mouseMove(board.Board, QPoint(510, 160));
    QTest::mouseMove(board.Board, QPoint(520, 170));
    Require(board.SelectedGroup == kSource, "the source group is not selected");
}

void GroupCopy(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    const BenchFolder& data = Data(files);
    ProgramContext program(data.ExecutablePath());
    BenchWindows windows(program.context);
    TForm1& board = windows.form1;
    board.show();
    Settle();
    SelectSource(board);
    TimeEach(
        state,
        [&] {
            // The copy of the previous run goes, through the board's own connection that knows it.
            board.database().DeleteRows(kGroupTable, CopyCondition());
            board.database().DropTable(FileTableName(kCopy));
            board.RebuildBoard();
            Settle();
        },
        [&] {
            board.mnuCopyGroup->trigger();
            Settle();
        });
    Require(board.GroupSlots.LiveSlot(kCopy) != nullptr, "the copy has no icon");
    windows.form1.close();
    Require(CopiedRows(data) == files, "the copy does not hold every file");
}

void GroupCopyFloor(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    const BenchFolder& data = Data(files);
    DirectDatabase database(data.DatabasePath(), DirectDatabase::Open::Attach);
    QWidget window;
    window.setFont(FloorFont());
    window.setGeometry(192, 107, 608, 301);
    window.show();
    Settle();
    const QPixmap picture(data.FilePath(QStringLiteral("img/icon1.ico")));
    std::unique_ptr<QLabel> image;
    std::unique_ptr<QLabel> caption;
    const std::string source = FileTableName(kSource);
    const std::string target = FileTableName(kCopy);
    TimeEach(
        state,
        [&] {
            image.reset();
            caption.reset();
            database.Execute("DELETE FROM GRPQRT WHERE N=" + std::to_string(kCopy));
            if (HasTable(database, target)) {
                database.Execute("DROP TABLE " + target);
            }
        },
        [&] {
            std::string values;
            QString name;
            QPoint place;
            database.Query("SELECT * FROM GRPQRT WHERE N=" + std::to_string(kSource),
                           [&](const DirectDatabase::Row& row) {
                               name = Cp932Decoder()(Bytes(row.Text(1)));
                               place = QPoint(row.Int(9) + 12, row.Int(10) + 12);
                               for (unsigned column = 1; column <= 8; ++column) {
                                   values += ", " + Literal(row.IsNull(column) ? "" : row.Text(column));
                               }
                               values += ", " + std::to_string(row.Int(9) + 12) + ", " +
                                         std::to_string(row.Int(10) + 12);
                           });
            int largest = 0;
            database.Query("SELECT MAX(N) FROM GRPQRT",
                           [&](const DirectDatabase::Row& row) { largest = row.Int(0); });
            // The master row and the copied rows are written in one transaction.
            std::vector<std::string> writes{
                "INSERT INTO GRPQRT (N, GRPNAME, MTITLE, STITLE, PNAME, MEMO1, MEMO2, MEMO3, ICONP, X, Y) "
                "VALUES (" +
                std::to_string(largest + 1) + values + ")"};
            if (!HasTable(database, source)) {
                return;
            }
            if (HasTable(database, target)) {
                writes.push_back("DELETE FROM " + target);
            } else {
                database.Execute(
                    "CREATE TABLE " + target +
                    " (N INTEGER NOT NULL UNIQUE, FILE_NAME VARCHAR(255), PATH_NAME VARCHAR(255))");
            }
            database.Query("SELECT * FROM " + source);  // the rows to copy
            database.Query("SELECT * FROM " + source);  // the columns to copy
            database.Query("SELECT * FROM " + source, [&](const DirectDatabase::Row& row) {
                writes.push_back("INSERT INTO " + target + " (N, FILE_NAME, PATH_NAME) VALUES (" +
                                 std::to_string(row.Int(0)) + ", " +
                                 Literal(row.IsNull(1) ? "" : row.Text(1)) + ", " +
                                 Literal(row.IsNull(2) ? "" : row.Text(2)) + ")");
            });
            database.ExecuteAll(writes);
            image = std::make_unique<QLabel>(&window);
            image->setPixmap(picture);
            image->setGeometry(QRect(place, picture.size()));
            caption = std::make_unique<QLabel>(name, &window);
            caption->setAutoFillBackground(true);
            caption->adjustSize();
            caption->move(place.x() + image->width() / 2 - caption->width() / 2,
                          place.y() + image->height() + 3);
            image->show();
            caption->show();
            Settle();
        });
    Require(CopiedRows(data) == files, "the copy does not hold every file");
}

// 2,000 files; over a link 500 as well, the size most copies there have.
void Sizes(benchmark::internal::Benchmark* benchmark) {
    if (OverLink()) {
        benchmark->Arg(500);
    }
    benchmark->Arg(2000);
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    Register("GroupCopy", GroupCopy)->Apply(Sizes),
    Register("GroupCopyFloor", GroupCopyFloor)->Apply(Sizes),
};

}  // namespace
