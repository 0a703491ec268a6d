#include "TestDb.h"

using namespace Qt::StringLiterals;

// The shipped rows the program relies on: the first operator, the rights
// catalogue in the positions the commands are gated by, and the dictionaries.
class TestSeed : public QObject
{
    Q_OBJECT
private slots:
    void init() { ORVALIS_INIT_DB(tdb); }
    void cleanup() { tdb.tearDown(); }
    void adminIsTheFirstOperator();
    void rightsCatalogueOrder();
    void everydayRoleLacksAdministration();
    void dictionariesAndSettings();
    void everyGridConfigurationHasColumns();

private:
    QList<QPair<QString, bool>> rightsOf(const QString &table, const QString &who);
    TestDb tdb;
};

QList<QPair<QString, bool>> TestSeed::rightsOf(const QString &table, const QString &who)
{
    const QString key = table == u"T_UserAuthority" ? u"UserName"_s : u"PartName"_s;
    const QString order = table == u"T_UserAuthority" ? u"UserAuthorityID"_s : u"Code"_s;
    QSqlQuery q;
    tdb.db().query(q, u"select Code, Authority from "_s + table + u" where "_s + key + u" = ? order by "_s + order,
                   SqlArgs{who});
    QList<QPair<QString, bool>> out;
    while (q.next())
        out << qMakePair(q.value(0).toString(), q.value(1).toInt() != 0);
    return out;
}

void TestSeed::adminIsTheFirstOperator()
{
    QSqlQuery q;
    QVERIFY(tdb.db().query(q, u"select * from admin where username = 'admin'"_s)); // names ignore case
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 1);          // id first
    QCOMPARE(q.value(1).toString(), u"Admin"_s); // name second: the login list reads it by position
    QCOMPARE(q.value(q.record().indexOf(u"password"_s)).toString(), QString());
    QCOMPARE(q.value(q.record().indexOf(u"isuser"_s)).toInt(), 1);
}

void TestSeed::rightsCatalogueOrder()
{
    const auto admin = rightsOf(u"T_UserAuthority"_s, u"Admin"_s);
    QCOMPARE(admin.size(), 104);
    for (const auto &r : admin)
        QVERIFY(r.second);
    // Operator rows in id order are the catalogue in code order.
    QSqlQuery q;
    tdb.db().query(q, u"select Code from T_System order by Code"_s);
    QStringList catalogue;
    while (q.next())
        catalogue << q.value(0).toString();
    QCOMPARE(catalogue.size(), 104);
    for (int i = 0; i < 104; ++i)
        QCOMPARE(admin[i].first, catalogue[i]);
    // Group entries sit where the gated positions expect them.
    for (int group : {1, 8, 16, 21, 27, 30, 34, 40, 45, 51})
        QVERIFY2(catalogue[group - 1].size() == 2, qPrintable(QString::number(group)));
    for (int gated : {2, 3, 4, 5, 9, 17, 20, 22, 28, 31, 35, 41, 46, 50, 52, 53, 56, 57, 58, 59, 60, 61, 62, 63, 64})
        QVERIFY2(catalogue[gated - 1].size() == 4, qPrintable(QString::number(gated)));
}

void TestSeed::everydayRoleLacksAdministration()
{
    const auto role = rightsOf(u"T_PartAuthority"_s, u"普通用户"_s);
    QCOMPARE(role.size(), 104);
    for (int p : {2, 3, 5, 9, 17, 18})
        QVERIFY2(role[p - 1].second, qPrintable(QString::number(p)));
    for (int p = 41; p <= 53; ++p)
        if (p != 45 && p != 51)
            QVERIFY2(!role[p - 1].second, qPrintable(QString::number(p)));
    QCOMPARE(rightsOf(u"T_PartAuthority"_s, u"超级管理员"_s).size(), 104);
}

void TestSeed::dictionariesAndSettings()
{
    QCOMPARE(tdb.scalar(u"select count(*) from Dict_Mz"_s).toInt(), 56);
    DataSet ds(&tdb.db());
    QVERIFY(ds.open(u"select * from Dict_Mz order by 1"_s));
    QCOMPARE(ds.text(0, 1), u"汉族"_s); // read by position, second column
    QVERIFY(ds.open(u"select * from Dict_CashPercent order by 1"_s));
    QCOMPARE(ds.value(0, 1).toDouble(), 1.0);
    QCOMPARE(tdb.scalar(u"select count(*) from T_SoftInfo"_s).toInt(), 1);
    QCOMPARE(tdb.scalar(u"select count(*) from Info"_s).toInt(), 1);
    QVERIFY(tdb.scalar(u"select count(*) from T_Part where PartName in ('超级管理员', '普通用户')"_s).toInt() == 2);
    QVERIFY(tdb.scalar(u"select count(*) from Dict_ClearData where F_Flag = 1"_s).toInt() > 0);
    QVERIFY(tdb.scalar(u"select count(*) from T_Import where tablename = 'custom'"_s).toInt() > 0);
    QVERIFY(tdb.scalar(u"select count(*) from T_Import where tablename = 'goods'"_s).toInt() > 0);
}

void TestSeed::everyGridConfigurationHasColumns()
{
    const QStringList names = {u"Card"_s, u"Cash"_s, u"CashDetail2"_s, u"DHRecord"_s, u"CashDetail"_s, u"goods"_s,
                               u"SelectGoods"_s, u"DHGoods"_s, u"SDHGoods"_s, u"TempDHRecord"_s, u"MemLevel"_s,
                               u"CashPercent"_s, u"Other"_s, u"import"_s, u"FieldCaption"_s, u"R_MemCount"_s,
                               u"R_MemDetail"_s, u"R_DHRecord"_s, u"R_MemXF"_s};
    for (const QString &n : names)
        QVERIFY2(tdb.scalar(u"select count(*) from T_FieldShow where TableName = ? and Show = 1"_s, {n}).toInt() > 0,
                 qPrintable(n));
    // Every member column has a caption row: the member editor's labels come from it.
    DataSet card(&tdb.db());
    QVERIFY(card.open(u"select * from T_Card where 1=0"_s));
    for (const QString &f : card.fieldNames())
        QVERIFY2(tdb.scalar(u"select count(*) from T_FieldShow where TableName = 'Card' and Field = ?"_s, {f}).toInt() == 1,
                 qPrintable(f));
    // Captions are unique within a configuration: the field chooser finds rows by caption.
    QCOMPARE(tdb.scalar(u"select count(*) from (select TableName, Name from T_FieldShow group by TableName, Name "
                        u"having count(*) > 1) d"_s).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestSeed)
#include "tst_seed.moc"
