#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/qt_translations.h"

TEST(QtTranslations, theToolkitsOwnDialogsSpeakJapanese) {
    ASSERT_TRUE(UseQtJapanese());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("アドレス:"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
}
