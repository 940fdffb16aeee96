#pragma once

#include <QWidget>
#include <string>

struct AppContext;
class Database;

// The file list of one group, shown modelessly beside the board.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    TForm3(AppContext& context, Database& database, QWidget* parent = nullptr);

    int GroupNo = 0;        // set by the board before showing
    std::string GroupName;  // code-page bytes; set by the board before showing, used in the caption

    // Kept through the settings file.
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    int ViewStyleIndex() const;
    void SetViewStyleIndex(int index);
};
