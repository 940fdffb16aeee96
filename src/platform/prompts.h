#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every message box and file picker the windows show goes through this seam, so that tests can
// answer them. The real one shows Qt dialogs; tests install a scripted one.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A plain message box with one OK button, captioned with the application title.
    virtual void Message(QWidget* parent, const QString& text) = 0;
    // The confirmation box: title "確認", buttons "はい(&Y)" (default) and "いいえ(&N)" (Esc).
    // True only for Yes.
    virtual bool Question(QWidget* parent, const QString& text) = 0;
    // The same with "いいえ(&N)" as the default, for a Yes that others cannot see coming.
    virtual bool QuestionDefaultNo(QWidget* parent, const QString& text) = 0;
    // Multi-select file-open dialog (folder and files must exist); the chosen paths, empty on cancel.
    virtual QStringList OpenFiles(QWidget* parent) = 0;
    // Picture-open dialog starting in `folder` with `fileName` filled in; `filter` in the Windows
    // form "text|patterns|text|patterns". The chosen path, empty on cancel.
    virtual QString OpenPicture(QWidget* parent, const QString& folder, const QString& fileName,
                                const QString& filter) = 0;
    // One existing file, any kind, with `caption` as its title, starting in `folder`; empty on cancel.
    virtual QString ChooseFile(QWidget* parent, const QString& caption, const QString& folder) = 0;
    // Folder picker with `caption` as its title ("フォルダの選択" when empty); the chosen folder, empty
    // on cancel.
    virtual QString ChooseFolder(QWidget* parent, const QString& caption) = 0;
};

// The Qt dialogs.
class QtPrompts : public Prompts {
public:
    void Message(QWidget* parent, const QString& text) override;
    bool Question(QWidget* parent, const QString& text) override;
    bool QuestionDefaultNo(QWidget* parent, const QString& text) override;
    QStringList OpenFiles(QWidget* parent) override;
    QString OpenPicture(QWidget* parent, const QString& folder, const QString& fileName,
                        const QString& filter) override;
    QString ChooseFile(QWidget* parent, const QString& caption, const QString& folder) override;
    QString ChooseFolder(QWidget* parent, const QString& caption) override;
};
