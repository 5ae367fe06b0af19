// The desktop program: the application object over the map document, frame and view.

#include "CGpsApp.h"

int main(int argc, char* argv[]) {
    CGpsApp app(argc, argv);
    QStringList args = CGpsApp::arguments();
    args.removeFirst();
    if (!app.InitInstance(args)) {
        return 1;
    }
    const int nResult = CGpsApp::exec();
    app.ExitInstance();
    return nResult;
}
