#include "TestDb.h"
#include "app/Actions.h"
#include "app/Session.h"
#include "app/U_Login.h"
#include "app/WindowHost.h"
#include "main/U_Main.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

// The main window on a real database: commands switched by the operator's
// numbered rights, caption, timers, shift handover and the count written on close.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(db); } // the shipped schema lives in the static data library
    void init();
    void cleanup();
    void captionsAndShortcuts_data();
    void captionsAndShortcuts();
    void rightGatesItsCommands_data();
    void rightGatesItsCommands();
    void operatorWithoutRowsGetsNoGatedCommand();
    void fewerRowsLeaveLaterPositionsOff();
    void captionIsTitlePlusVersion();
    void closingWritesMemberCount();
    void handoverNoDoesNothing();
    void timer2OpensMemberListOnce();
    void reminderTimerOpensReminderAfterLogin();
    void screenshots();

private:
    // An operator with `rows` rights rows in catalogue order, all granted except `refused`.
    void addOperator(const QString &name, int rows, int refused = 0);
    void logIn(const QString &name);
    static const QList<QPair<int, QStringList>> &gated();
    // Closes any modal window that a command opens, so a test never waits on one.
    std::unique_ptr<QTimer> closeModals(bool *opened);
    TestDb tdb;
    std::unique_ptr<TFrm_Main> w;
};

// Kept apart from the program's own table on purpose: this is what the rights mean.
const QList<QPair<int, QStringList>> &TestMainWindow::gated()
{
    static const QList<QPair<int, QStringList>> t = {
        {2, {u"AddCard"_s}}, {3, {u"EditCard"_s}}, {4, {u"DelCard"_s}}, {5, {u"S_Card"_s}},
        {9, {u"AddGoods"_s, u"Addgoods_Add"_s, u"Select_addgoods"_s}}, {10, {u"EditGoods"_s, u"Addgoods_Edit"_s}},
        {11, {u"DelGoods"_s, u"Addgoods_del"_s}}, {13, {u"Q_goods"_s}}, {15, {u"Exp_goods"_s}},
        {17, {u"AddCash"_s}}, {18, {u"EditCash"_s}}, {19, {u"DelCash"_s}}, {22, {u"AddDHGoods"_s}},
        {23, {u"EditDHGoods"_s}}, {24, {u"DelDHGoods"_s}}, {25, {u"Q_DHGoods"_s}}, {26, {u"Exp_DHGoods"_s}},
        {31, {u"N_R_Card"_s}}, {32, {u"N_R_Label"_s}}, {33, {u"N4"_s}}, {35, {u"N39"_s}}, {36, {u"N8"_s}},
        {37, {u"N9"_s}}, {38, {u"N40"_s}}, {39, {u"N56"_s}}, {41, {u"Sys_User"_s}},
        {42, {u"M_ClearData"_s, u"N_ClearData"_s}}, {43, {u"N52"_s}}, {44, {u"Sys_Backup"_s}},
        {46, {u"M_CardType"_s, u"N25"_s}}, {47, {u"M_Category"_s, u"N23"_s}}, {48, {u"N53"_s}}, {49, {u"N54"_s}},
        {50, {u"M_CashPercent"_s, u"N35"_s}}, {51, {u"N21"_s}}, {52, {u"Excel1"_s}}, {53, {u"Excel2"_s}},
        {58, {u"M_Reports"_s, u"N34"_s}},
    };
    return t;
}

static const QStringList alwaysOn = {u"M_Card"_s, u"M_Goods"_s, u"M_DHGoods"_s, u"M_DHRecord"_s, u"N59"_s,
                                     u"N60"_s,    u"Sys_Relogin"_s, u"N31"_s, u"Sys_Company"_s, u"Help"_s,
                                     u"N10"_s,    u"N16"_s,     u"N17"_s,     u"N2"_s,       u"N57"_s};

void TestMainWindow::init()
{
    ORVALIS_INIT_DB(tdb);
    Session::instance().reset();
    w = std::make_unique<TFrm_Main>();
}

void TestMainWindow::cleanup()
{
    w.reset();
    tdb.tearDown();
}

void TestMainWindow::addOperator(const QString &name, int rows, int refused)
{
    QVERIFY(tdb.exec(u"INSERT INTO Admin (UserName, Password, PartName, IsUser) VALUES (?, '', '普通用户', 1)"_s, {name}));
    QSqlQuery q;
    QVERIFY(tdb.db().query(q, u"SELECT FunctionName, Code FROM T_System ORDER BY Code"_s));
    QList<QVariantList> values;
    for (int n = 1; n <= rows && q.next(); ++n)
        values << QVariantList{name, q.value(0), n == refused ? 0 : 1, 2, q.value(1)};
    QCOMPARE(values.size(), rows);
    for (const QVariantList &v : values)
        QVERIFY(tdb.exec(u"INSERT INTO T_UserAuthority (UserName, FunctionName, Authority, Tag, Code) "
                         u"VALUES (?, ?, ?, ?, ?)"_s, v));
}

std::unique_ptr<QTimer> TestMainWindow::closeModals(bool *opened)
{
    auto t = std::make_unique<QTimer>();
    connect(t.get(), &QTimer::timeout, this, [opened] {
        if (QWidget *m = QApplication::activeModalWidget()) {
            *opened = true;
            m->close();
        }
    });
    t->start(50);
    return t;
}

void TestMainWindow::logIn(const QString &name) { QVERIFY(Session::instance().logIn(tdb.db(), name)); }

void TestMainWindow::captionsAndShortcuts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("report design keeps its blanks") << u"N9"_s << u"  会员详细资料打印报表设计  "_s << QString();
    QTest::newRow("envelope design") << u"N8"_s << u"  信封标签报表设计"_s << QString();
    QTest::newRow("reminder") << u"M_Awoke"_s << u" 到期提醒 "_s << QString();
    QTest::newRow("add member") << u"AddCard"_s << u"添加会员"_s << u"Ctrl+A"_s;
    QTest::newRow("delete member") << u"DelCard"_s << u"删除会员"_s << u"Ctrl+D"_s;
    QTest::newRow("exit") << u"N2"_s << u"退出程序"_s << u"Ctrl+Q"_s;
    QTest::newRow("help entry") << u"N10"_s << u"帮助文件"_s << u"F1"_s;
    QTest::newRow("transfer") << u"CardPast"_s << u"会员转帐(&Y)"_s << QString();
    QTest::newRow("import submenu") << u"N21"_s << u"导入数据"_s << QString();
    QTest::newRow("linked entry takes the command's caption") << u"N25"_s << u"会员卡级别"_s << QString();
}

void TestMainWindow::captionsAndShortcuts()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QAction *a = Actions::find(name);
    QVERIFY2(a, qPrintable(name));
    QCOMPARE(a->objectName(), name);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut().toString(QKeySequence::PortableText), shortcut);
    QCOMPARE(w->findChild<QToolButton *>(u"TB_Awoke"_s)->text(), u" 到期提醒 "_s);
    QCOMPARE(w->findChild<QToolButton *>(u"ToolButton7"_s)->text(), u"交班管理"_s);
}

void TestMainWindow::rightGatesItsCommands_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("names");
    for (const auto &[position, names] : gated())
        QTest::addRow("right %d", position) << position << names;
}

void TestMainWindow::rightGatesItsCommands()
{
    QFETCH(int, position);
    QFETCH(QStringList, names);
    addOperator(u"店员"_s, 104, position);
    logIn(u"店员"_s);
    for (const auto &[p, ns] : gated())
        for (const QString &n : ns) {
            QVERIFY2(Actions::find(n), qPrintable(n));
            QVERIFY2(Actions::isEnabled(n) == (p != position), qPrintable(n));
        }
    for (const QString &n : names)
        QVERIFY(!Actions::trigger(n));
}

void TestMainWindow::operatorWithoutRowsGetsNoGatedCommand()
{
    addOperator(u"店员"_s, 104);
    logIn(u"店员"_s);
    QVERIFY(Actions::isEnabled(u"AddCash"_s));
    // The next login has no rights rows at all: nothing gated stays on.
    QVERIFY(tdb.exec(u"INSERT INTO Admin (UserName, Password, PartName, IsUser) VALUES ('新人', '', '普通用户', 1)"_s));
    logIn(u"新人"_s);
    for (const auto &[p, ns] : gated())
        for (const QString &n : ns)
            QVERIFY2(!Actions::isEnabled(n), qPrintable(n));
    for (const QString &n : alwaysOn)
        QVERIFY2(Actions::isEnabled(n), qPrintable(n));
    QCOMPARE(w->findChild<QLabel *>(u"StatusPanel0"_s)->text(), u" 当前操作员: 新人"_s);
}

void TestMainWindow::fewerRowsLeaveLaterPositionsOff()
{
    addOperator(u"临时工"_s, 20);
    logIn(u"临时工"_s);
    for (const auto &[p, ns] : gated())
        for (const QString &n : ns)
            QVERIFY2(Actions::isEnabled(n) == (p <= 20), qPrintable(n));
}

void TestMainWindow::captionIsTitlePlusVersion()
{
    QVERIFY(tdb.exec(u"UPDATE T_SoftInfo SET SoftName = ?, Version = ?"_s, {u"美发会员"_s, u"V2.1"_s}));
    w->show();
    QCOMPARE(w->windowTitle(), u"美发会员V2.1"_s);
    QCOMPARE(QGuiApplication::applicationDisplayName(), u"美发会员"_s);
    QCOMPARE(w->findChild<QLabel *>(u"StatusPanel2"_s)->text(), QCoreApplication::applicationFilePath());
    QVERIFY(w->findChild<QLabel *>(u"StatusPanel1"_s));
    QVERIFY(!Actions::find(u"N37"_s)->isVisible());
    QVERIFY(!Actions::find(u"N36"_s)->isVisible());
}

void TestMainWindow::closingWritesMemberCount()
{
    for (int i = 1; i <= 3; ++i)
        QVERIFY(tdb.exec(u"INSERT INTO T_Card (CardCode, MemName) VALUES (?, ?)"_s,
                         {QString(u"A0"_s + QString::number(i)), QString(u"会员"_s + QString::number(i))}));
    const int count = tdb.scalar(u"SELECT COUNT(*) FROM T_Card"_s).toInt();
    QVERIFY(count >= 3);
    w->show();
    Actions::find(u"N2"_s)->trigger();
    QVERIFY(!w->isVisible());
    IniFile ini(tdb.data()->Ini.path());
    QCOMPARE(ini.readInteger(u"Config"_s, u"Max"_s, -1), count);
}

void TestMainWindow::handoverNoDoesNothing()
{
    addOperator(u"店员"_s, 104);
    logIn(u"店员"_s);
    const QDateTime loginTime = Session::instance().LoginTime;
    bool modalOpened = false;
    auto guard = closeModals(&modalOpened);
    ScriptedPrompt sp;
    sp.answer(QMessageBox::No);
    Actions::find(u"N60"_s)->trigger();
    QCOMPARE(sp.messages.size(), 1);
    QCOMPARE(sp.last().caption, u"警告"_s);
    QCOMPARE(sp.last().text, u"你确认交班吗?"_s);
    QCOMPARE(sp.last().buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(!modalOpened);
    QCOMPARE(Session::instance().CurrentOperator, u"店员"_s);
    QCOMPARE(Session::instance().LoginTime, loginTime);
}

void TestMainWindow::timer2OpensMemberListOnce()
{
    int opened = 0;
    connect(Actions::find(u"M_Card"_s), &QAction::triggered, this, [&] { ++opened; });
    w->show();
    QTRY_COMPARE(opened, 1);
    QTest::qWait(500);
    QCOMPARE(opened, 1);
    // The member list switches the reminder off by name, without knowing the main window.
    w->Timer1->start();
    QVERIFY(QMetaObject::invokeMethod(WindowHost::mainWindow(), "stopReminderTimer"));
    QVERIFY(!w->Timer1->isActive());
}

void TestMainWindow::reminderTimerOpensReminderAfterLogin()
{
    tdb.data()->Ini.writeInteger(u"other"_s, u"Awoke"_s, 0);
    int reminders = 0;
    bool modalOpened = false;
    auto guard = closeModals(&modalOpened);
    connect(Actions::find(u"M_Awoke"_s), &QAction::triggered, this, [&] { ++reminders; });
    addOperator(u"店员"_s, 104);
    logIn(u"店员"_s);
    QTRY_COMPARE_WITH_TIMEOUT(reminders, 1, 3000);
    QTest::qWait(1500);
    QCOMPARE(reminders, 1);
}

// Pictures of the window after a real login, for a person to look at; runs only
// when ORVALIS_SHOT_DIR names a folder (under xvfb-run, not offscreen).
void TestMainWindow::screenshots()
{
    const QString dir = qEnvironmentVariable("ORVALIS_SHOT_DIR");
    if (dir.isEmpty())
        return; // not a skip: the PostgreSQL run reads any skip as "no server"
    QDir().mkpath(dir);
    // The tool bar pictures come from the program home, as in a real installation.
    QDir().mkpath(tdb.home() + u"/IMG"_s);
    for (const QFileInfo &f : QDir(TestDb::resourcesDir() + u"/IMG"_s).entryInfoList(QDir::Files))
        QFile::copy(f.filePath(), tdb.home() + u"/IMG/"_s + f.fileName());
    w = std::make_unique<TFrm_Main>();
    // An operator of the role 普通用户, with the role's rights copied in catalogue order.
    QVERIFY(tdb.exec(u"INSERT INTO Admin (UserName, Password, PartName, IsUser) VALUES ('收银员', '', '普通用户', 1)"_s));
    QSqlQuery q;
    QVERIFY(tdb.db().query(q, u"SELECT FunctionName, Authority, Tag, Code FROM T_PartAuthority WHERE PartName = ? ORDER BY Code"_s,
                           SqlArgs{u"普通用户"_s}));
    QList<QVariantList> rows;
    while (q.next())
        rows << QVariantList{u"收银员"_s, q.value(0), q.value(1), q.value(2), q.value(3)};
    QVERIFY(!rows.isEmpty());
    for (const QVariantList &r : rows)
        QVERIFY(tdb.exec(u"INSERT INTO T_UserAuthority (UserName, FunctionName, Authority, Tag, Code) VALUES (?, ?, ?, ?, ?)"_s, r));

    for (const QString &user : {u"Admin"_s, u"收银员"_s}) {
        TFrm_Login dlg;
        dlg.FormShow();
        auto *combo = dlg.findChild<QComboBox *>(u"Combo_User"_s);
        combo->setCurrentIndex(combo->findText(user));
        dlg.findChild<QPushButton *>(u"Btn_ok"_s)->click();
        QVERIFY(dlg.loginSucceeded());
        w->showMaximized();
        w->resize(1400, 860); // no window manager under Xvfb to maximise it
        QTest::qWait(800);
        const QString tag = user == u"Admin"_s ? u"admin"_s : u"user"_s;
        QVERIFY(w->grab().save(dir + u"/main-"_s + tag + u".png"_s));
        for (const QString &m : {u"N1"_s, u"N24"_s, u"N3"_s}) {
            auto *menu = w->findChild<QMenu *>(m);
            menu->popup(w->mapToGlobal(QPoint(20, 30)));
            QTest::qWait(200);
            QVERIFY(menu->grab().save(dir + u"/menu-"_s + m + u"-"_s + tag + u".png"_s));
            menu->hide();
        }
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
