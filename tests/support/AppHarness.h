#pragma once
// Test fixture that runs the real program: a fresh profile folder per test, the recording prompt in
// place of message boxes and file choosers, and helpers to load pictures, size the view, move and
// drag the mouse and answer the program's dialogs.

#include "app/AppStrings.h"
#include "app/CGpsApp.h"
#include "app/CGpsView.h"
#include "app/CMainFrame.h"
#include "app/CMarkTool.h"
#include "app/ControlIds.h"
#include "display/CLabelSprite.h"
#include "display/CMarkSprite.h"
#include "display/CPointerSprite.h"
#include "display/CSpriteEngine.h"
#include "framework/CRecordingPrompt.h"

#include "document/CDisplaySettings.h"
#include "document/CGpsDoc.h"
#include "resources/StringTable.h"

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <ostream>

namespace mapreg {

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
    // Ends this run of the program and starts it again on the same profile.
    void Restart(const QStringList& args = {});
    // Asks the frame to close; true when it closed.
    bool Close() { return Frame().close(); }

    // The profile file of this test; a value in it (section/key); values written before start.
    static QString ProfilePath() { return CGpsApp::ProfilePath(); }
    static QVariant ProfileValue(const QString& sectionKey);
    static void SetProfile(const std::map<QString, QVariant>& values);

    static CGpsApp& App() { return *CGpsApp::Instance(); }
    static CMainFrame& Frame() { return *App().MainFrame(); }
    static CGpsView& View() { return *Frame().View(); }
    static CMarkTool& Marks() { return View().MarkTool(); }
    static CGpsDoc& Doc() { return *App().Document(); }
    static QWidget* Viewport() { return View().viewport(); }

    // Writes a plain picture into the test folder and loads it through Map > New Bitmap (F2).
    QString LoadPicture(QSize size, const QString& name = QStringLiteral("plain.bmp"),
                        QColor color = Qt::darkCyan);
    // The same for a picture whose neighbouring pixels all differ, so that any pixel shown in
    // the wrong place shows; written as pattern.bmp.
    QString LoadPatternPicture(QSize size);
    // Loads the bitmap at path through Map > New Bitmap (F2), expecting the given size.
    QString OpenPicture(const QString& path, QSize size);
    // Resizes the main window so that the view's client area gets the given size.
    void SetClientSize(QSize size);
    // Scrolls at once, without the animation.
    static void JumpTo(QPoint ptMap);

    // Puts the cursor over a viewport point and lets the view see a mouse move there.
    void MoveCursorToClient(QPoint ptClient);
    // The same for a map pixel (scroll position taken into account).
    void MoveCursorToMap(QPoint ptMap) { MoveCursorToClient(ToClient(ptMap)); }
    static QPoint ToClient(QPoint ptMap) { return ptMap - View().GetScrollPosition(); }
    // Left-button drag in client coordinates: press, one move, release.
    static void Drag(QPoint ptFrom, QPoint ptTo, bool bRelease = true);
    // Drags calibration mark k from where it stands to a map point inside the client area.
    static void DragMarkTo(int k, QPoint ptMap);
    static QPoint MarkPos(int k) { return View().Mark(k)->GetPosition(); }
    static std::vector<QPoint> MarkPositions() { return {MarkPos(0), MarkPos(1), MarkPos(2)}; }
    static QPoint LabelPos(int k) { return View().Label(k)->GetPosition(); }
    static int LabelAnchor(int k) { return View().Label(k)->GetAnchor(); }
    // How many figures the view's engine lists.
    static int Listed() { return View().Engine() ? View().Engine()->GetCount() : -1; }

    // Presses a key (with modifiers) on the main frame, the way a user does.
    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Runs answer on the next modal dialog the program opens (while it is shown), then
    // triggers the command that opens it.
    void WithNextDialog(const std::function<void(QDialog&)>& answer,
                        const std::function<void()>& open);
    // Opens Settings > Display Format and clicks the buttons of the given control ids in turn.
    void ChooseDisplayFormat(const std::vector<int>& buttons);
    // Drags the file onto the window; drops it when the window takes it.
    static bool Drop(const QString& path);
    // The viewport as the window shows it (what was painted into the window so far), and as a
    // paint of the whole viewport gives it now.
    static QImage Shown();
    static QImage FreshPaint();

    // Writes a plain 24-bit picture of the given size into the test folder.
    QString WriteBitmap(const QString& name, QSize size, QColor color = Qt::darkCyan) const;
    QString TestPath(const QString& name) const { return m_pDir->filePath(name); }

    // Menu bar: the titles of the top menus and the texts of one menu's items ("-": separator).
    static QStringList MenuTitles();
    static QStringList MenuItems(int nMenu);

    CRecordingPrompt prompt;
    std::unique_ptr<QTemporaryDir> m_pDir;
};

} // namespace mapreg
