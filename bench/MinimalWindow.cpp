// The floor of the start-up benchmark: a Qt Widgets program that shows an empty QMainWindow and
// nothing else. Like the desktop program with MAPREG_EXIT_AFTER_FIRST_FRAME=1, it prints
// "first frame" once its first paint is done and then quits. With --text the window also has a
// menu bar with one menu and a status bar message, so that the first frame includes the start-up
// of text drawing (font files, glyphs), which the empty window never pays.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>

namespace {

class CFirstFrameExit : public QObject {
public:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Paint && !m_bSeen) {
            m_bSeen = true;
            QTimer::singleShot(0, QCoreApplication::instance(), [] {
                std::fputs("first frame\n", stdout);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    bool m_bSeen = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(800, 600);
    if (QApplication::arguments().contains(QStringLiteral("--text"))) {
        window.menuBar()->addMenu(QStringLiteral("&File"));
        window.statusBar()->showMessage(QStringLiteral("Ready"));
    }
    CFirstFrameExit firstFrameExit;
    window.installEventFilter(&firstFrameExit);
    window.show();
    return QApplication::exec();
}
