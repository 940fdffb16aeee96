#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

class Database;
class QComboBox;
class QPushButton;
class QStatusBar;
class QTreeWidget;

// "図面の送付の履歴": the sets sent from every desktop, newest first, of one group or of all.
class SendHistoryWindow : public QWidget {
    Q_OBJECT
public:
    SendHistoryWindow(Database& database, QWidget* parent);

    // Lists the sets of group `groupNo` (its name, code-page bytes) when it is not 0, else of all.
    void Open(std::int64_t groupNo, const std::string& groupName);

    QComboBox* ComboBox1;  // the selected group, or every group
    QTreeWidget* ListView1;
    QPushButton* Button1;  // 閉じる
    QStatusBar* StatusBar1;

private:
    void List();

    Database& database_;
    std::int64_t groupNo_ = 0;
};
