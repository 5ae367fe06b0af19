// The Qt-backed prompt and profile, under a QGuiApplication on the offscreen platform.
#include "framework/qt/CQtSettingsProfile.h"
#include "framework/qt/CQtUserPrompt.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mapreg;

TEST(QtUserPrompt, string_table_filters_become_qt_filters) {
    EXPECT_EQ(CQtUserPrompt::ToQtFilter("Bitmap Files (*.bmp) |*.bmp|All Files (*.*)|*.*||"),
              "Bitmap Files (*.bmp);;All Files (*)");
    EXPECT_EQ(CQtUserPrompt::ToQtFilter("GPS Map Files (*.gpm)|*.gpm||"), "GPS Map Files (*.gpm)");
    EXPECT_EQ(CQtUserPrompt::ToQtFilter("Pictures|*.bmp;*.dib||"), "Pictures (*.bmp *.dib)");
}

TEST(QtUserPrompt, wait_cursor_is_restored) {
    CQtUserPrompt prompt;
    prompt.BeginWaitCursor();
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    prompt.EndWaitCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtSettingsProfile, values_survive_a_new_profile_object_on_the_same_file) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath("mapreg.ini");
    {
        CQtSettingsProfile profile(ini);
        EXPECT_TRUE(profile.WriteProfileInt("Settings", "backgroundColor", 0xFFFFFF));
        EXPECT_TRUE(profile.WriteProfileString("Settings", "note", "a b"));
    }
    CQtSettingsProfile profile(ini);
    EXPECT_EQ(profile.GetProfileInt("Settings", "backgroundColor", -128), 0xFFFFFF);
    EXPECT_EQ(profile.GetProfileInt("Settings", "missing", -128), -128);
    EXPECT_EQ(profile.GetProfileInt("Settings", "note", -128), -128);
    EXPECT_EQ(profile.GetProfileString("Settings", "note", ""), "a b");
}
