#include "AppHarness.h"

#include "TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace mapreg {

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

void AppHarness::Start(const QStringList& args) {
    ASSERT_TRUE(App().InitInstance(args));
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
}

void AppHarness::Restart(const QStringList& args) {
    App().ExitInstance();
    Start(args);
}

QVariant AppHarness::ProfileValue(const QString& sectionKey) {
    return QSettings(ProfilePath(), QSettings::IniFormat).value(sectionKey);
}

void AppHarness::SetProfile(const std::map<QString, QVariant>& values) {
    QSettings ini(ProfilePath(), QSettings::IniFormat);
    for (const auto& [key, value] : values) {
        ini.setValue(key, value);
    }
}

QString AppHarness::LoadPicture(QSize size, const QString& name, QColor color) {
    return OpenPicture(WriteBitmap(name, size, color), size);
}

QString AppHarness::LoadPatternPicture(QSize size) {
    QImage picture(size, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            picture.setPixel(x, y,
                             qRgb((x * 7 + y) & 0xFF, (y * 5 + x * 3) & 0xFF, (x ^ y) & 0xFF));
        }
    }
    const QString path = TestPath("pattern.bmp");
    EXPECT_TRUE(picture.save(path, "BMP"));
    return OpenPicture(path, size);
}

QString AppHarness::OpenPicture(const QString& path, QSize size) {
    prompt.chosenFiles.push_back(path.toStdString());
    PressKey(Qt::Key_F2);
    EXPECT_EQ(QSize(Doc().GetMapWidth(), Doc().GetMapHeight()), size);
    return path;
}

void AppHarness::SetClientSize(QSize size) {
    // Scroll bars coming or going change the client area once more.
    for (int i = 0; i < 3 && Viewport()->size() != size; ++i) {
        Frame().resize(Frame().size() + size - Viewport()->size());
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(Viewport()->size(), size);
}

void AppHarness::JumpTo(QPoint ptMap) {
    View().StopSmoothScroll();
    View().ScrollToPosition(ptMap);
    View().StopSmoothScroll();
    QCoreApplication::processEvents();
}

void AppHarness::MoveCursorToClient(QPoint ptClient) {
    const QPoint ptGlobal = Viewport()->mapToGlobal(ptClient);
    // Qt drops a move to the place of the last one; step aside first.
    QCursor::setPos(ptGlobal + QPoint(1, 1));
    QCursor::setPos(ptGlobal);
    QCoreApplication::processEvents();
    // And the view sees a move there whatever the platform made of the cursor moves.
    QMouseEvent move(QEvent::MouseMove, QPointF(ptClient), QPointF(ptGlobal), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Viewport(), &move);
    QCoreApplication::processEvents();
}

void AppHarness::Drag(QPoint ptFrom, QPoint ptTo, bool bRelease) {
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, ptFrom);
    QTest::mouseMove(Viewport(), ptTo);
    if (bRelease) {
        QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, ptTo);
    }
    QCoreApplication::processEvents();
}

void AppHarness::DragMarkTo(int k, QPoint ptMap) {
    // QTest reads a null point as the middle of the widget: take hold one pixel off.
    const QPoint ptOff = ToClient(MarkPos(k)).isNull() ? QPoint(1, 1) : QPoint();
    Drag(ToClient(MarkPos(k)) + ptOff, ToClient(ptMap) + ptOff);
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

void AppHarness::ChooseDisplayFormat(const std::vector<int>& buttons) {
    WithNextDialog(
        [&](QDialog& dialog) {
            for (const int nId : buttons) {
                dialog.findChild<QAbstractButton*>(ControlName(nId))->click();
            }
        },
        [] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
}

bool AppHarness::Drop(const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint pt = Frame().rect().center();
    QDragEnterEvent enter(pt, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(pt), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    QCoreApplication::processEvents();
    return true;
}

QImage AppHarness::Shown() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
    const QPoint pt = Viewport()->mapTo(&Frame(), QPoint(0, 0));
    return Frame()
        .screen()
        ->grabWindow(Frame().winId(), pt.x(), pt.y(), Viewport()->width(), Viewport()->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage AppHarness::FreshPaint() {
    return Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QString AppHarness::WriteBitmap(const QString& name, QSize size, QColor color) const {
    const QString path = TestPath(name);
    EXPECT_TRUE(WritePlainBitmap(path.toStdString(), size, color));
    return path;
}

QStringList AppHarness::MenuTitles() {
    QStringList titles;
    for (QAction* pAction : Frame().menuBar()->actions()) {
        titles << pAction->text();
    }
    return titles;
}

QStringList AppHarness::MenuItems(int nMenu) {
    QStringList items;
    for (QAction* pAction : Frame().menuBar()->actions().value(nMenu)->menu()->actions()) {
        if (pAction->isSeparator() || pAction->isVisible()) {
            items << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
        }
    }
    return items;
}

} // namespace mapreg
