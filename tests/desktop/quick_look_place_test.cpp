#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>
#include <memory>

#include "desktop_skip.h"
#include "platform/window_place.h"
#include "preview/desktop_thumbnailers.h"
#include "preview/quick_look_window.h"
#include "preview/thumbnail_maker.h"
#include "preview/thumbnails.h"

// Under a window manager that draws frames, the quick look opened from a file list at the bottom
// of the screen stands wholly on the screen, frame and all.
TEST(QuickLookPlace, theQuickLookStaysOnTheScreen) {
    if (!DesktopUnavailable().empty()) {
        GTEST_SKIP() << "no private desktop: " << DesktopUnavailable();
    }
    Thumbnails thumbnails(
        std::make_shared<ThumbnailMaker>(DesktopThumbnails::ForThisUser(), DesktopThumbnailers({})));
    QWidget fileList;
    const QRect screen = fileList.screen()->availableGeometry();
    fileList.resize(654, 317);
    PlaceWindowFrame(fileList, screen.left() + 300, screen.bottom() - 330);
    fileList.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fileList.frameGeometry() != fileList.geometry(); }, 5000));
    QuickLookWindow look(thumbnails, &fileList);
    for (int showing = 0; showing < 2; ++showing) {
        look.ShowFile(QuickLookFile{QString(), QStringLiteral("図面.dwg"), QStringLiteral("/tmp/"),
                                    QStringLiteral("0"), QStringLiteral("<No File>"), QIcon()});
        ASSERT_TRUE(QTest::qWaitFor([&] { return look.frameGeometry() != look.geometry(); }, 5000));
        QTest::qWait(200);  // the window manager's last configure notices
        EXPECT_TRUE(screen.contains(look.frameGeometry()))
            << "showing " << showing << ": " << look.frameGeometry().x() << "," << look.frameGeometry().y()
            << " " << look.frameGeometry().width() << "x" << look.frameGeometry().height();
        look.close();
        // Dragged half off the screen before it is opened again.
        look.move(screen.right() - 100, screen.bottom() - 100);
    }
}
