#pragma once

#include <QDialog>
#include <functional>

#include "send/send_job.h"

struct AppContext;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// "図面の送付": how a set of drawings is sent, what goes with it and where to. Opened over its parent
// (which it keeps from other input meanwhile); a choice refused says why and keeps it open.
class SendDialog : public QDialog {
    Q_OBJECT
public:
    SendDialog(AppContext& context, QWidget* parent);

    // Shows the choices last made, `name` as the package's name (UTF-8) and how many files are to go;
    // `chosen` hears the choices and the note (UTF-8) once they are accepted.
    void Ask(const QString& name, int files,
             std::function<void(const SendChoices& choices, const std::string& note)> chosen);

    QRadioButton* RadioButton1;  // フォルダ
    QRadioButton* RadioButton2;  // ZIPファイル
    QLineEdit* Edit1;            // 保存先
    QPushButton* Button1;        // 参照...
    QLineEdit* Edit2;            // 名前
    QRadioButton* RadioButton3;  // すべて一つのフォルダに
    QRadioButton* RadioButton4;  // フォルダ構成を保つ
    QCheckBox* CheckBox1;        // CSV
    QComboBox* ComboBox1;        // CSVの文字コード
    QCheckBox* CheckBox2;        // PDF
    QCheckBox* CheckBox3;        // ZIPの名前をShift_JISで
    QPlainTextEdit* Memo1;       // 備考
    QLabel* Label1;              // how many files
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    void Browse();
    void Accept();
    void ShowKind();
    // The choices as the controls hold them; nothing, after saying why, where they cannot be taken.
    std::optional<SendChoices> Choices();

    AppContext& context_;
    std::function<void(const SendChoices&, const std::string&)> chosen_;
};

// The name a package gets unless the user types another: the group's name and the date,
// "共有図面_20261208", with the characters no file name may hold made "_".
QString DefaultPackageName(const QString& groupName, std::int64_t secondsSince1970);
