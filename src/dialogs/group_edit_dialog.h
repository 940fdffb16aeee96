#pragma once

#include <QDialog>

struct AppContext;
class Database;

// The group editing dialog.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    TForm5(AppContext& context, Database& database, QWidget* parent = nullptr);

    bool Registered = false;  // the row was updated during the last showing
    int GroupNo = 0;          // set by the board before showing: the group to edit
};
