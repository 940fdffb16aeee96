#pragma once

class QWidget;

// Ends the run as the exit command does, from wherever the user is: an open menu and any modal
// dialog or message go away first, as Esc would have them, so the command that opened them finishes
// before the main window's close sequence runs (board freed, database detached, settings written).
void EndRun(QWidget& mainWindow);
