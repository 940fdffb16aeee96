#include <QGuiApplication>
#include <QPixmap>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "platform/picture.h"

// PICTURE_FORMAT names the extension this program reads its inputs as (bmp, ico, emf or wmf).

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int arguments = *argc;
    static QGuiApplication application(arguments, *argv);  // pixmaps need one
    return 0;
}

// Any file of the format loads to a picture or to nothing; a metafile never draws larger than the
// board accepts, whatever size it claims.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = ScratchFolder() + "/input." PICTURE_FORMAT;
    WriteInput(path, data, size);
    const QPixmap picture = LoadPicture(QString::fromStdString(path));
    const bool metafile = std::string(PICTURE_FORMAT) == "emf" || std::string(PICTURE_FORMAT) == "wmf";
    if (metafile && (picture.width() > 4096 || picture.height() > 4096)) {
        std::abort();
    }
    return 0;
}
