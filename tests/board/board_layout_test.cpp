#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "program_fixture.h"

namespace {

using BoardLayout = ProgramTest;

QStringList Captions(QMenu* menu) {
    QStringList captions;
    for (QAction* item : menu->actions()) {
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text()) + QLatin1Char('=') +
                        item->objectName();
    }
    return captions;
}

}  // namespace

TEST_F(BoardLayout, windowAsDesignedWithoutSettingsFile) {
    Start();
    TForm1& form = board();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Qartoグループ管理"));
    EXPECT_EQ(form.pos(), QPoint(192, 107));
    EXPECT_EQ(form.ClientSize(), QSize(608, 301));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(form.font().pixelSize(), 13);
    EXPECT_EQ(form.font().families(),
              (QStringList{"ＭＳ ゴシック", "MS Gothic", "IPAGothic", "Noto Sans CJK JP"}));

    // The board fills the client area above the status bar; the panel covers its bottom 76 pixels.
    EXPECT_EQ(form.Board->geometry().top(), form.menuBar()->height());
    EXPECT_EQ(form.Board->height(), 301 - 19);
    EXPECT_EQ(form.Panel1->geometry(), QRect(0, form.Board->geometry().bottom() + 1 - 76, 608, 76));
    EXPECT_EQ(form.StatusBar1->height(), 19);
    EXPECT_EQ(form.StatusBar1->palette().color(QPalette::Window), QColor(0xC0, 0xDC, 0xC0));
    // Without settings there is no database: the status line says where to set one up.
    EXPECT_EQ(form.StatusBar1->currentMessage(), TForm1::NoDatabaseHint());
    EXPECT_TRUE(form.ComboBox1->isHidden());
    EXPECT_EQ(form.ComboBox1->width(), 97);

    // After a resize the panel still follows the bottom edge.
    form.SetClientSize(700, 400);
    EXPECT_EQ(form.ClientSize(), QSize(700, 400));
    EXPECT_EQ(form.Panel1->geometry(), QRect(0, form.menuBar()->height() + 400 - 19 - 76, 700, 76));
}

TEST_F(BoardLayout, detailsPanelHoldsFiveReadOnlyFieldsOutOfTheTabOrder) {
    Start();
    TForm1& form = board();
    const struct {
        QLineEdit* edit;
        QRect geometry;
    } fields[] = {{form.Edit1, QRect(88, 4, 217, 21)},
                  {form.Edit2, QRect(368, 4, 185, 21)},
                  {form.Edit3, QRect(552, 4, 49, 21)},
                  {form.Edit4, QRect(48, 28, 553, 21)},
                  {form.Edit5, QRect(48, 52, 553, 21)}};
    for (const auto& field : fields) {
        SCOPED_TRACE(field.edit->objectName().toStdString());
        EXPECT_EQ(field.edit->parentWidget(), form.Panel1);
        EXPECT_EQ(field.edit->geometry(), field.geometry);
        EXPECT_TRUE(field.edit->isReadOnly());
        EXPECT_FALSE(field.edit->focusPolicy() & Qt::TabFocus);
        EXPECT_EQ(field.edit->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
    }
    const struct {
        QLabel* label;
        QString caption;
        QPoint position;
    } labels[] = {{form.Label2, "グループ名", QPoint(8, 8)},
                  {form.Label6, "作成者名", QPoint(312, 8)},
                  {form.Label3, "表題", QPoint(8, 32)},
                  {form.Label4, "副題", QPoint(8, 56)}};
    for (const auto& label : labels) {
        EXPECT_EQ(label.label->text(), label.caption);
        EXPECT_EQ(label.label->pos(), label.position);
    }
}

TEST_F(BoardLayout, menuHoldsEveryCommandWithItsAccelerator) {
    Start();
    TForm1& form = board();
    EXPECT_EQ(form.menuBar()->objectName(), QStringLiteral("MainMenu1"));
    EXPECT_EQ(form.mnuFile->title(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(Captions(form.mnuFile),
              (QStringList{"グループ作成(&N)...=mnuMakeGroup", "グループを開く(&O)=mnuOpenGroup",
                           "図面の送付(&T)...=mnuSend", "図面の送付の履歴(&H)...=mnuSendHistory", "-=N1",
                           "データベース設定(&D)...=mnuDBset", "-=N2", "終了(&X)=mnuExit"}));
    EXPECT_EQ(form.mnuEdit->title(), QStringLiteral("編集(&E)"));
    EXPECT_EQ(Captions(form.mnuEdit),
              (QStringList{"左上へ移動(&M)=mnuMoveGroup", "グループ位置整理(&S)=mnuLocInitGroup", "-=N4",
                           "グループ編集(&E)...=mnuEditGroup", "グループ複製(&C)=mnuCopyGroup", "-=N3",
                           "グループ削除(&D)=mnuDeleteGroup"}));
    for (QAction* item : form.mnuFile->actions() + form.mnuEdit->actions()) {
        EXPECT_TRUE(item->isEnabled() && item->isVisible());
    }
}
