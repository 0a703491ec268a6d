#include "TestDb.h"
#include "app/Session.h"
#include "app/U_ChangePass.h"
#include "app/U_Login.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

// The login and password dialogs driven through their controls on a real database.
class TestLogin : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { tdb.tearDown(); }
    void listShowsOperatorsInLoginList();
    void loginRules_data();
    void loginRules();
    void longNameIsCutAndGetsNoRights();
    void reloginWithFewerRightsRows();
    void changePassword_data();
    void changePassword();

private:
    void addOperator(const QString &name, const QString &password, int rightsRows, int isUser = 1);
    bool tryLogin(const QString &user, const QString &password, ScriptedPrompt &prompt);
    TestDb tdb;
};

void TestLogin::init()
{
    ORVALIS_INIT_DB(tdb);
    Session::instance().reset();
}

void TestLogin::addOperator(const QString &name, const QString &password, int rightsRows, int isUser)
{
    QVERIFY(tdb.exec(u"INSERT INTO Admin (UserName, Password, PartName, IsUser) VALUES (?, ?, '普通用户', ?)"_s,
                     {name, password, isUser}));
    // Rights rows in catalogue order: the first `rightsRows` entries of the catalogue, all granted but the 17th.
    QSqlQuery q;
    QVERIFY(tdb.db().query(q, u"select FunctionName, Code from T_System order by Code"_s));
    int n = 0;
    QList<QVariantList> rows;
    while (q.next() && n < rightsRows) {
        ++n;
        rows << QVariantList{name, q.value(0), n == 17 ? 0 : 1, 2, q.value(1)};
    }
    for (const QVariantList &r : rows)
        QVERIFY(tdb.exec(u"INSERT INTO T_UserAuthority (UserName, FunctionName, Authority, Tag, Code) "
                         u"VALUES (?, ?, ?, ?, ?)"_s, r));
}

bool TestLogin::tryLogin(const QString &user, const QString &password, ScriptedPrompt &prompt)
{
    Q_UNUSED(prompt);
    TFrm_Login dlg;
    dlg.FormShow();
    auto *combo = dlg.findChild<QComboBox *>(u"Combo_User"_s);
    combo->setCurrentIndex(combo->findText(user));
    dlg.findChild<QLineEdit *>(u"Edit_Pass"_s)->setText(password);
    dlg.findChild<QPushButton *>(u"Btn_ok"_s)->click();
    return dlg.loginSucceeded();
}

void TestLogin::listShowsOperatorsInLoginList()
{
    addOperator(u"收银员"_s, u"1"_s, 104);
    addOperator(u"离职员工"_s, u"1"_s, 104, 0);
    tdb.data()->Ini.writeInteger(u"login"_s, u"username"_s, 1);
    TFrm_Login dlg;
    dlg.FormShow();
    auto *combo = dlg.findChild<QComboBox *>(u"Combo_User"_s);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), u"Admin"_s);
    QCOMPARE(combo->currentText(), u"收银员"_s);
    tdb.data()->Ini.writeInteger(u"login"_s, u"username"_s, 7); // beyond the list: nobody
    dlg.FormShow();
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(dlg.windowTitle(), u"登录"_s);
}

void TestLogin::loginRules_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty matches empty") << QString() << QString() << true << QString();
    QTest::newRow("exact") << u"Secret1"_s << u"Secret1"_s << true << QString();
    QTest::newRow("case differs") << u"Secret1"_s << u"secret1"_s << false << u"密码错误，请重新输入密码！"_s;
    QTest::newRow("nothing typed") << u"Secret1"_s << QString() << false << u"请输入密码！"_s;
    QTest::newRow("stored spaces") << u"   "_s << u"x"_s << false << u"店长密码为空，您可以直接点击确定按钮登录！"_s;
    QTest::newRow("not trimmed") << u"abc"_s << u"abc "_s << false << u"密码错误，请重新输入密码！"_s;
    QTest::newRow("quote is data") << u"a'b"_s << u"a'b"_s << true << QString();
    QTest::newRow("injection fails") << u"real"_s << u"' or '1'='1"_s << false << u"密码错误，请重新输入密码！"_s;
}

void TestLogin::loginRules()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, succeeds);
    QFETCH(QString, message);
    addOperator(u"店长"_s, stored, 104);
    ScriptedPrompt prompt;
    QCOMPARE(tryLogin(u"店长"_s, typed, prompt), succeeds);
    if (succeeds) {
        QVERIFY(prompt.messages.isEmpty());
        QCOMPARE(Session::instance().CurrentOperator, u"店长"_s);
        QVERIFY(Session::instance().LoginTime.isValid());
        QVERIFY(Session::instance().right(2));
        QVERIFY(!Session::instance().right(17));
    } else {
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(prompt.last().caption, u"警告"_s);
        QCOMPARE(prompt.last().text, message);
        QVERIFY(Session::instance().CurrentOperator.isEmpty());
    }
    // The chosen position is remembered whatever the outcome.
    QCOMPARE(tdb.data()->Ini.readInteger(u"login"_s, u"username"_s, -1), 1);
}

void TestLogin::longNameIsCutAndGetsNoRights()
{
    const QString name = u"一二三四五六七八九十十一"_s; // 24 bytes in the legacy code page
    addOperator(name, QString(), 104);
    ScriptedPrompt prompt;
    QVERIFY(tryLogin(name, QString(), prompt));
    QCOMPARE(Session::instance().CurrentOperator, u"一二三四五六七八九十"_s);
    for (int i = 1; i <= 104; ++i)
        QVERIFY(!Session::instance().right(i));
}

void TestLogin::reloginWithFewerRightsRows()
{
    addOperator(u"临时工"_s, QString(), 20);
    ScriptedPrompt prompt;
    QVERIFY(tryLogin(u"Admin"_s, QString(), prompt));
    QVERIFY(Session::instance().right(104));
    QVERIFY(tryLogin(u"临时工"_s, QString(), prompt));
    QVERIFY(Session::instance().right(20));
    QVERIFY(!Session::instance().right(17));
    QVERIFY(!Session::instance().right(21));
    QVERIFY(!Session::instance().right(104));
    // A cancelled login leaves the operator logged in.
    TFrm_Login dlg;
    dlg.FormShow();
    dlg.findChild<QPushButton *>(u"Btn_Exit"_s)->click();
    QVERIFY(!dlg.loginSucceeded());
    QCOMPARE(Session::instance().CurrentOperator, u"临时工"_s);
}

void TestLogin::changePassword_data()
{
    QTest::addColumn<QString>("oldTyped");
    QTest::addColumn<QString>("newPass");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored");
    QTest::newRow("wrong old") << u"x"_s << u"n"_s << u"n"_s << u"旧密码错误!"_s << u"old'1"_s;
    QTest::newRow("confirm differs") << u"old'1"_s << u"n"_s << u"m"_s
                                     << u"在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码."_s << u"old'1"_s;
    QTest::newRow("changed") << u"old'1"_s << u"新'密码"_s << u"新'密码"_s << u"修改密码成功!"_s << u"新'密码"_s;
    QTest::newRow("empty new") << u"old'1"_s << QString() << QString() << u"修改密码成功!"_s << QString();
}

void TestLogin::changePassword()
{
    QFETCH(QString, oldTyped);
    QFETCH(QString, newPass);
    QFETCH(QString, confirm);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    addOperator(u"店长"_s, u"old'1"_s, 104);
    addOperator(u"店员"_s, u"other"_s, 104);
    Session::instance().CurrentOperator = u"店长"_s;
    ScriptedPrompt prompt;
    TFrm_ChangePass dlg;
    dlg.findChild<QLineEdit *>(u"Edit_oldpass"_s)->setText(oldTyped);
    dlg.findChild<QLineEdit *>(u"Edit_newpass"_s)->setText(newPass);
    dlg.findChild<QLineEdit *>(u"Edit_pass"_s)->setText(confirm);
    dlg.findChild<QPushButton *>(u"Btn_ok"_s)->click();
    QCOMPARE(prompt.texts(), QStringList{message});
    QCOMPARE(tdb.scalar(u"select Password from Admin where UserName = ?"_s, {u"店长"_s}).toString(), stored);
    QCOMPARE(tdb.scalar(u"select Password from Admin where UserName = ?"_s, {u"店员"_s}).toString(), u"other"_s);
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
