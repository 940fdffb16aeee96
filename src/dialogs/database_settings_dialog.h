#pragma once

#include <QDialog>

struct AppContext;
class Database;
class QLineEdit;
class QPushButton;

// The database settings dialog: where the database lives and the default author name. It holds no
// values of its own: the edits are filled from the connection settings at every showing, and OK
// writes them back, creates the database when it is missing and proves it can be attached.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(AppContext& context, Database& database, QWidget* parent = nullptr);

private:
    void FormShow();
    void Button1Click();
    // Chooses the data folder with the desktop's folder dialog.
    void Button3Click();

    AppContext& context_;
    Database& database_;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
};
