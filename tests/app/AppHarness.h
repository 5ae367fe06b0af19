#pragma once
// Test fixture that runs the real program: a fresh profile folder per test (XDG_CONFIG_HOME),
// the recording prompt in place of message boxes and file choosers, helpers to put the cursor
// over a map pixel, to answer the program's own modal dialogs and to write test pictures.

#include "CGpsApp.h"
#include "CGpsView.h"
#include "CMainFrame.h"
#include "CRecordingPrompt.h"

#include "CDisplaySettings.h"
#include "CGpsDoc.h"
#include "StringTable.h"

#include <QDialog>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* pOut) {
    *pOut << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QPoint& pt, std::ostream* pOut) {
    *pOut << '(' << pt.x() << ", " << pt.y() << ')';
}

class AppHarness : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program; expects success.
    void Start(const QStringList& args = {});
    // Starts the program and answers whether it came up.
    bool TryStart(const QStringList& args = {});
    // Asks the frame to close; true when it closed.
    bool Close();

    // The profile file of this test, and a value in it (section/key).
    QString ProfilePath() const;
    QVariant ProfileValue(const QString& sectionKey) const;
    // Writes values into the profile before the program starts.
    void SetProfile(const std::map<QString, QVariant>& values);

    CMainFrame& Frame() const;
    CGpsView& View() const;
    CGpsDoc& Doc() const;
    static CGpsApp& App();

    // Puts the cursor over a viewport point and lets the view see a mouse move there.
    void MoveCursorToClient(QPoint ptClient);
    // The same for a map pixel (scroll position taken into account).
    void MoveCursorToMap(QPoint ptMap);
    // Presses a key (with modifiers) on the main frame, the way a user does.
    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Runs pAnswer on the next modal dialog the program opens (while it is shown), then
    // triggers the command that opens it.
    void WithNextDialog(const std::function<void(QDialog&)>& answer,
                        const std::function<void()>& open);

    // Writes a plain 24-bit picture of the given size into the test folder.
    QString WriteBitmap(const QString& name, QSize size, QColor color = Qt::darkCyan) const;
    QString TestPath(const QString& name) const;

    // Menu bar: the titles of the top menus and the texts of one menu's items.
    QStringList MenuTitles() const;
    QStringList MenuItems(int nMenu) const;

    CRecordingPrompt prompt;
    std::unique_ptr<QTemporaryDir> m_pDir;
};
