#include "app/Startup.h"

#include <QApplication>
#include <QMainWindow>

#if __has_include("main/U_Main.h")
#include "main/U_Main.h"
#define ORVALIS_HAS_MAIN_WINDOW 1
#endif

int main(int argc, char *argv[])
{
    if (startup::isConsoleRun(argc, argv)) {
        QCoreApplication app(argc, argv);
        app.setApplicationVersion(QStringLiteral(ORVALIS_VERSION));
        startup::Options opt;
        if (int rc = startup::parse(app, &opt); rc >= 0)
            return rc;
        return startup::runTools(opt);
    }
    QApplication app(argc, argv);
    startup::setUpApplication(app);
    startup::Options opt;
    if (int rc = startup::parse(app, &opt); rc >= 0)
        return rc;
    if (int rc = startup::runTools(opt); rc >= 0)
        return rc;
    return startup::run(app, [] {
#ifdef ORVALIS_HAS_MAIN_WINDOW
        return static_cast<QMainWindow *>(new TFrm_Main);
#else
        auto *w = new QMainWindow;
        w->setWindowTitle(QStringLiteral("Orvalis"));
        return w;
#endif
    });
}
