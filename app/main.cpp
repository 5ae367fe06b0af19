// The desktop program: the application object over the map document, frame and view.
//
// For benchmarks and scripted checks: with the environment variable MAPREG_EXIT_AFTER_FIRST_FRAME
// set to 1 the program prints "first frame" on standard output as soon as the map view's first
// paint is done, and then quits as when its window is closed.

#include "CGpsApp.h"
#include "CGpsView.h"
#include "CMainFrame.h"

#include <QEvent>
#include <QTimer>

#include <cstdio>

namespace {

class CFirstFrameExit : public QObject {
public:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Paint && !m_bSeen) {
            m_bSeen = true;
            // Queued, so it runs once this paint has finished and reached the window.
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
    CGpsApp app(argc, argv);
    QStringList args = CGpsApp::arguments();
    args.removeFirst();
    if (!app.InitInstance(args)) {
        return 1;
    }
    CFirstFrameExit firstFrameExit;
    if (qEnvironmentVariable("MAPREG_EXIT_AFTER_FIRST_FRAME") == QLatin1String("1")) {
        app.MainFrame()->View()->viewport()->installEventFilter(&firstFrameExit);
    }
    const int nResult = CGpsApp::exec();
    app.ExitInstance();
    return nResult;
}
