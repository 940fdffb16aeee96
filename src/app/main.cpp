#include <QApplication>
#include <cstdlib>

#include "app/end_run.h"
#include "app/program_start.h"
#include "app/starter_problem_message.h"
#include "common/file_name_locale.h"
#include "common/startup_steps.h"
#include "platform/app_context.h"
#include "platform/app_title.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/qt_translations.h"
#include "platform/session_signals.h"
#include "platform/shell.h"
#include "starter/starter_problem.h"
#include "storage/connection_making.h"
#include "storage/firebird_lock_folder.h"

namespace {

int Run(int argc, char** argv) {
    const std::string starterProblem = TakeStarterProblem();  // before any thread reads the environment
    // The board is laid out in pixels and keeps its size whatever the screen's density.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication application(argc, argv);
    UseUtf8FileNames();  // after the toolkit, which takes the environment's locale as it starts
    QApplication::setApplicationName(ApplicationTitle());
    UseQtJapanese();
    NoteStartupStep("toolkit");

    QtPrompts prompts;
    const std::unique_ptr<Shell> shell = MakeSystemShell();
    AppContext context;
    context.executablePath = QApplication::applicationFilePath();
    context.searchIndexFolder = UserCacheFolder() + QStringLiteral("/qarto-groups/search-index");
    context.prompts = &prompts;
    context.shell = shell.get();

    ProgramStart program(context);
    TForm1& board = program.board();
    // Before the first showing, whose start-up message about an unreachable database runs an event
    // loop of its own: a signal then ends the run from there too.
    ForwardSessionSignals([&board] { EndRun(board); });
    NoteStartupStep("windows");
    board.show();
    ShowStarterProblem(board, prompts, starterProblem);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    // Before any thread exists (the toolkit's, the database client's), so that all of them hold the
    // session's signals back and they reach the program only through ForwardSessionSignals.
    HoldSessionSignals();
    NoteStartupStep("main");
    UseOwnFirebirdLockFolder();
    const int code = Run(argc, argv);
    // Everything of the program's is saved and let go. A connection to a server that does not answer,
    // given up while it was being made, would hold the database client's own end until the system
    // gives up on it: it is left behind.
    if (ConnectionsBeingMade() > 0) {
        std::_Exit(code);
    }
    return code;
}
