#include "platform/prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/app_title.h"

namespace {

// "text|patterns|text|patterns" to Qt's "text (pattern pattern)" entries joined by ";;".
QString QtFilter(const QString& windowsFilter) {
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i];
        const int open = text.lastIndexOf(QLatin1Char('('));
        if (open > 0 && text.endsWith(QLatin1Char(')'))) {
            text = text.left(open).trimmed();
        }
        QString patterns = parts[i + 1];
        entries << text + QStringLiteral(" (") + patterns.replace(QLatin1Char(';'), QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace

void QtPrompts::Message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

namespace {

bool AskYesOrNo(QWidget* parent, const QString& text, bool yesByDefault) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yesByDefault ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace

bool QtPrompts::Question(QWidget* parent, const QString& text) {
    return AskYesOrNo(parent, text, true);
}

bool QtPrompts::QuestionDefaultNo(QWidget* parent, const QString& text) {
    return AskYesOrNo(parent, text, false);
}

QStringList QtPrompts::OpenFiles(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::ReadOnly, false);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QString QtPrompts::OpenPicture(QWidget* parent, const QString& folder, const QString& fileName,
                               const QString& filter) {
    QFileDialog dialog(parent, QString(), folder, QtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!fileName.isEmpty()) {
        dialog.selectFile(fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

QString QtPrompts::ChooseFile(QWidget* parent, const QString& caption, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, caption, folder);
}

QString QtPrompts::ChooseFolder(QWidget* parent, const QString& caption) {
    return QFileDialog::getExistingDirectory(parent,
                                             caption.isEmpty() ? QStringLiteral("フォルダの選択") : caption);
}
