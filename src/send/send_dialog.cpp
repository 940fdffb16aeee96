#include "send/send_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/designed_font.h"
#include "platform/prompts.h"
#include "send/package_plan.h"
#include "send/send_preferences.h"

namespace {

template <typename Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> controls) {
    auto* row = new QHBoxLayout;
    for (QWidget* control : controls) {
        row->addWidget(control);
    }
    row->addStretch(1);
    return row;
}

}  // namespace

QString DefaultPackageName(const QString& groupName, std::int64_t secondsSince1970) {
    QString name = groupName.trimmed();
    for (QChar& c : name) {
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 32) {
            c = QLatin1Char('_');
        }
    }
    const QString date = QDateTime::fromSecsSinceEpoch(secondsSince1970).toString(QStringLiteral("yyyyMMdd"));
    return name.isEmpty() ? date : name + QLatin1Char('_') + date;
}

SendDialog::SendDialog(AppContext& context, QWidget* parent)
    : QDialog(parent),
      RadioButton1(Named(new QRadioButton(QStringLiteral("フォルダ(&F)")), "RadioButton1")),
      RadioButton2(Named(new QRadioButton(QStringLiteral("ZIPファイル(&Z)")), "RadioButton2")),
      Edit1(Named(new QLineEdit, "Edit1")),
      Button1(Named(new QPushButton(QStringLiteral("参照(&B)...")), "Button1")),
      Edit2(Named(new QLineEdit, "Edit2")),
      RadioButton3(Named(new QRadioButton(QStringLiteral("すべて一つのフォルダに(&O)")), "RadioButton3")),
      RadioButton4(Named(new QRadioButton(QStringLiteral("フォルダ構成を保つ(&K)")), "RadioButton4")),
      CheckBox1(Named(new QCheckBox(QStringLiteral("CSV(&C)")), "CheckBox1")),
      ComboBox1(Named(new QComboBox, "ComboBox1")),
      CheckBox2(Named(new QCheckBox(QStringLiteral("PDF(&P)")), "CheckBox2")),
      CheckBox3(Named(new QCheckBox(QStringLiteral(
                          "ファイル名をShift_JISで格納する（古い解凍ソフト向け、65,535 ファイルまで）(&J)")),
                      "CheckBox3")),
      Memo1(Named(new QPlainTextEdit, "Memo1")),
      Label1(Named(new QLabel, "Label1")),
      OkButton(Named(new QPushButton(QStringLiteral("送付(&S)")), "OkButton")),
      CancelButton(Named(new QPushButton(QStringLiteral("キャンセル")), "CancelButton")),
      context_(context) {
    setObjectName(QStringLiteral("SendDialog"));
    setWindowTitle(QStringLiteral("図面の送付"));
    setFont(DesignedFont(13));
    ComboBox1->addItems({QStringLiteral("UTF-8（BOM付き）"), QStringLiteral("Shift_JIS")});
    Memo1->setTabChangesFocus(true);
    Memo1->setFixedHeight(60);
    Edit1->setMinimumWidth(320);
    CheckBox3->setToolTip(
        QStringLiteral("UTF-8の名前を読めない古い解凍ソフト向けです。それらはZIP64を読めないため、"
                       "65,535 を超えるファイルは入れられません（4 GB以上のファイルも展開できない"
                       "ことがあります）。"));
    auto* kind = new QButtonGroup(this);
    kind->addButton(RadioButton1);
    kind->addButton(RadioButton2);
    auto* layout = new QButtonGroup(this);
    layout->addButton(RadioButton3);
    layout->addButton(RadioButton4);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("形式:"), Row({RadioButton1, RadioButton2}));
    auto* where = new QHBoxLayout;
    where->addWidget(Edit1, 1);
    where->addWidget(Button1);
    // A row whose field is a layout gets no buddy of itself: its accelerator would show as "&W".
    auto* whereLabel = new QLabel(QStringLiteral("保存先(&W):"));
    whereLabel->setBuddy(Edit1);
    form->addRow(whereLabel, where);
    form->addRow(QStringLiteral("名前(&N):"), Edit2);
    form->addRow(QStringLiteral("フォルダ:"), Row({RadioButton3, RadioButton4}));
    form->addRow(QStringLiteral("図面リスト:"), Row({CheckBox1, ComboBox1, CheckBox2}));
    form->addRow(QStringLiteral("ZIP:"), CheckBox3);
    form->addRow(QStringLiteral("備考(&M):"), Memo1);
    OkButton->setDefault(true);
    CancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label1);
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(form);
    whole->addLayout(buttons);
    whole->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &SendDialog::Browse);
    connect(OkButton, &QPushButton::clicked, this, &SendDialog::Accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(RadioButton2, &QRadioButton::toggled, this, &SendDialog::ShowKind);
    connect(CheckBox1, &QCheckBox::toggled, ComboBox1, &QWidget::setEnabled);
}

void SendDialog::Ask(const QString& name, int files,
                     std::function<void(const SendChoices& choices, const std::string& note)> chosen) {
    chosen_ = std::move(chosen);
    const SendChoices last = ReadSendChoices(context_);
    (last.kind == PackageKind::Zip ? RadioButton2 : RadioButton1)->setChecked(true);
    Edit1->setText(QFile::decodeName(QByteArray::fromStdString(last.where)));
    Edit2->setText(name);
    (last.layout == FolderLayout::Kept ? RadioButton4 : RadioButton3)->setChecked(true);
    CheckBox1->setChecked(last.csv);
    ComboBox1->setCurrentIndex(last.csvEncoding == CsvEncoding::Cp932 ? 1 : 0);
    ComboBox1->setEnabled(last.csv);
    CheckBox2->setChecked(last.pdf);
    CheckBox3->setChecked(last.zipNames == ZipNames::Cp932);
    Memo1->clear();
    Label1->setText(QStringLiteral("送付するファイル: %1 件").arg(files));
    ShowKind();
    open();
    Edit2->setFocus();
    Edit2->selectAll();
}

void SendDialog::ShowKind() {
    CheckBox3->setEnabled(RadioButton2->isChecked());
}

void SendDialog::Browse() {
    const QString folder = context_.prompts->ChooseFolder(this, QStringLiteral("保存先の選択"));
    if (!folder.isEmpty()) {
        Edit1->setText(folder);
    }
}

std::optional<SendChoices> SendDialog::Choices() {
    const auto refuse = [this](const QString& text, QWidget* focus) {
        context_.prompts->Message(this, text);
        focus->setFocus();
        return std::nullopt;
    };
    SendChoices choices;
    choices.kind = RadioButton2->isChecked() ? PackageKind::Zip : PackageKind::Folder;
    choices.layout = RadioButton4->isChecked() ? FolderLayout::Kept : FolderLayout::Flat;
    choices.csv = CheckBox1->isChecked();
    choices.pdf = CheckBox2->isChecked();
    choices.csvEncoding = ComboBox1->currentIndex() == 1 ? CsvEncoding::Cp932 : CsvEncoding::Utf8WithBom;
    choices.zipNames = CheckBox3->isChecked() ? ZipNames::Cp932 : ZipNames::Utf8;
    if (Edit1->text().trimmed().isEmpty()) {
        return refuse(QStringLiteral("保存先のフォルダを入力して下さい。"), Edit1);
    }
    choices.where = QFile::encodeName(Edit1->text().trimmed()).toStdString();
    QString name = Edit2->text().trimmed();
    if (choices.kind == PackageKind::Zip && name.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) {
        name.chop(4);
    }
    const std::optional<std::string> bytes = ToCp932(name);
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..") ||
        name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.'))) {
        return refuse(
            QStringLiteral("名前を入力して下さい（「/」を含む名前、「.」で始まる名前は使えません）。"),
            Edit2);
    }
    if (!bytes) {
        return refuse(QStringLiteral("名前に使用できない文字が含まれています。"), Edit2);
    }
    if (static_cast<std::size_t>(QFile::encodeName(name + QStringLiteral(".zip")).size()) >
        kLongestNamePart) {
        return refuse(QStringLiteral("名前が長すぎます。"), Edit2);
    }
    choices.name = *bytes;
    if (!choices.csv && !choices.pdf) {
        return refuse(QStringLiteral("図面リストの形式（CSV、PDF）を選んで下さい。"), CheckBox1);
    }
    if (choices.csv && choices.csvEncoding == CsvEncoding::Cp932 && !ToCp932(Memo1->toPlainText())) {
        return refuse(QStringLiteral("備考にShift_JISで書けない文字が含まれています。"), Memo1);
    }
    return choices;
}

void SendDialog::Accept() {
    const std::optional<SendChoices> choices = Choices();
    if (!choices) {
        return;
    }
    WriteSendChoices(context_, *choices);
    accept();
    if (chosen_) {
        chosen_(*choices, Memo1->toPlainText().toStdString());
    }
}
