#pragma once

#include <QString>
#include <QStringList>
#include <deque>

#include "platform/prompts.h"

// Answers the windows' prompts from a script and records what they asked. A question or picker
// that was not scripted fails the test and answers No / cancel.
class ScriptedPrompts : public Prompts {
public:
    void Message(QWidget* parent, const QString& text) override;
    bool Question(QWidget* parent, const QString& text) override;
    bool QuestionDefaultNo(QWidget* parent, const QString& text) override;
    QStringList OpenFiles(QWidget* parent) override;
    QString OpenPicture(QWidget* parent, const QString& folder, const QString& fileName,
                        const QString& filter) override;
    QString ChooseFile(QWidget* parent, const QString& caption, const QString& folder) override;
    QString ChooseFolder(QWidget* parent, const QString& caption) override;

    void AnswerNextQuestion(bool yes) { questionAnswers.push_back(yes); }
    // Answers the next file-open dialog, or the first file of it the next single-file picker.
    void ChooseNextFiles(const QStringList& files) { fileAnswers.push_back(files); }
    void ChooseNextPicture(const QString& path) { pictureAnswers.push_back(path); }
    void ChooseNextFolder(const QString& folder) { folderAnswers.push_back(folder); }

    QStringList messages;     // every message box text, in order
    QStringList questions;    // every question text, in order
    QStringList noByDefault;  // those asked with "いいえ" as the default
    struct PictureRequest {
        QString folder, fileName, filter;
    };
    std::deque<PictureRequest> pictureRequests;
    QStringList folderCaptions;  // the title of every folder picker, in order
    int fileRequests = 0;
    QStringList fileFolders;  // the folder every single-file picker started in, in order

private:
    std::deque<bool> questionAnswers;
    std::deque<QStringList> fileAnswers;
    std::deque<QString> pictureAnswers;
    std::deque<QString> folderAnswers;
};
