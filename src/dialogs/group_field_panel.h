#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "storage/records.h"

struct AppContext;
class QDialog;
class QFrame;
class QLineEdit;
class QPushButton;

// The window, the fields of a group and the commands around them that the group creation and
// editing dialogs share: each of them owns one and adds its own showing and saving.
class GroupFieldPanel {
public:
    GroupFieldPanel(QDialog& dialog, AppContext& context, const QString& caption, const QString& saveCaption);

    // Edit1..Edit9 from texts N..ICONP of the record.
    void ShowRecord(const GroupRecord& record);
    // The eight descriptive texts (Edit2..Edit9) as code-page bytes, exactly as typed. Nothing, after
    // telling the user why, when one holds a quote (the focus then goes to the group name) or a
    // character the code page cannot represent.
    std::optional<std::vector<std::string>> CheckedTexts();

    void Button2Click();  // clear
    void Button3Click();  // close
    void Button4Click();  // browse for the icon picture

    QFrame* Panel1;
    QLineEdit* Edit1;  // the number: shown, never typed
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QLineEdit* Edit8;
    QLineEdit* Edit9;
    QPushButton* Button1;  // create or save: the dialog connects it
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

private:
    std::array<QLineEdit*, 8> TextEdits() const;

    QDialog& dialog_;
    AppContext& context_;
};
