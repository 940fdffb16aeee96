#include "app/program_start.h"

#include "common/startup_steps.h"
#include "platform/window_showing.h"

ProgramStart::ProgramStart(AppContext& context)
    : context_(context), start_(std::make_unique<BoardStart>(context)), board_(start_->form1) {
    board_.MakeWindowsWith([this] { MakeOtherWindows(); });
    AfterFirstPaint(board_, [this] {
        NoteStartupStep("painted");
        MakeOtherWindows();
    });
}

void ProgramStart::MakeOtherWindows() {
    if (windows_) {
        return;
    }
    windows_ = std::make_unique<AppWindows>(context_, std::move(start_));
    windows_->search.watcher.Start();
    NoteStartupStep("completed");
}
