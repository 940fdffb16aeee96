#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

void ScriptedPrompts::Message(QWidget*, const QString& text) {
    messages << text;
}

bool ScriptedPrompts::Question(QWidget*, const QString& text) {
    questions << text;
    if (questionAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

bool ScriptedPrompts::QuestionDefaultNo(QWidget* parent, const QString& text) {
    noByDefault << text;
    return Question(parent, text);
}

QStringList ScriptedPrompts::OpenFiles(QWidget*) {
    ++fileRequests;
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected file-open dialog";
        return {};
    }
    QStringList answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString ScriptedPrompts::ChooseFile(QWidget* parent, const QString&, const QString& folder) {
    fileFolders << folder;
    const QStringList answer = OpenFiles(parent);
    return answer.isEmpty() ? QString() : answer.front();
}

QString ScriptedPrompts::OpenPicture(QWidget*, const QString& folder, const QString& fileName,
                                     const QString& filter) {
    pictureRequests.push_back({folder, fileName, filter});
    if (pictureAnswers.empty()) {
        ADD_FAILURE() << "unexpected picture-open dialog";
        return {};
    }
    QString answer = pictureAnswers.front();
    pictureAnswers.pop_front();
    return answer;
}

QString ScriptedPrompts::ChooseFolder(QWidget*, const QString& caption) {
    folderCaptions << caption;
    if (folderAnswers.empty()) {
        ADD_FAILURE() << "unexpected folder picker";
        return {};
    }
    QString answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}
