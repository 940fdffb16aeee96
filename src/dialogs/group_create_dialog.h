#pragma once

#include <QDialog>

struct AppContext;
class Database;

// The group creation dialog.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    TForm4(AppContext& context, Database& database, QWidget* parent = nullptr);

    bool Registered = false;  // a row was inserted during the last showing
    int GroupNo = 0;          // its number; meaningful only while Registered
};
