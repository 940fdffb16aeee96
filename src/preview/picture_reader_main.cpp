// The picture reader: draws the files' pictures for the program's thumbnails apart from its
// windows (picture_reader.h). Started by the program, never by hand.

#include <QGuiApplication>

#include "platform/apart_worker.h"
#include "preview/picture_reader.h"

int main(int argc, char** argv) {
    // It draws into images alone, never on a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    return ServeApartRequests(&AnswerPictureRequest);
}
