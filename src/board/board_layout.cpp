#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>

#include "board/board_paint.h"
#include "board/board_window.h"
#include "platform/byte_limit.h"
#include "platform/designed_font.h"

namespace {

const QColor kMoneyGreen(0xC0, 0xDC, 0xC0);
constexpr int kPanelHeight = 76;

QLabel* AddLabel(QWidget* parent, const char* name, const QString& caption, int left, int top) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

// A read-only field of the details panel: filled by the board, never reached with the Tab key.
QLineEdit* AddDetailsEdit(QWidget* parent, const char* name, int left, int top, int width, int maxBytes) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(left, top, width, 21);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    Paint(edit, QPalette::Base, kSilver);
    LimitCp932Bytes(edit, maxBytes);
    return edit;
}

QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

void AddSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

}  // namespace

void TForm1::BuildLayout() {
    setWindowTitle(QStringLiteral("Qartoグループ管理"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(DesignedFont(13));
    Paint(this, QPalette::Window, Qt::white);

    Board = new QWidget(this);
    Board->setObjectName(QStringLiteral("Board"));
    setCentralWidget(Board);
    // A sibling above the board rather than its child, so that every icon, however it is moved,
    // passes under the panel.
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Paint(Panel1, QPalette::Window, QApplication::palette().color(QPalette::Button));
    Panel1->raise();
    Board->installEventFilter(this);
    Board->setFocusPolicy(Qt::StrongFocus);
    SelectionMark = new QFrame(Board);
    SelectionMark->setObjectName(QStringLiteral("SelectionMark"));
    SelectionMark->setFrameStyle(QFrame::Box | QFrame::Plain);
    SelectionMark->setAttribute(Qt::WA_TransparentForMouseEvents);
    Paint(SelectionMark, QPalette::Window, QApplication::palette().color(QPalette::Highlight).lighter(170));
    Paint(SelectionMark, QPalette::WindowText, QApplication::palette().color(QPalette::Highlight));
    SelectionMark->hide();

    // Never shown: the storage layer lists table names by itself.
    ComboBox1 = new QComboBox(Board);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setFixedWidth(97);
    ComboBox1->hide();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    Paint(StatusBar1, QPalette::Window, kMoneyGreen);
    setStatusBar(StatusBar1);
}

void TForm1::PlaceDetailsPanel() {
    const QRect board = Board->geometry();
    Panel1->setGeometry(board.left(), board.bottom() + 1 - kPanelHeight, board.width(), kPanelHeight);
}

void TForm1::BuildDetailsPanel() {
    Label2 = AddLabel(Panel1, "Label2", QStringLiteral("グループ名"), 8, 8);
    Label6 = AddLabel(Panel1, "Label6", QStringLiteral("作成者名"), 312, 8);
    Label3 = AddLabel(Panel1, "Label3", QStringLiteral("表題"), 8, 32);
    Label4 = AddLabel(Panel1, "Label4", QStringLiteral("副題"), 8, 56);
    Edit1 = AddDetailsEdit(Panel1, "Edit1", 88, 4, 217, 32);
    Edit2 = AddDetailsEdit(Panel1, "Edit2", 368, 4, 185, 16);
    Edit3 = AddDetailsEdit(Panel1, "Edit3", 552, 4, 49, 16);
    Edit4 = AddDetailsEdit(Panel1, "Edit4", 48, 28, 553, 80);
    Edit5 = AddDetailsEdit(Panel1, "Edit5", 48, 52, 553, 80);
}

void TForm1::BuildMenu() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    mnuFile = AddMenu(menuBar(), "mnuFile", QStringLiteral("ファイル(&F)"));
    mnuMakeGroup = AddItem(mnuFile, "mnuMakeGroup", QStringLiteral("グループ作成(&N)..."));
    mnuOpenGroup = AddItem(mnuFile, "mnuOpenGroup", QStringLiteral("グループを開く(&O)"));
    AddSeparator(mnuFile, "N1");
    mnuDBset = AddItem(mnuFile, "mnuDBset", QStringLiteral("データベース設定(&D)..."));
    AddSeparator(mnuFile, "N2");
    mnuExit = AddItem(mnuFile, "mnuExit", QStringLiteral("終了(&X)"));

    mnuEdit = AddMenu(menuBar(), "mnuEdit", QStringLiteral("編集(&E)"));
    mnuMoveGroup = AddItem(mnuEdit, "mnuMoveGroup", QStringLiteral("左上へ移動(&M)"));
    mnuLocInitGroup = AddItem(mnuEdit, "mnuLocInitGroup", QStringLiteral("グループ位置整理(&S)"));
    AddSeparator(mnuEdit, "N4");
    mnuEditGroup = AddItem(mnuEdit, "mnuEditGroup", QStringLiteral("グループ編集(&E)..."));
    mnuCopyGroup = AddItem(mnuEdit, "mnuCopyGroup", QStringLiteral("グループ複製(&C)"));
    AddSeparator(mnuEdit, "N3");
    mnuDeleteGroup = AddItem(mnuEdit, "mnuDeleteGroup", QStringLiteral("グループ削除(&D)"));

    mnuTool = AddMenu(menuBar(), "mnuTool", QStringLiteral("ツール(&T)"));

    connect(mnuMakeGroup, &QAction::triggered, this, &TForm1::mnuMakeGroupClick);
    connect(mnuDBset, &QAction::triggered, this, &TForm1::mnuDBsetClick);
    connect(mnuExit, &QAction::triggered, this, &TForm1::mnuExitClick);
    connect(mnuEditGroup, &QAction::triggered, this, &TForm1::mnuEditGroupClick);
    connect(mnuOpenGroup, &QAction::triggered, this, &TForm1::mnuOpenGroupClick);
    connect(mnuMoveGroup, &QAction::triggered, this, &TForm1::mnuMoveGroupClick);
    connect(mnuLocInitGroup, &QAction::triggered, this, &TForm1::mnuLocInitGroupClick);
    connect(mnuCopyGroup, &QAction::triggered, this, &TForm1::mnuCopyGroupClick);
    connect(mnuDeleteGroup, &QAction::triggered, this, &TForm1::mnuDeleteGroupClick);
}
