#pragma once

#include <string>

class Prompts;
class QWidget;

// Shows what the starter could not prepare (see starter/starter_problem.h) in a message over the
// main window, once that is shown; nothing when the problem is empty.
void ShowStarterProblem(QWidget& mainWindow, Prompts& prompts, const std::string& problem);
