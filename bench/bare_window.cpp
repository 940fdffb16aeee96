// The floor of the start-up: a Qt program that attaches the embedded database named by its argument,
// as the program attaches its own, opens one empty window with the main window's caption and size,
// and detaches when the window closes.

#include <firebird/Interface.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "common/startup_steps.h"
#include "storage/firebird_lock_folder.h"

using namespace Firebird;

int main(int argc, char** argv) {
    NoteStartupStep("main");
    UseOwnFirebirdLockFolder();  // as the program does
    QApplication application(argc, argv);
    NoteStartupStep("toolkit");
    IMaster* master = fb_get_master_interface();
    ThrowStatusWrapper status(master->getStatus());
    IAttachment* attachment = nullptr;
    IXpbBuilder* dpb = nullptr;
    IProvider* provider = master->getDispatcher();
    try {
        if (argc > 1) {
            dpb = master->getUtilInterface()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
            dpb->insertString(&status, isc_dpb_user_name, "SYSDBA");
            dpb->insertString(&status, isc_dpb_password, "riverbank");
            attachment = provider->attachDatabase(&status, argv[1], dpb->getBufferLength(&status),
                                                  dpb->getBuffer(&status));
        }
    } catch (const FbException& error) {
        // As the program does, the window shows all the same; the benchmark's log says why.
        char words[512];
        master->getUtilInterface()->formatStatus(words, sizeof words, error.getStatus());
        std::fprintf(stderr, "bare_window: cannot attach %s: %s\n", argv[1], words);
    }
    if (dpb != nullptr) {
        dpb->dispose();
    }
    provider->release();
    NoteStartupStep("attached");
    QWidget window;
    window.setWindowTitle(QStringLiteral("Qartoグループ管理"));
    window.resize(608, 301);
    window.show();
    const int result = QApplication::exec();
    if (attachment != nullptr) {
        try {
            attachment->detach(&status);
        } catch (const FbException&) {
            attachment->release();
        }
    }
    status.dispose();
    return result;
}
