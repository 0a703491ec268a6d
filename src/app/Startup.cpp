#include "Startup.h"

#include "AppPaths.h"
#include "Prompt.h"
#include "Session.h"
#include "U_DbConfig.h"
#include "U_Login.h"
#include "U_Splash.h"
#include "U_data.h"
#include "data/Ledger.h"
#include "data/SchemaInstaller.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFontDatabase>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace startup {

void setUpApplication(QApplication &app)
{
    app.setApplicationName(u"orvalis"_s);
    app.setApplicationDisplayName(u"会员管理系统"_s);
    app.setApplicationVersion(QStringLiteral(ORVALIS_VERSION));
    // Ask for a CJK family by name so Chinese never falls back to boxes.
    const QStringList families = QFontDatabase::families();
    for (const QString &f : {u"WenQuanYi Micro Hei"_s, u"Noto Sans CJK SC"_s, u"Noto Sans SC"_s}) {
        if (families.contains(f)) {
            QFont font(f);
            font.setPointSize(10);
            app.setFont(font);
            break;
        }
    }
}

bool isConsoleRun(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--version" || a == "-v" || a == "--help" || a == "-h" || a == "--init-db" || a == "--check-ledger")
            return true;
    }
    return false;
}

int parse(QCoreApplication &app, Options *opt)
{
    QCommandLineParser p;
    p.setApplicationDescription(u"Orvalis 会员管理系统"_s);
    p.addHelpOption();
    p.addVersionOption();
    QCommandLineOption home(u"home"_s, u"程序主目录 (Config.ini, 数据库, 报表)"_s, u"dir"_s);
    QCommandLineOption configure(u"configure"_s, u"设置数据库连接"_s);
    QCommandLineOption initDb(u"init-db"_s, u"按 Config.ini 建立数据库后退出"_s);
    QCommandLineOption checkLedger(u"check-ledger"_s, u"核对每张卡的余额与流水"_s);
    p.addOptions({home, configure, initDb, checkLedger});
    if (!p.parse(app.arguments())) {
        std::fprintf(stderr, "%s\n", qPrintable(p.errorText()));
        return 2;
    }
    if (p.isSet(u"help"_s)) {
        std::printf("%s", qPrintable(p.helpText()));
        return 0;
    }
    if (p.isSet(u"version"_s)) {
        std::printf("orvalis %s\n", ORVALIS_VERSION);
        return 0;
    }
    opt->home = p.value(home);
    opt->configure = p.isSet(configure);
    opt->initDb = p.isSet(initDb);
    opt->checkLedger = p.isSet(checkLedger);
    if (!opt->home.isEmpty())
        AppPaths::setHome(opt->home);
    return -1;
}

static int initDatabase()
{
    AppPaths::ensureDefaultConfig();
    IniFile ini(AppPaths::configFile());
    const ConnectionSettings s = ConnectionSettings::fromIni(ini, AppPaths::home());
    Database db;
    QString error;
    if (!db.open(s, &error)) {
        std::fprintf(stderr, "无法连接数据库: %s\n", qPrintable(error));
        return 1;
    }
    if (schema::isInstalled(db)) {
        if (!schema::upgrade(db, &error)) {
            std::fprintf(stderr, "数据库升级失败: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("数据库已存在, 版本 %d\n", schema::currentVersion());
        return 0;
    }
    if (!schema::install(db, &error)) {
        std::fprintf(stderr, "建立数据库失败: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("数据库已建立\n");
    return 0;
}

static int checkLedger()
{
    TFrm_Data data;
    data.Ini.setPath(AppPaths::configFile());
    QString error;
    if (!data.connectWith(ConnectionSettings::fromIni(data.Ini, AppPaths::home()), &error)) {
        std::fprintf(stderr, "无法连接数据库: %s\n", qPrintable(error));
        return 2;
    }
    const auto bad = ledger::mismatches(data.ADOConnection1, &error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    for (const auto &m : bad)
        std::printf("卡号 %s: 余额 %s, 流水合计 %s\n", qPrintable(m.cardCode), qPrintable(m.balance.toString(2)),
                    qPrintable(m.journal.toString(2)));
    if (bad.isEmpty())
        std::printf("所有卡的余额与流水一致\n");
    return bad.isEmpty() ? 0 : 1;
}

int runTools(const Options &opt)
{
    if (opt.configure) {
        AppPaths::ensureDefaultConfig();
        IniFile ini(AppPaths::configFile());
        TFrm_DbConfig dlg(ini);
        return dlg.exec() == QDialog::Accepted ? 0 : 1;
    }
    if (opt.initDb)
        return initDatabase();
    if (opt.checkLedger)
        return checkLedger();
    return -1;
}

int run(QApplication &app, const std::function<QMainWindow *()> &createMainWindow)
{
    auto *splash = new TFrm_Splash;
    setSplashWindow(splash);
    splash->show();
    splash->repaint();
    app.processEvents();

    std::unique_ptr<QMainWindow> mainWindow(createMainWindow());
    auto *data = new TFrm_Data(&app);
    const bool connected = data->connectDatabase(SplashStatus);

    setSplashWindow(nullptr);
    splash->hide();
    delete splash;

    if (!connected || !data->DbConnected)
        return 1;

    Session::instance().loadTitleAndOptions(data->ADOConnection1);
    {
        TFrm_Login login;
        login.exec();
        if (!login.loginSucceeded())
            return 0;
    }
    mainWindow->showMaximized();
    const int rc = app.exec();
    mainWindow.reset();
    return rc;
}

} // namespace startup
