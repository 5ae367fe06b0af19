// The desktop program: the application object over the map document, frame and view.
//
// --help and --version are answered before anything needs a display. A later start on the same
// display hands its map file to the program that runs already and ends.
//
// For benchmarks and scripted checks: with the environment variable MAPREG_EXIT_AFTER_FIRST_FRAME
// set to 1 the program prints "first frame" on standard output as soon as the map view's first
// paint is done, and then quits as when its window is closed.

#include "app/AppStrings.h"
#include "app/CCommandLine.h"
#include "app/CGpsApp.h"
#include "app/CGpsView.h"
#include "app/CMainFrame.h"
#include "app/CSingleInstance.h"
#include "resources/StringTable.h"
#include "translations/CTranslation.h"

#include <QEvent>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

using namespace mapreg;

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

unsigned HandoverMessageId(CSingleInstance::Handover handover) {
    switch (handover) {
    case CSingleInstance::Handover::Refused:
        return IDS_APP_HANDOVER_REFUSED;
    case CSingleInstance::Handover::NoAnswer:
        return IDS_APP_HANDOVER_NO_ANSWER;
    case CSingleInstance::Handover::NotOurs:
        return IDS_APP_HANDOVER_NOT_OURS;
    case CSingleInstance::Handover::None:
    case CSingleInstance::Handover::Accepted:
        break;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // The desktop's language, before the first text is read (the help text too).
    CTranslation translation;
    if (translation.Load(QLocale::system())) {
        translation.ApplyToStringTable();
    }
    // Qt's own options are still among these; only --help and --version count here.
    QStringList rawArgs;
    for (int i = 0; i < argc; ++i) {
        rawArgs << QString::fromLocal8Bit(argv[i]);
    }
    const CCommandLine early = CCommandLine::Parse(rawArgs);
    if (early.WantsHelp() || early.WantsVersion()) {
        const QString text =
            early.WantsHelp() ? CCommandLine::UsageText() : CCommandLine::VersionText();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    CGpsApp app(argc, argv); // takes Qt's options out of argv
    // The texts of Qt's standard dialogs and buttons in the same language, when installed.
    QTranslator qtTexts;
    if (!translation.Language().isEmpty() &&
        qtTexts.load(QStringLiteral("qtbase_") + translation.Language(),
                     CTranslation::QtTranslationsFolder())) {
        CGpsApp::installTranslator(&qtTexts);
    }
    const CCommandLine line = CCommandLine::Parse(CGpsApp::arguments());
    for (const QString& option : line.UnknownOptions()) {
        std::fprintf(stderr, "%s\n",
                     AppFormatString1(IDS_APP_UNKNOWN_OPTION, option).toLocal8Bit().constData());
    }

    CSingleInstance instance;
    if (instance.Start(line.File()) == CSingleInstance::Role::Forwarded) {
        return 0;
    }
    // A running program that did not take the request: say why this one opens a window.
    if (const unsigned nId = HandoverMessageId(instance.LastHandover()); nId != 0) {
        std::fprintf(stderr, "%s\n", AppString(nId).toLocal8Bit().constData());
    }
    instance.SetRequestHandler([&app](const QString& file, std::unique_ptr<IShellReply> pReply) {
        app.OpenFromShell(file, std::move(pReply));
    });
    if (!app.InitInstance(line.File().isEmpty() ? QStringList() : QStringList{line.File()})) {
        return 1;
    }
    CFirstFrameExit firstFrameExit;
    if (qEnvironmentVariable("MAPREG_EXIT_AFTER_FIRST_FRAME") == QLatin1String("1")) {
        app.MainFrame()->View()->viewport()->installEventFilter(&firstFrameExit);
    }
    const int nResult = CGpsApp::exec();
    // Requests still waiting are refused: their senders open the maps themselves.
    instance.StopListening();
    app.ExitInstance();
    return nResult;
}
