#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

#include "dialogs/group_field_panel.h"

struct AppContext;
class Database;

// The group creation dialog: proposes the next group number, creates the master table on first use
// and inserts one master row at X = 0, Y = 0. The board learns the outcome from the public fields.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    TForm4(AppContext& context, Database& database, QWidget* parent = nullptr);

    bool Registered = false;  // a row was inserted during the last showing
    int GroupNo = 0;          // its number; meaningful only while Registered

private:
    void FormShow();
    void Button1Click();
    // Shows the proposed number of the next group in Edit1 and returns it; nothing when the largest
    // number leaves no next one.
    std::optional<std::int32_t> ShowProposedNumber();

    AppContext& context_;
    Database& database_;
    GroupFieldPanel panel_;
};
