#include "TestDb.h"
#include "app/Actions.h"
#include "app/Session.h"
#include "app/WindowHost.h"
#include "data/Ledger.h"
#include "grid/CategoryTree.h"
#include "grid/DataGrid.h"
#include "members/MemberActions.h"
#include "members/MemberRules.h"
#include "members/U_AddCard.h"
#include "members/U_Card.h"
#include "members/U_CardType.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// The member windows driven through their controls on a real database.
class TestMembers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void countCardUses_data();
    void countCardUses();
    void addEachKind_data();
    void addEachKind();
    void duplicateCardNumberRefused();
    void numbersCheckedBeforeWriting_data();
    void numbersCheckedBeforeWriting();
    void editKeepsPointsTrue();
    void deleteCascades_data();
    void deleteCascades();
    void delCardWithoutListIsHarmless();
    void searchByFieldIsBound_data();
    void searchByFieldIsBound();
    void categoryFilter();
    void expiryColour_data();
    void expiryColour();
    void cardReader_data();
    void cardReader();
    void swipeTimerClearsQuietly();
    void lossReportOfDiscountCard();
    void cardLevelChecks_data();
    void cardLevelChecks();
    void cardLevelRightsAfterSave();

private:
    qint64 addMember(const QString &code, const QString &name, const QString &kind = u"折扣卡"_s,
                     const QVariantMap &extra = {});
    void addBill(qint64 userId, const QString &code, const QString &bill, double amount, double cent);
    TFrm_Card *openList();
    template <class T> T *child(QWidget *w, const QString &name)
    {
        T *c = w->findChild<T *>(name);
        if (!c)
            qWarning("no control %s", qPrintable(name));
        return c;
    }
    qint64 count(const QString &sql, const QVariantList &args = {}) { return tdb.scalar(sql, args).toLongLong(); }

    TestDb tdb;
    std::unique_ptr<QMainWindow> main;
    QLabel *status = nullptr;
};

void TestMembers::initTestCase()
{
    // The shipped schema is a resource of a static library: make sure it is linked in.
    Q_INIT_RESOURCE(db);
}

void TestMembers::init()
{
    ORVALIS_INIT_DB(tdb);
    Session &s = Session::instance();
    s.reset();
    s.CurrentOperator = u"Admin"_s;
    for (int i = 1; i <= Session::RightCount; ++i)
        s.setRight(i, true);
    main = std::make_unique<QMainWindow>();
    auto *area = new QMdiArea(main.get());
    main->setCentralWidget(area);
    status = new QLabel(main.get());
    status->setObjectName(u"StatusPanel1"_s);
    WindowHost::setMdiArea(area);
    WindowHost::setMainWindow(main.get());
    Actions::clear();
    for (const char *name : {"M_Card", "AddCard", "EditCard", "DelCard", "M_CardType", "AddCardType", "EditCardType",
                             "DelCardType", "SaveCardType", "CancelCardType", "AddCash", "Card_GS"}) {
        auto *a = new QAction(main.get());
        a->setObjectName(QString::fromLatin1(name));
        Actions::add(a);
    }
    members::installActions(main.get());
}

void TestMembers::cleanup()
{
    WindowHost::closeAllChildren();
    Actions::clear();
    main.reset();
    tdb.tearDown();
}

qint64 TestMembers::addMember(const QString &code, const QString &name, const QString &kind, const QVariantMap &extra)
{
    QVariantMap cols = extra;
    cols[u"CardCode"_s] = code;
    cols[u"MemName"_s] = name;
    cols[u"NewCard"_s] = kind;
    QStringList names = cols.keys();
    QStringList marks;
    QVariantList args;
    for (const QString &n : names) {
        marks << u"?"_s;
        args << cols.value(n);
    }
    tdb.exec(u"insert into T_Card ("_s + names.join(u',') + u") values ("_s + marks.join(u',') + u")"_s, args);
    return count(u"select UserID from T_Card where CardCode = ?"_s, {code});
}

void TestMembers::addBill(qint64 userId, const QString &code, const QString &bill, double amount, double cent)
{
    tdb.exec(u"insert into T_CardCash (UserID, CashDate, CashMoney, BillCode, CardCode, F_User) values (?, ?, ?, ?, ?, 'Admin')"_s,
             {userId, QDate::currentDate(), amount, bill, code});
    tdb.exec(u"insert into T_CardCashDetail (GoodsCode, GoodsName, Number, CashMoney, Price, Discount, Units, Cent, BillCode, CardCode) "
             u"values ('G01', '洗发', 1, ?, ?, 1, '次', ?, ?, ?)"_s,
             {amount, amount, cent, bill, code});
}

TFrm_Card *TestMembers::openList()
{
    TFrm_Card *list = ShowChildForm<TFrm_Card>();
    if (list)
        list->FormShow();
    return list;
}

// ---- rules ----

void TestMembers::countCardUses_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("uses");
    QTest::newRow("100") << u"100"_s << true << qint64(10);
    QTest::newRow("95") << u"95"_s << true << qint64(9);
    QTest::newRow("0") << u"0"_s << true << qint64(0);
    QTest::newRow("spaces") << u" 120 "_s << true << qint64(12);
    QTest::newRow("99.99") << u"99.99"_s << true << qint64(9);
    QTest::newRow("text") << u"十元"_s << false << qint64(0);
}

void TestMembers::countCardUses()
{
    QFETCH(QString, amount);
    QFETCH(bool, ok);
    QFETCH(qint64, uses);
    qint64 got = -1;
    QCOMPARE(members::CountCardUses(amount, &got), ok);
    if (ok)
        QCOMPARE(got, uses);
}

// ---- editor ----

void TestMembers::addEachKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("money");      // T_Card.Money afterwards
    QTest::addColumn<int>("topUps");         // T_Money rows
    QTest::addColumn<int>("journal");        // T_CardLedger rows
    QTest::newRow("discount") << 0 << u""_s << u"0"_s << 0 << 0;
    QTest::newRow("stored 250") << 1 << u"250"_s << u"250"_s << 1 << 1;
    QTest::newRow("stored 0") << 1 << u"0"_s << u"0"_s << 0 << 1;
    QTest::newRow("count 100") << 2 << u"100"_s << u"10"_s << 1 << 1;
    QTest::newRow("count 95") << 2 << u"95"_s << u"9"_s << 1 << 1;
    QTest::newRow("count 0") << 2 << u"0"_s << u"0"_s << 0 << 1;
    QTest::newRow("upgrade 300") << 3 << u"300"_s << u"300"_s << 1 << 1;
}

void TestMembers::addEachKind()
{
    QFETCH(int, kind);
    QFETCH(QString, amount);
    QFETCH(QString, money);
    QFETCH(int, topUps);
    QFETCH(int, journal);
    ScriptedPrompt sp;
    openList();
    TFrm_AddCard dlg;
    dlg.AddMode = 1;
    dlg.FormShow();
    child<QLineEdit>(&dlg, u"Edit_Name"_s)->setText(u"张三"_s);
    child<QLineEdit>(&dlg, u"Edit_Code"_s)->setText(u"K001"_s);
    auto *kindBox = child<QComboBox>(&dlg, u"Combo_Card"_s);
    kindBox->setCurrentIndex(kind);
    QCOMPARE(child<QStackedWidget>(&dlg, u"PageControl1"_s)->currentIndex(), kind);
    const QString sfx = kind == 0 ? QString() : QString::number(kind + 1);
    child<QLineEdit>(&dlg, u"Edit_StartCent"_s + sfx)->setText(u"5"_s);
    if (kind > 0)
        child<QLineEdit>(&dlg, u"Edit_khmoney"_s + sfx)->setText(amount);
    if (kind == 1) {
        child<QLineEdit>(&dlg, u"Edit_Pass2"_s)->setText(u"123"_s);
        child<QLineEdit>(&dlg, u"Edit_truepass"_s)->setText(u"123"_s);
    }
    child<QPushButton>(&dlg, u"Btn_OK"_s)->click();
    QVERIFY2(sp.messages.isEmpty(), qPrintable(sp.texts().join(u" | "_s)));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));

    QSqlQuery q;
    QVERIFY(tdb.db().query(q, u"select NewCard, Money, StartCent, Cent, CardLevel, BeginDate, Password, UserName, UserID "
                               u"from T_Card where CardCode = 'K001'"_s));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), kindBox->itemText(kind));
    QCOMPARE(Money::fromVariant(q.value(1)).toPlainString(), money);
    QCOMPARE(q.value(2).toDouble(), 5.0);
    QCOMPARE(q.value(3).toDouble(), 5.0);
    if (kind == 3) // the first level is taken when the operator does not pick one
        QCOMPARE(q.value(4).toString(), tdb.scalar(u"select CardType from Dict_CardType order by ID"_s).toString());
    QCOMPARE(fmt::toDate(q.value(5)), fmt::dayZero());
    if (kind == 1)
        QCOMPARE(q.value(6).toString(), u"123"_s);
    QCOMPARE(q.value(7).toString(), u"Admin"_s);
    const qint64 id = q.value(8).toLongLong();
    QCOMPARE(count(u"select count(*) from T_Money where CardCode = 'K001'"_s), qint64(topUps));
    if (topUps)
        QCOMPARE(Money::fromVariant(tdb.scalar(u"select xfmoney from T_Money where CardCode = 'K001'"_s)).toPlainString(),
                 amount);
    QCOMPARE(count(u"select count(*) from T_CardLedger where UserID = ?"_s, {id}), qint64(journal));
    QVERIFY(ledger::mismatches(tdb.db()).isEmpty());
    // The list shows the new member as its current row.
    QCOMPARE(tdb.data()->Qry_Card->text(u"CardCode"_s), u"K001"_s);
}

void TestMembers::duplicateCardNumberRefused()
{
    addMember(u"A01"_s, u"甲"_s);
    ScriptedPrompt sp;
    openList();
    TFrm_AddCard dlg;
    dlg.AddMode = 1;
    dlg.FormShow();
    dlg.show();
    child<QLineEdit>(&dlg, u"Edit_Name"_s)->setText(u"乙"_s);
    child<QLineEdit>(&dlg, u"Edit_Code"_s)->setText(u"a01"_s);
    dlg.Btn_OKClick();
    QCOMPARE(sp.texts(), QStringList{u"会员卡号有重复，请您换一个会员卡号"_s});
    QCOMPARE(sp.last().caption, u"警告"_s);
    QVERIFY(dlg.result() != QDialog::Accepted);
    QCOMPARE(dlg.focusWidget(), child<QLineEdit>(&dlg, u"Edit_Code"_s));
    QCOMPARE(count(u"select count(*) from T_Card"_s), qint64(1));
}

void TestMembers::numbersCheckedBeforeWriting_data()
{
    QTest::addColumn<QString>("startCent");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("message");
    QTest::newRow("points not a number") << u"abc"_s << u"100"_s << u"初始积分必须是数字!"_s;
    QTest::newRow("amount not a number") << u"0"_s << u"10O"_s << u"开户金额必须是数字!"_s;
    QTest::newRow("negative amount") << u"0"_s << u"-50"_s << u"开户金额不能为负数!"_s;
}

void TestMembers::numbersCheckedBeforeWriting()
{
    QFETCH(QString, startCent);
    QFETCH(QString, amount);
    QFETCH(QString, message);
    ScriptedPrompt sp;
    TFrm_AddCard dlg;
    dlg.AddMode = 1;
    dlg.FormShow();
    child<QLineEdit>(&dlg, u"Edit_Name"_s)->setText(u"丙"_s);
    child<QLineEdit>(&dlg, u"Edit_Code"_s)->setText(u"C01"_s);
    child<QComboBox>(&dlg, u"Combo_Card"_s)->setCurrentIndex(2);
    child<QLineEdit>(&dlg, u"Edit_StartCent3"_s)->setText(startCent);
    child<QLineEdit>(&dlg, u"Edit_khmoney3"_s)->setText(amount);
    dlg.Btn_OKClick();
    QCOMPARE(sp.texts(), QStringList{message});
    // Neither the member nor a top-up without its member.
    QCOMPARE(count(u"select count(*) from T_Card"_s), qint64(0));
    QCOMPARE(count(u"select count(*) from T_Money"_s), qint64(0));
}

void TestMembers::editKeepsPointsTrue()
{
    const qint64 id = addMember(u"E01"_s, u"旧名"_s, u"升级卡"_s,
                                {{u"StartCent"_s, 10}, {u"Cent"_s, 10}, {u"Password"_s, u"9"_s}, {u"Money"_s, 500}});
    addBill(id, u"E01"_s, u"XF-2026-01-01-0001"_s, 120, 12);
    addBill(id, u"E01"_s, u"XF-2026-01-01-0002"_s, 30, 3);
    tdb.exec(u"insert into T_DHRecord (GoodsCode, GoodsName, DHDate, DHNum, DHCent, UserID, Cent, CardCode) "
             u"values ('D1', '毛巾', ?, 1, 4, ?, 4, 'E01')"_s, {QDate::currentDate(), id});
    ScriptedPrompt sp;
    openList();
    QVERIFY(tdb.data()->Qry_Card->locate(u"UserID"_s, id));
    TFrm_AddCard dlg;
    dlg.AddMode = 0;
    dlg.FormShow();
    QCOMPARE(child<QStackedWidget>(&dlg, u"PageControl1"_s)->currentIndex(), 3);
    QVERIFY(!child<QLineEdit>(&dlg, u"Edit_Code"_s)->isEnabled());
    QCOMPARE(child<QLineEdit>(&dlg, u"Edit_khmoney4"_s)->text(), u"500"_s);
    QCOMPARE(child<QLineEdit>(&dlg, u"Edit_Pass4"_s)->text(), u"9"_s);
    child<QLineEdit>(&dlg, u"Edit_Name"_s)->setText(u"新名"_s);
    child<QLineEdit>(&dlg, u"Edit_StartCent4"_s)->setText(u"20"_s);
    child<QLineEdit>(&dlg, u"Edit_khmoney4"_s)->setText(u"99999"_s); // disabled: never written
    dlg.Btn_OKClick();
    QVERIFY2(sp.messages.isEmpty(), qPrintable(sp.texts().join(u" | "_s)));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QSqlQuery q;
    QVERIFY(tdb.db().query(q, u"select MemName, StartCent, Cent, CashMoney, Money from T_Card where UserID = ?"_s, SqlArgs{id}));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), u"新名"_s);
    QCOMPARE(q.value(1).toDouble(), 20.0);
    QCOMPARE(q.value(2).toDouble(), 20.0 + 12 + 3 - 4);
    QCOMPARE(Money::fromVariant(q.value(3)).toPlainString(), u"150"_s);
    QCOMPARE(Money::fromVariant(q.value(4)).toPlainString(), u"500"_s);
    QCOMPARE(tdb.data()->Qry_Card->text(u"MemName"_s), u"新名"_s);
}

// ---- delete ----

void TestMembers::deleteCascades_data()
{
    QTest::addColumn<QList<int>>("selected"); // rows of the list (members in UserID order)
    QTest::addColumn<QString>("question");
    QTest::newRow("single") << QList<int>{1} << u"确定要删除这条会员记录吗！"_s;
    QTest::newRow("batch of three") << QList<int>{0, 2, 3} << u"确定要删除这批会员记录吗！"_s;
}

void TestMembers::deleteCascades()
{
    QFETCH(QList<int>, selected);
    QFETCH(QString, question);
    QList<qint64> ids;
    for (int i = 0; i < 5; ++i) {
        const QString code = u"M0"_s + QString::number(i);
        const qint64 id = addMember(code, u"会员"_s + QString::number(i), u"储值卡"_s);
        ids << id;
        addBill(id, code, u"XF-2026-02-0"_s + QString::number(i), 10 + i, 1);
        tdb.exec(u"insert into T_Money (CardCode, MemName, xfdate, xfmoney, UserName, CardType) values (?, 'x', ?, 50, 'Admin', '储值卡')"_s,
                 {code, QDate::currentDate()});
        tdb.exec(u"insert into T_DHRecord (GoodsCode, DHDate, DHNum, DHCent, UserID, Cent, CardCode) values ('D', ?, 1, 1, ?, 1, ?)"_s,
                 {QDate::currentDate(), id, code});
    }
    ScriptedPrompt sp;
    TFrm_Card *list = openList();
    QVERIFY(list);
    tdb.data()->OpenSQL(tdb.data()->Qry_Card, u"select * from T_Card order by UserID"_s);
    QTableView *view = list->memberGrid()->view();
    view->clearSelection();
    tdb.data()->Qry_Card->moveTo(selected.first());
    for (int r : selected)
        view->selectionModel()->select(view->model()->index(r, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(Actions::trigger(u"DelCard"_s));
    QCOMPARE(sp.texts(), QStringList{question});
    for (int i = 0; i < 5; ++i) {
        const bool gone = selected.contains(i);
        const QString code = u"M0"_s + QString::number(i);
        const qint64 left = gone ? 0 : 1;
        QCOMPARE(count(u"select count(*) from T_Card where UserID = ?"_s, {ids[i]}), left);
        QCOMPARE(count(u"select count(*) from T_CardCash where CardCode = ?"_s, {code}), left);
        QCOMPARE(count(u"select count(*) from T_CardCashDetail where CardCode = ?"_s, {code}), left);
        QCOMPARE(count(u"select count(*) from T_DHRecord where CardCode = ?"_s, {code}), left);
        QCOMPARE(count(u"select count(*) from T_Money where CardCode = ?"_s, {code}), left);
    }
    // The list was refreshed.
    QCOMPARE(tdb.data()->Qry_Card->rowCount(), 5 - int(selected.size()));
    QCOMPARE(status->text(), u" 共有 "_s + QString::number(5 - selected.size()) + u" 条记录"_s);
}

void TestMembers::delCardWithoutListIsHarmless()
{
    addMember(u"Z01"_s, u"某"_s);
    ScriptedPrompt sp;
    // Nothing loaded and no list: told there is nothing to delete.
    QVERIFY(Actions::trigger(u"DelCard"_s));
    QCOMPARE(sp.texts(), QStringList{u"没有删除的记录！"_s});
    QCOMPARE(count(u"select count(*) from T_Card"_s), qint64(1));
    // Members loaded but the list closed: the list opens, nothing is deleted.
    sp.clear();
    tdb.data()->OpenSQL(tdb.data()->Qry_Card, u"select * from T_Card"_s);
    QVERIFY(Actions::trigger(u"DelCard"_s));
    QVERIFY(sp.messages.isEmpty());
    QVERIFY(FindChildForm<TFrm_Card>());
    QCOMPARE(count(u"select count(*) from T_Card"_s), qint64(1));
}

// ---- list ----

void TestMembers::searchByFieldIsBound_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("quote") << u"会员姓名"_s << u"O'Brien"_s << QStringList{u"Q1"_s};
    QTest::newRow("percent") << u"会员姓名"_s << u"50%"_s << QStringList{u"Q2"_s};
    QTest::newRow("underscore") << u"会员姓名"_s << u"a_b"_s << QStringList{u"Q3"_s};
    QTest::newRow("case") << u"会员卡号"_s << u"q"_s << QStringList{u"Q1"_s, u"Q2"_s, u"Q3"_s};
    QTest::newRow("empty lists all") << u"会员姓名"_s << u""_s << QStringList{u"Q1"_s, u"Q2"_s, u"Q3"_s, u"X4"_s};
    QTest::newRow("number column") << u"卡中余额"_s << u"12.5"_s << QStringList{u"X4"_s};
}

void TestMembers::searchByFieldIsBound()
{
    QFETCH(QString, field);
    QFETCH(QString, keyword);
    QFETCH(QStringList, found);
    addMember(u"Q1"_s, u"O'Brien"_s);
    addMember(u"Q2"_s, u"打折50%会员"_s);
    addMember(u"Q3"_s, u"a_b"_s);
    addMember(u"X4"_s, u"a-b 500"_s, u"储值卡"_s, {{u"Money"_s, 12.5}});
    ScriptedPrompt sp;
    TFrm_Card *list = openList();
    auto *combo = child<QComboBox>(list, u"Combo_Field"_s);
    QCOMPARE(combo->itemText(0), u"会员卡号"_s);
    combo->setCurrentIndex(combo->findText(field));
    child<QLineEdit>(list, u"Edit_key1"_s)->setText(keyword);
    child<QPushButton>(list, u"Btn_OK"_s)->click();
    QVERIFY2(sp.messages.isEmpty(), qPrintable(sp.texts().join(u" | "_s))); // no statement box
    DataSet *cards = tdb.data()->Qry_Card;
    QStringList codes;
    for (int r = 0; r < cards->rowCount(); ++r)
        codes << cards->value(r, u"CardCode"_s).toString();
    codes.sort();
    QCOMPARE(codes, found);
    QCOMPARE(status->text(), u" 共有 "_s + QString::number(found.size()) + u" 条记录"_s);
    QVERIFY(child<QPushButton>(list, u"Btn_OK"_s)->isEnabled());
}

void TestMembers::categoryFilter()
{
    tdb.exec(u"delete from Mem_Category"_s);
    tdb.exec(u"insert into Mem_Category (code, name) values ('01', '金卡'), ('0101', '白金'), ('02', '普通')"_s);
    addMember(u"C3"_s, u"丙"_s, u"折扣卡"_s, {{u"Category"_s, u"0101"_s}});
    addMember(u"C1"_s, u"甲"_s, u"折扣卡"_s, {{u"Category"_s, u"01"_s}});
    addMember(u"C2"_s, u"乙"_s, u"折扣卡"_s, {{u"Category"_s, u"02"_s}});
    ScriptedPrompt sp;
    TFrm_Card *list = openList();
    auto *tree = child<QTreeWidget>(list, u"TreeView1"_s);
    auto codesShown = [this] {
        QStringList codes;
        for (int r = 0; r < tdb.data()->Qry_Card->rowCount(); ++r)
            codes << tdb.data()->Qry_Card->value(r, u"CardCode"_s).toString();
        return codes;
    };
    tree->setCurrentItem(FindCategoryItem(tree, u"01"_s));
    list->TreeView1DblClick();
    QCOMPARE(codesShown(), (QStringList{u"C3"_s, u"C1"_s})); // UserID order, sub-category included
    tree->setCurrentItem(FindCategoryItem(tree, u"0101"_s));
    list->TreeView1DblClick();
    QCOMPARE(codesShown(), QStringList{u"C3"_s});
    // F5 keeps the filter.
    addMember(u"C4"_s, u"丁"_s, u"折扣卡"_s, {{u"Category"_s, u"010101"_s}});
    list->N5Click();
    QCOMPARE(codesShown(), (QStringList{u"C3"_s, u"C4"_s}));
    tree->setCurrentItem(tree->topLevelItem(0));
    list->TreeView1DblClick();
    QCOMPARE(codesShown(), (QStringList{u"C3"_s, u"C1"_s, u"C2"_s, u"C4"_s}));
    QVERIFY(sp.messages.isEmpty());
}

void TestMembers::expiryColour_data()
{
    QTest::addColumn<QVariant>("endDate");
    QTest::addColumn<bool>("red");
    QTest::newRow("yesterday") << QVariant(QDate::currentDate().addDays(-1)) << true;
    QTest::newRow("today") << QVariant(QDate::currentDate()) << false;
    QTest::newRow("tomorrow") << QVariant(QDate::currentDate().addDays(1)) << false;
    QTest::newRow("day 0") << QVariant(fmt::dayZero()) << false;
}

void TestMembers::expiryColour()
{
    QFETCH(QVariant, endDate);
    QFETCH(bool, red);
    addMember(u"R1"_s, u"到期"_s, u"折扣卡"_s, {{u"EndDate"_s, endDate}});
    TFrm_Card *list = openList();
    QAbstractItemModel *model = list->memberGrid()->view()->model();
    const QVariant colour = model->data(model->index(0, 0), Qt::ForegroundRole);
    QCOMPARE(colour.isValid() && colour.value<QColor>() == QColor(Qt::red), red);
}

void TestMembers::cardReader_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("swiped");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("card number strips sentinels") << u"会员卡号"_s << u";12345?"_s << QStringList{u"12345"_s};
    QTest::newRow("other field as typed") << u"会员姓名"_s << u";12345?"_s << QStringList{u"77777"_s};
}

void TestMembers::cardReader()
{
    QFETCH(QString, field);
    QFETCH(QString, swiped);
    QFETCH(QStringList, found);
    addMember(u"12345"_s, u"刷卡"_s);
    addMember(u"77777"_s, u";12345?"_s);
    addMember(u"99999"_s, u"其他"_s);
    ScriptedPrompt sp;
    TFrm_Card *list = openList();
    auto *combo = child<QComboBox>(list, u"Combo_Field"_s);
    combo->setCurrentIndex(combo->findText(field));
    auto *box = child<QLineEdit>(list, u"Edit_key"_s);
    QTest::keyClicks(box, swiped);
    QVERIFY(list->Timer1->isActive());
    QTest::keyClick(box, Qt::Key_Return);
    QStringList codes;
    for (int r = 0; r < tdb.data()->Qry_Card->rowCount(); ++r)
        codes << tdb.data()->Qry_Card->value(r, u"CardCode"_s).toString();
    QCOMPARE(codes, found);
    QVERIFY(sp.messages.isEmpty());
}

void TestMembers::swipeTimerClearsQuietly()
{
    ScriptedPrompt sp;
    TFrm_Card *list = openList();
    auto *box = child<QLineEdit>(list, u"Edit_key"_s);
    QTest::keyClicks(box, u"abc"_s);
    QTRY_VERIFY_WITH_TIMEOUT(box->text().isEmpty(), 2000);
    QVERIFY(!list->Timer1->isActive());
    // A tick on an empty box says nothing.
    list->Timer1->start();
    list->Timer1Timer();
    QVERIFY(sp.messages.isEmpty());
}

void TestMembers::lossReportOfDiscountCard()
{
    const qint64 id = addMember(u"L1"_s, u"挂失"_s);
    addMember(u"L2"_s, u"储值"_s, u"储值卡"_s);
    ScriptedPrompt sp;
    TFrm_Card *list = openList();
    tdb.data()->Qry_Card->locate(u"UserID"_s, id);
    sp.answer(QMessageBox::No);
    list->MenuItem1Click();
    QCOMPARE(tdb.scalar(u"select state from T_Card where UserID = ?"_s, {id}).toString(), u"可用"_s);
    list->MenuItem1Click();
    QCOMPARE(tdb.scalar(u"select state from T_Card where UserID = ?"_s, {id}).toString(), u"不可用"_s);
    QCOMPARE(tdb.data()->Qry_Card->text(u"state"_s), u"不可用"_s);
    sp.clear();
    list->MenuItem1Click();
    QCOMPARE(sp.texts(), QStringList{u"该会员卡已挂失！"_s});
    sp.clear();
    list->MenuItem2Click();
    QCOMPARE(sp.texts(), QStringList{u"该会员是否要取消挂失！"_s});
    QCOMPARE(tdb.scalar(u"select state from T_Card where UserID = ?"_s, {id}).toString(), u"可用"_s);
    // Other kinds go to the card services' loss report.
    bool handedOver = false;
    connect(Actions::find(u"Card_GS"_s), &QAction::triggered, this, [&] { handedOver = true; });
    tdb.data()->Qry_Card->locate(u"CardCode"_s, u"L2"_s);
    sp.clear();
    list->MenuItem1Click();
    QVERIFY(handedOver);
    QVERIFY(sp.messages.isEmpty());
}

// ---- card levels ----

void TestMembers::cardLevelChecks_data()
{
    QTest::addColumn<int>("mode"); // 1 add, 0 edit of the first level
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("discount");
    QTest::addColumn<QString>("upgrade");
    QTest::addColumn<QString>("message"); // empty: saved
    QTest::newRow("empty name") << 1 << u""_s << u"0.9"_s << u""_s << u"名称不能为空!"_s;
    QTest::newRow("spaces only") << 1 << u"   "_s << u"0.9"_s << u""_s << u"名称不能为空!"_s;
    QTest::newRow("no discount") << 1 << u"新级别"_s << u" "_s << u""_s << u"折扣率不能为空!"_s;
    QTest::newRow("discount text") << 1 << u"新级别"_s << u"九折"_s << u""_s << u"折扣率必须是数字!"_s;
    QTest::newRow("upgrade text") << 1 << u"新级别"_s << u"0.9"_s << u"abc"_s << u"升级金额必须是数字!"_s;
    QTest::newRow("duplicate") << 1 << u"@first"_s << u"0.9"_s << u""_s << u"名称有重复,请换一个名称!"_s;
    QTest::newRow("trailing space is new") << 1 << u"@first "_s << u"0.9"_s << u""_s << u""_s;
    QTest::newRow("empty upgrade") << 1 << u"新级别"_s << u"0.85"_s << u""_s << u""_s;
    QTest::newRow("rename to existing") << 0 << u"@second"_s << u"0.7"_s << u"1000"_s << u""_s;
}

void TestMembers::cardLevelChecks()
{
    QFETCH(int, mode);
    QFETCH(QString, name);
    QFETCH(QString, discount);
    QFETCH(QString, upgrade);
    QFETCH(QString, message);
    QSqlQuery q;
    QVERIFY(tdb.db().query(q, u"select CardType from Dict_CardType order by ID"_s));
    QStringList levels;
    while (q.next())
        levels << q.value(0).toString();
    QVERIFY(levels.size() >= 2);
    name.replace(u"@first"_s, levels[0]).replace(u"@second"_s, levels[1]);
    const qint64 before = count(u"select count(*) from Dict_CardType"_s);

    ScriptedPrompt sp;
    TFrm_CardType dlg(main.get());
    dlg.FormShow();
    QCOMPARE(child<QLineEdit>(&dlg, u"Edit_Name"_s)->text(), levels[0]);
    QVERIFY(!Actions::find(u"SaveCardType"_s)->isEnabled());
    QVERIFY(Actions::trigger(mode == 1 ? u"AddCardType"_s : u"EditCardType"_s));
    QVERIFY(Actions::find(u"SaveCardType"_s)->isEnabled());
    QVERIFY(!Actions::find(u"AddCardType"_s)->isEnabled());
    child<QLineEdit>(&dlg, u"Edit_Name"_s)->setText(name);
    child<QLineEdit>(&dlg, u"Edit_Discount"_s)->setText(discount);
    child<QLineEdit>(&dlg, u"Edit_UpgradeMoney"_s)->setText(upgrade);
    QVERIFY(Actions::trigger(u"SaveCardType"_s));
    if (!message.isEmpty()) {
        QCOMPARE(sp.texts(), QStringList{message});
        QVERIFY(Actions::find(u"SaveCardType"_s)->isEnabled()); // still editing
        QCOMPARE(count(u"select count(*) from Dict_CardType"_s), before);
        return;
    }
    QVERIFY2(sp.messages.isEmpty(), qPrintable(sp.texts().join(u" | "_s)));
    QCOMPARE(count(u"select count(*) from Dict_CardType"_s), before + mode);
    QCOMPARE(count(u"select count(*) from Dict_CardType where CardType = ? and Discount = ?"_s, {name, discount.toDouble()}),
             qint64(1));
    if (mode == 0) // editing does not look for duplicates
        QCOMPARE(count(u"select count(*) from Dict_CardType where CardType = ?"_s, {name}), qint64(2));
    if (mode == 1 && upgrade.isEmpty())
        QVERIFY(tdb.scalar(u"select UpgradeMoney from Dict_CardType where CardType = ? and Discount = ?"_s,
                           {name, discount.toDouble()}).isNull());
    QVERIFY(!Actions::find(u"SaveCardType"_s)->isEnabled());
}

void TestMembers::cardLevelRightsAfterSave()
{
    ScriptedPrompt sp;
    Session::instance().setRight(5, false);
    TFrm_CardType dlg(main.get());
    dlg.FormShow();
    QVERIFY(Actions::find(u"EditCardType"_s)->isEnabled()); // browsing at first
    Actions::trigger(u"EditCardType"_s);
    Actions::trigger(u"CancelCardType"_s);
    QVERIFY(Actions::find(u"AddCardType"_s)->isEnabled());
    QVERIFY(!Actions::find(u"EditCardType"_s)->isEnabled());
    QVERIFY(Actions::find(u"DelCardType"_s)->isEnabled());
    QVERIFY(!Actions::find(u"SaveCardType"_s)->isEnabled());
    // Delete asks, and removes the level.
    const qint64 before = count(u"select count(*) from Dict_CardType"_s);
    Actions::trigger(u"DelCardType"_s);
    QCOMPARE(sp.texts(), QStringList{u"您要删除这条记录吗?"_s});
    QCOMPARE(count(u"select count(*) from Dict_CardType"_s), before - 1);
}

QTEST_MAIN(TestMembers)
#include "tst_members.moc"
