#include "TestDb.h"
#include "app/AppPaths.h"
#include "app/Prompt.h"
#include "app/U_Splash.h"

#include <QLabel>

using namespace Qt::StringLiterals;

// Reading Config.ini, connecting, and the failure path with its question.
class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lowerCaseSectionIsReadTheSame();
    void newHomeGetsAnEmbeddedDatabase();
    void failedConnection_data();
    void failedConnection();
    void splashWithoutPicture();
    void reportFilesTable();

private:
    QTemporaryDir *home = nullptr;
    QStringList launched;
};

void TestStartup::init()
{
    home = new QTemporaryDir;
    AppPaths::setHome(home->path());
    launched.clear();
    TFrm_Data::launcher = [this](const QString &program, const QStringList &args) {
        launched << program << args;
        return true;
    };
}

void TestStartup::cleanup()
{
    delete home;
    home = nullptr;
}

void TestStartup::lowerCaseSectionIsReadTheSame()
{
    QFile f(AppPaths::configFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[dbconn]\ndriver=SQLite\ndatabase=shop.db\n");
    f.close();
    IniFile ini(AppPaths::configFile());
    const ConnectionSettings s = ConnectionSettings::fromIni(ini, home->path());
    QVERIFY(!s.isPostgres());
    QCOMPARE(s.database, home->filePath(u"shop.db"_s));
    const ConnectionSettings pg = ConnectionSettings::fromPgConnectionText(u"host=/tmp/x port=5433 user=u dbname=d"_s);
    QVERIFY(pg.isPostgres());
    QCOMPARE(pg.port, 5433);
}

void TestStartup::newHomeGetsAnEmbeddedDatabase()
{
    ScriptedPrompt prompt;
    TFrm_Data data;
    QStringList said;
    QVERIFY(data.connectDatabase([&](const QString &t) { said << t; }));
    QVERIFY(data.DbConnected);
    QCOMPARE(said, QStringList{u"正在连接数据库,请等待..."_s});
    QVERIFY(QFile::exists(home->filePath(u"orvalis.db"_s)));
    QCOMPARE(IniFile(AppPaths::configFile()).readString(u"DBConn"_s, u"Driver"_s), u"sqlite"_s);
    QCOMPARE(data.Qry_Custom->rowCount(), 1); // the company record is read at start
    QVERIFY(prompt.messages.isEmpty());
    // A second start keeps what the first one wrote.
    QVERIFY(data.ADOConnection1.exec(u"INSERT INTO T_Card (CardCode) VALUES ('X1')"_s));
    data.ADOConnection1.close();
    TFrm_Data again;
    QVERIFY(again.connectDatabase());
    QCOMPARE(again.ADOConnection1.scalar(u"select count(*) from T_Card"_s).toInt(), 1);
}

void TestStartup::failedConnection_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("launches");
    // A folder that does not exist cannot hold the embedded file.
    QTest::newRow("no, sqlite") << QByteArray("[DBConn]\nDriver=sqlite\nDatabase=/nonexistent/dir/x.db\n")
                                << int(QMessageBox::No) << false;
    QTest::newRow("yes, sqlite") << QByteArray("[DBConn]\nDriver=sqlite\nDatabase=/nonexistent/dir/x.db\n")
                                 << int(QMessageBox::Yes) << true;
    // A password with ";" is data, not syntax; a wrong one still fails cleanly.
    QTest::newRow("yes, unreachable server")
        << QByteArray("[DBConn]\nDriver=postgres\nServer=/nonexistent-socket-dir\nPort=1\nDatabase=x\nUser=u\nPassword=a;b\n")
        << int(QMessageBox::Yes) << true;
}

void TestStartup::failedConnection()
{
    QFETCH(QByteArray, config);
    QFETCH(int, answer);
    QFETCH(bool, launches);
    QFile f(AppPaths::configFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(config);
    f.close();
    ScriptedPrompt prompt;
    prompt.answer(QMessageBox::StandardButton(answer));
    TFrm_Data data;
    QStringList said;
    QVERIFY(!data.connectDatabase([&](const QString &t) { said << t; }));
    QVERIFY(!data.DbConnected);
    QCOMPARE(said.last(), u"连接数据库失败..."_s);
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.last().caption, u"失败"_s);
    QCOMPARE(prompt.last().text, u"连接数据库失败,是否要重新配置数据库?"_s);
    QCOMPARE(prompt.last().icon, Prompt::Icon::Information);
    QCOMPARE(!launched.isEmpty(), launches);
    if (launches)
        QVERIFY(launched.contains(u"--configure"_s));
}

void TestStartup::splashWithoutPicture()
{
    // No IMG folder in this home: the splash still shows, with its status line.
    TFrm_Splash splash;
    setSplashWindow(&splash);
    SplashStatus(u"正在连接数据库,请等待..."_s);
    QCOMPARE(splash.Label1->text(), u"正在连接数据库,请等待..."_s);
    QVERIFY(!splash.Image1->pixmap().isNull());
    setSplashWindow(nullptr);
    SplashStatus(u"ignored"_s); // no splash window: nothing happens
}

void TestStartup::reportFilesTable()
{
    QCOMPARE(TFrm_Data::reportFiles().size(), 8);
    QCOMPARE(TFrm_Data::reportPath(u"FRX_HUIYUAN"_s), home->filePath(u"Reports/frm_huiyuan.fr3"_s));
    QVERIFY(TFrm_Data::reportPath(u"nothing"_s).isEmpty());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
