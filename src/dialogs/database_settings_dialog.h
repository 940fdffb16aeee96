#pragma once

#include <QDialog>

struct AppContext;
class Database;

// The database settings dialog: where the database lives and the default author name.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(AppContext& context, Database& database, QWidget* parent = nullptr);
};
