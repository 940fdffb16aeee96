#include "filelist/file_list_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QListView>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "common/number.h"
#include "filelist/file_list_view.h"
#include "filelist/image_list.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/designed_font.h"
#include "platform/open_reasons.h"
#include "platform/prompts.h"
#include "platform/window_showing.h"
#include "preview/quick_look_window.h"
#include "preview/thumbnail_maker.h"
#include "preview/thumbnails.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int width) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(width, 25);
    return button;
}

}  // namespace

TForm3::TForm3(AppContext& context, Database& database, QWidget* parent)
    : QWidget(parent, Qt::Window),
      context_(context),
      database_(database),
      thumbnails_(new Thumbnails(
          std::make_shared<ThumbnailMaker>(DesktopThumbnails::ForThisUser(),
                                           DesktopThumbnailers(DesktopThumbnailers::DataFoldersOfThisUser())),
          this)),
      rowLooks_(new FileLookQueue(*context.fileLooks, this)),
      openLooks_(new FileLookQueue(*context.fileLooks, this)),
      ListView1(new FileListView(this, *thumbnails_)),
      ImageList1(new ImageList(this)),
      Panel1(new QWidget(this)),
      StatusBar1(new QStatusBar(this)),
      quickLook_(new QuickLookWindow(*thumbnails_, this)) {
    setObjectName(QStringLiteral("Form3"));
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ImageList1->setObjectName(QStringLiteral("ImageList1"));
    Panel1->setObjectName(QStringLiteral("Panel1"));
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setFont(DesignedFont(13));
    setAcceptDrops(true);
    move(193, 109);
    resize(654, 317);

    BuildPanel();
    StatusBar1->setAutoFillBackground(true);
    QPalette moneyGreen = StatusBar1->palette();
    moneyGreen.setColor(QPalette::Window, QColor(192, 220, 192));
    StatusBar1->setPalette(moneyGreen);

    auto* layout = new QVBoxLayout(this);
    // The window keeps the size the user gave it, however narrow; the buttons are cut off then.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ListView1, 1);
    layout->addWidget(Panel1);
    layout->addWidget(StatusBar1);

    connect(ListView1, &FileListView::ColumnClicked, this, &TForm3::ListView1ColumnClick);
    connect(ListView1, &FileListView::DoubleClicked, this, &TForm3::ListView1DblClick);
    connect(ListView1, &FileListView::ThumbnailStepAsked, this, &TForm3::ChangeThumbnailSide);
    connect(quickLook_, &QuickLookWindow::StepAsked, this, &TForm3::StepQuickLook);
    connect(ListView1, &FileListView::ViewMoved, this, &TForm3::HurryRowsInView);
    connect(rowLooks_, &FileLookQueue::Answered, this, &TForm3::TakeFacts);
    connect(rowLooks_, &FileLookQueue::NotAnswering, this, &TForm3::TakeSilence);
    connect(openLooks_, &FileLookQueue::Answered, this, &TForm3::TakeOpenings);
    connect(openLooks_, &FileLookQueue::NotAnswering, this,
            [this](const std::vector<quint64>& looks, const QString& rootName) {
                for (const quint64 look : looks) {
                    if (const auto opening = openings_.find(look); opening != openings_.end()) {
                        context_.prompts->Message(this, NoAnswerReason(opening->second, rootName));
                        openings_.erase(opening);
                    }
                }
            });
    for (QWidget* view : {static_cast<QWidget*>(ListView1->IconsAndListView()),
                          static_cast<QWidget*>(ListView1->DetailsView())}) {
        view->installEventFilter(this);
    }
    BuildContextMenu();
    // A window restored from the task bar shows again without being opened for a group.
    OnEveryShowing(*this, [this] { FormShow(); });
    // A group of the database being left: nothing may be added to it in another one.
    listening_ = database_.Listen([this](Database::ConnectionEvent event) {
        if (event == Database::ConnectionEvent::Detached) {
            close();
        }
    });
}

void TForm3::BuildPanel() {
    Panel1->setFixedHeight(34);
    Button1 = MakeButton(Panel1, "Button1", QStringLiteral("ファイル追加登録(&A)"), 145);
    Button2 = MakeButton(Panel1, "Button2", QStringLiteral("閉じる(&X)"), 89);
    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setFixedSize(105, 21);
    ComboBox1->addItems(
        {QStringLiteral("アイコン表示"), QStringLiteral("リスト表示"), QStringLiteral("詳細表示")});
    ComboBox1->setCurrentIndex(0);
    Button3 = MakeButton(Panel1, "Button3", QStringLiteral("コピー(&C)"), 75);
    Button4 = MakeButton(Panel1, "Button4", QStringLiteral("貼付(&P)"), 75);
    Button5 = MakeButton(Panel1, "Button5", QStringLiteral("削除(&D)"), 75);

    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(8, 0, 8, 0);
    row->setSpacing(8);
    QWidget* previous = ListView1;
    for (QWidget* control :
         std::initializer_list<QWidget*>{Button1, Button2, ComboBox1, Button3, Button4, Button5}) {
        row->addWidget(control, 0, Qt::AlignVCenter);
        setTabOrder(previous, control);
        previous = control;
    }
    row->addStretch(1);

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connect(ComboBox1, &QComboBox::activated, this, &TForm3::ComboBox1Select);
    connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm3::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm3::Button5Click);
}

int TForm3::ColumnWidth(int column) const {
    return ListView1->ColumnWidth(column);
}

void TForm3::SetColumnWidth(int column, int width) {
    ListView1->SetColumnWidth(column, width);
}

int TForm3::ViewStyleIndex() const {
    return ComboBox1->currentIndex();
}

// An index the combo box does not have leaves it with none selected, which shows large icons.
void TForm3::SetViewStyleIndex(int index) {
    ComboBox1->setCurrentIndex(index);
}

std::string TForm3::TableName() const {
    return FileTableName(GroupNo);
}

void TForm3::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button2->click();
        return;
    }
    // Ctrl and "+" (also where "+" takes Shift, or is "=" without it), Ctrl and "-".
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal) {
            ChangeThumbnailSide(1);
            return;
        }
        if (event->key() == Qt::Key_Minus) {
            ChangeThumbnailSide(-1);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            OpenQuickLook();
            return true;
        }
        // A file manager's keys do what the buttons do.
        static constexpr std::pair<QKeySequence::StandardKey, void (TForm3::*)()> kCommandKeys[] = {
            {QKeySequence::Delete, &TForm3::Button5Click},
            {QKeySequence::Copy, &TForm3::Button3Click},
            {QKeySequence::Paste, &TForm3::Button4Click},
        };
        for (const auto& [keys, command] : kCommandKeys) {
            if (key->matches(keys)) {
                (this->*command)();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm3::FormShow() {
    setWindowTitle(QStringLiteral("グループ名 【") + FromCp932(GroupName) + QStringLiteral("】 (N:") +
                   QString::number(GroupNo) + QLatin1Char(')'));
    // The looks of the rows listed before are not waited for; what they found shows until the rows'
    // own looks come.
    rowLooks_->Cancel();
    unasked_.clear();
    givenFiles_.clear();
    silentRows_.clear();
    silentShares_.clear();
    ShowSilentShares();
    ListView1->Clear();
    ImageList1->Clear();
    ListView1->SetThumbnailSide(PreferredThumbnailSide());
    ApplyViewStyle();

    // The rows and how the table stood, at one moment: a change made after it is one the watch sees.
    const std::string table = TableName();
    std::vector<FileRecord> records;
    std::optional<TableState> state;
    database_.ReadTogether([&] {
        state = ReadTableState(database_, table);
        // The state's count is the one the rows are read with: the table is scanned once, not twice.
        const int count = state ? static_cast<int>(state->rows) : database_.CountRows(table, "");
        const int opened = database_.OpenSelect("*", table, "", "N");
        FileRecord record;
        WalkRows(database_, std::min(count, opened), record, [&] { records.push_back(record); });
    });
    listing_ = true;
    for (const FileRecord& record : records) {
        AddStoredFileItem(ParseIntOrZero(record[kFileN]), StoredPath{record[kFilePath], record[kFileName]});
    }
    listing_ = false;
    AskFacts();
    if (onViewRead) {
        onViewRead(table, state);
    }
    ListView1->AskForAllThumbnails();
    KeyboardOnRows();
}

void TForm3::KeyboardOnRows() {
    if (ListView1->RowCount() > 0 && ListView1->CurrentRow() < 0) {
        ListView1->SetCurrentRow(0);
    }
    ListView1->setFocus();
}

void TForm3::FormClose() {
    rowLooks_->Cancel();
    openLooks_->Cancel();
    unasked_.clear();
    givenFiles_.clear();
    lastLooks_.clear();
    openings_.clear();
    silentRows_.clear();
    silentShares_.clear();
    ShowSilentShares();
    thumbnails_->Cancel();
    quickLook_->close();
    quickLookRow_ = -1;
    ListView1->Clear();
    ImageList1->Clear();
}

void TForm3::Button2Click() {
    close();
}

void TForm3::ComboBox1Select() {
    ApplyViewStyle();
    ListView1->AskForAllThumbnails();
}

void TForm3::ApplyViewStyle() {
    switch (ComboBox1->currentIndex()) {
        case 1:
            ListView1->SetStyle(FileListView::Style::List);
            break;
        case 2:
            ListView1->SetStyle(FileListView::Style::Details);
            break;
        default:
            ListView1->SetStyle(FileListView::Style::LargeIcons);
            break;
    }
}
