// The Qt-backed prompt and profile, under a QGuiApplication on the offscreen platform.
#include "framework/CProfileWrites.h"
#include "framework/qt/CQtSettingsProfile.h"
#include "framework/qt/CQtUserPrompt.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

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

// Each value written on its own reaches the file at once; grouped values reach it together when
// the group ends (one rewrite of the file instead of one per value), and a failure to write the
// file is reported there.
TEST(QtSettingsProfile, grouped_writes_reach_the_file_when_the_group_ends) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath("mapreg.ini");
    // The file's own lines (a QSettings of this process would see the values not yet written).
    const auto onDisk = [&](const char* line) {
        QFile file(ini);
        return file.open(QIODevice::ReadOnly) && file.readAll().split('\n').contains(line);
    };
    CQtSettingsProfile profile(ini);
    EXPECT_TRUE(profile.WriteProfileInt("Settings", "alone", 1));
    EXPECT_TRUE(onDisk("alone=1"));
    {
        const CProfileWrites writes(profile);
        EXPECT_TRUE(profile.WriteProfileInt("Settings", "first", 2));
        {
            const CProfileWrites inner(profile);
            EXPECT_TRUE(profile.WriteProfileString("Settings", "second", "three"));
        }
        EXPECT_FALSE(onDisk("first=2"));
        EXPECT_FALSE(onDisk("second=three"));
        EXPECT_EQ(profile.GetProfileInt("Settings", "first", 0), 2);
    }
    EXPECT_TRUE(onDisk("first=2"));
    EXPECT_TRUE(onDisk("second=three"));
    EXPECT_TRUE(profile.WriteProfileInt("Settings", "after", 4));
    EXPECT_TRUE(onDisk("after=4"));

    // A file that cannot be written: the end of the group says so.
    std::ofstream(dir.filePath("file").toStdString()) << "x";
    CQtSettingsProfile blocked(dir.filePath("file/mapreg.ini"));
    blocked.BeginWrites();
    blocked.WriteProfileInt("Settings", "a", 1);
    EXPECT_FALSE(blocked.EndWrites());
}
