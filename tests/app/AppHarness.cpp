#include "AppHarness.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSettings>
#include <QTest>
#include <QTimer>

void AppHarness::SetUp() {
    m_pDir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_pDir->isValid());
    // The program finds its profile through XDG_CONFIG_HOME; each test gets its own.
    qputenv("XDG_CONFIG_HOME", m_pDir->filePath(QStringLiteral("config")).toLocal8Bit());
    App().SetPromptOverride(&prompt);
}

void AppHarness::TearDown() {
    App().ExitInstance();
    App().SetPromptOverride(nullptr);
    m_pDir.reset();
}

CGpsApp& AppHarness::App() {
    return *CGpsApp::Instance();
}

bool AppHarness::TryStart(const QStringList& args) {
    if (!App().InitInstance(args)) {
        return false;
    }
    Frame().activateWindow();
    return QTest::qWaitForWindowExposed(&Frame()) && QTest::qWaitForWindowActive(&Frame());
}

void AppHarness::Start(const QStringList& args) {
    ASSERT_TRUE(TryStart(args));
}

bool AppHarness::Close() {
    return Frame().close();
}

QString AppHarness::ProfilePath() const {
    return CGpsApp::ProfilePath();
}

QVariant AppHarness::ProfileValue(const QString& sectionKey) const {
    const QSettings ini(ProfilePath(), QSettings::IniFormat);
    return ini.value(sectionKey);
}

void AppHarness::SetProfile(const std::map<QString, QVariant>& values) {
    QSettings ini(ProfilePath(), QSettings::IniFormat);
    for (const auto& [key, value] : values) {
        ini.setValue(key, value);
    }
    ini.sync();
}

CMainFrame& AppHarness::Frame() const {
    return *App().MainFrame();
}

CGpsView& AppHarness::View() const {
    return *Frame().View();
}

CGpsDoc& AppHarness::Doc() const {
    return *App().Document();
}

void AppHarness::MoveCursorToClient(QPoint ptClient) {
    QWidget* pViewport = View().viewport();
    const QPoint ptGlobal = pViewport->mapToGlobal(ptClient);
    // Qt drops a move to the place of the last one; step aside first.
    QCursor::setPos(ptGlobal + QPoint(1, 1));
    QCursor::setPos(ptGlobal);
    QCoreApplication::processEvents();
    // And the view sees a move there whatever the platform made of the cursor moves.
    QMouseEvent move(QEvent::MouseMove, QPointF(ptClient), QPointF(ptGlobal), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pViewport, &move);
    QCoreApplication::processEvents();
}

void AppHarness::MoveCursorToMap(QPoint ptMap) {
    MoveCursorToClient(ptMap - View().GetScrollPosition());
}

void AppHarness::PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(&Frame(), key, modifiers);
    QCoreApplication::processEvents();
}

void AppHarness::WithNextDialog(const std::function<void(QDialog&)>& answer,
                                const std::function<void()>& open) {
    bool bAnswered = false;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (bAnswered || pDialog == nullptr || !pDialog->isVisible()) {
            return;
        }
        bAnswered = true;
        timer.stop();
        answer(*pDialog);
        // Never leave a test hanging in a dialog the answer did not close.
        if (pDialog->isVisible()) {
            pDialog->reject();
        }
    });
    timer.start();
    open();
    timer.stop();
    EXPECT_TRUE(bAnswered) << "no modal dialog came up";
}

QString AppHarness::TestPath(const QString& name) const {
    return m_pDir->filePath(name);
}

QString AppHarness::WriteBitmap(const QString& name, QSize size, QColor color) const {
    QImage image(size, QImage::Format_RGB888);
    image.fill(color);
    const QString path = TestPath(name);
    EXPECT_TRUE(image.save(path, "BMP"));
    return path;
}

QStringList AppHarness::MenuTitles() const {
    QStringList titles;
    for (QAction* pAction : Frame().menuBar()->actions()) {
        titles << pAction->text();
    }
    return titles;
}

QStringList AppHarness::MenuItems(int nMenu) const {
    QStringList items;
    const QList<QAction*> menus = Frame().menuBar()->actions();
    if (nMenu < 0 || nMenu >= menus.size() || menus[nMenu]->menu() == nullptr) {
        return items;
    }
    for (QAction* pAction : menus[nMenu]->menu()->actions()) {
        if (pAction->isSeparator()) {
            items << QStringLiteral("-");
        } else if (pAction->isVisible()) {
            items << pAction->text();
        }
    }
    return items;
}
