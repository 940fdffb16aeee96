#include "send/send_history_window.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStatusBar>
#include <QTimeZone>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/codec.h"
#include "platform/designed_font.h"
#include "send/send_progress_window.h"
#include "storage/send_history.h"

namespace {

QString LocalTime(const std::string& utc) {
    QDateTime time =
        QDateTime::fromString(QString::fromStdString(utc), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    time.setTimeZone(QTimeZone::utc());
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                          : QString::fromStdString(utc);
}

}  // namespace

SendHistoryWindow::SendHistoryWindow(Database& database, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ComboBox1(new QComboBox(this)),
      ListView1(new QTreeWidget(this)),
      Button1(new QPushButton(QStringLiteral("閉じる(&X)"), this)),
      StatusBar1(new QStatusBar(this)),
      database_(database) {
    setObjectName(QStringLiteral("SendHistory"));
    setWindowTitle(QStringLiteral("図面の送付の履歴"));
    setFont(DesignedFont(13));
    resize(1000, 360);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ListView1->setObjectName(QStringLiteral("ListView1"));
    Button1->setObjectName(QStringLiteral("Button1"));
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels({QStringLiteral("送付日時"), QStringLiteral("グループ名"),
                                QStringLiteral("名前"), QStringLiteral("ファイル数"),
                                QStringLiteral("見つからないファイル"), QStringLiteral("サイズ"),
                                QStringLiteral("利用者名"), QStringLiteral("コンピュータ名"),
                                QStringLiteral("図面リストのSHA-256")});
    // Wide enough for a time, a group's name, a package named after it and its date, and the counts.
    const int widths[] = {140, 130, 220, 70, 130, 80, 110, 110};
    for (int column = 0; column < 8; ++column) {
        ListView1->header()->resizeSection(column, widths[column]);
    }
    auto* top = new QHBoxLayout;
    top->addWidget(ComboBox1);
    top->addStretch(1);
    top->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ListView1, 1);
    layout->addWidget(StatusBar1);
    connect(ComboBox1, &QComboBox::activated, this, &SendHistoryWindow::List);
    connect(Button1, &QPushButton::clicked, this, &QWidget::close);
}

void SendHistoryWindow::Open(std::int64_t groupNo, const std::string& groupName) {
    groupNo_ = groupNo;
    ComboBox1->clear();
    ComboBox1->addItem(QStringLiteral("すべてのグループ"));
    if (groupNo != 0) {
        ComboBox1->addItem(QStringLiteral("グループ「%1」").arg(FromCp932(groupName)));
        ComboBox1->setCurrentIndex(1);
    }
    show();
    raise();
    activateWindow();
    List();
}

void SendHistoryWindow::List() {
    bool read = true;
    const std::vector<SendRecord> records =
        ReadSendHistory(database_, ComboBox1->currentIndex() == 1 ? groupNo_ : 0, read);
    ListView1->clear();
    for (const SendRecord& record : records) {
        auto* item = new QTreeWidgetItem(ListView1);
        item->setText(0, LocalTime(record.sentUtc));
        item->setText(1, FromCp932(record.groupName));
        item->setText(2, FromCp932(record.packageName));
        item->setText(3, QString::number(record.files));
        item->setText(4, QString::number(record.missing));
        item->setText(5, SizeText(record.bytes));
        item->setText(6, FromCp932(record.userName));
        item->setText(7, FromCp932(record.desktop));
        item->setText(8, QString::fromStdString(record.listSha256));
        for (int column : {3, 4, 5}) {
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    StatusBar1->showMessage(read ? QStringLiteral("%1 件").arg(records.size())
                                 : QStringLiteral("送付の履歴を読めませんでした。"));
}
