#pragma once
#include <QString>
#include <functional>

class QMainWindow;
class QApplication;
class QCoreApplication;

// The program's command line and start-up sequence.
namespace startup {

struct Options
{
    QString home;
    bool configure = false;
    bool initDb = false;
    bool checkLedger = false;
};

// Reads the command line; returns an exit code when the program should end
// right away (--version, --help, a bad option), else -1.
int parse(QCoreApplication &app, Options *opt);
// True when the command line asks only for work without windows (--version,
// --help, --init-db, --check-ledger): such runs need no display.
bool isConsoleRun(int argc, char **argv);
// Runs what the options ask for (configure, init-db, check-ledger) and returns
// its exit code, or -1 when the normal start should follow.
int runTools(const Options &opt);
// The normal start: splash, main window created hidden, data module and
// connection, login, then the main loop. Returns the process exit code.
int run(QApplication &app, const std::function<QMainWindow *()> &createMainWindow);
// Fonts and the program name, once per process.
void setUpApplication(QApplication &app);

} // namespace startup
