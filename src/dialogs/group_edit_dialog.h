#pragma once

#include <QDialog>
#include <string>

#include "dialogs/group_field_panel.h"
#include "storage/records.h"

struct AppContext;
class Database;

// The group editing dialog: shows the stored texts of group GroupNo and writes them back changed;
// the group's number and position stay as they are.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    TForm5(AppContext& context, Database& database, QWidget* parent = nullptr);

    bool Registered = false;  // the row was updated during the last showing
    int GroupNo = 0;          // set by the board before showing: the group to edit
    // A save was refused during the last showing because another desktop had changed the row since
    // it was read; the dialog shows the row as it is now.
    bool ChangedElsewhere = false;

    // X and Y of the row as read at showing; written back unchanged.
    std::string LoadedX;
    std::string LoadedY;

private:
    void FormShow();
    void Button1Click();

    AppContext& context_;
    Database& database_;
    GroupFieldPanel panel_;
    GroupRecord loaded_;  // the row as read at showing: what a save may overwrite
};
