#pragma once

#include <memory>

#include "app/app_windows.h"

struct AppContext;

// The windows as the program makes them as it starts: the board and what it needs from its first
// showing at once, the other windows once the board has been painted, so that nothing the user does
// not see yet keeps the board from showing. A command of the board that needs them earlier makes
// them then. The change watch starts with them.
class ProgramStart {
public:
    explicit ProgramStart(AppContext& context);

    TForm1& board() { return board_; }
    // The whole program, once the other windows are made; nullptr before.
    AppWindows* windows() { return windows_.get(); }

private:
    void MakeOtherWindows();

    AppContext& context_;
    std::unique_ptr<BoardStart> start_;
    TForm1& board_;
    std::unique_ptr<AppWindows> windows_;
};
