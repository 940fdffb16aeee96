#include "app/starter_problem_message.h"

#include <QString>

#include "platform/prompts.h"

void ShowStarterProblem(QWidget& mainWindow, Prompts& prompts, const std::string& problem) {
    if (!problem.empty()) {
        prompts.Message(&mainWindow, QString::fromStdString(problem));
    }
}
