#include "TestDb.h"
#include "data/DataSetModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

// DataSet behaviour on a real database of either backend, on the shipped tables.
class TestDataSet : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { tdb.tearDown(); }
    void navigationAndValues();
    void writeThroughWithBoundValues();
    void refreshKeepsTheCurrentRowByKey();
    void cachedUpdatesStayLocalUntilApplied();
    void clientSort_data();
    void clientSort();
    void masterDetailFollowsTheMaster();
    void calculatedLineAmount();
    void modelFollowsTheDataSet();
    void errorsAreReportedNotThrown();

private:
    void addMembers();
    TestDb tdb;
};

void TestDataSet::init()
{
    ORVALIS_INIT_DB(tdb);
}

void TestDataSet::addMembers()
{
    const char *rows[][4] = {{"A01", "张三", "储值卡", "100.5"},
                             {"B02", "李四", "折扣卡", "0"},
                             {"a03", "王五", "计次卡", "10"},
                             {"C04", "O'Brien 100%", "储值卡", "20.25"}};
    for (auto &r : rows)
        QVERIFY(tdb.exec(u"INSERT INTO T_Card (CardCode, MemName, NewCard, Money, state, BeginDate, EndDate) "
                         u"VALUES (?, ?, ?, ?, '可用', ?, ?)"_s,
                         {QString::fromUtf8(r[0]), QString::fromUtf8(r[1]), QString::fromUtf8(r[2]),
                          tdb.db().money(Money::fromString(QString::fromUtf8(r[3]))), QDate(2026, 1, 1),
                          QDate(1899, 12, 30)}));
}

void TestDataSet::navigationAndValues()
{
    addMembers();
    DataSet ds(&tdb.db());
    QVERIFY2(ds.open(u"select * from t_card order by UserID"_s), qPrintable(ds.lastError()));
    QCOMPARE(ds.rowCount(), 4);
    QCOMPARE(ds.currentRow(), 0);
    QVERIFY(!ds.eof());
    QStringList codes;
    for (ds.first(); !ds.eof(); ds.next())
        codes << ds.text(u"cardcode"_s);
    QCOMPARE(codes, (QStringList{u"A01"_s, u"B02"_s, u"a03"_s, u"C04"_s}));
    QVERIFY(ds.locate(u"CardCode"_s, u"A03"_s)); // keys compare without case
    QCOMPARE(ds.text(u"MemName"_s), u"王五"_s);
    ds.first();
    QCOMPARE(ds.money(u"Money"_s).toString(2), u"100.50"_s);
    QCOMPARE(ds.value(u"BeginDate"_s).toDate(), QDate(2026, 1, 1));
    QCOMPARE(ds.value(u"EndDate"_s).toDate(), QDate(1899, 12, 30));
    QVERIFY(ds.value(u"Birthday"_s).isNull());
    QCOMPARE(ds.field(ds.fieldIndex(u"UserID"_s)).kind, DataSet::FieldKind::Integer);
    QCOMPARE(ds.field(ds.fieldIndex(u"Money"_s)).kind, DataSet::FieldKind::Money);
    QCOMPARE(ds.field(ds.fieldIndex(u"Discount"_s)).kind, DataSet::FieldKind::Float);
    QVERIFY(!ds.prior());
    QVERIFY(ds.bof());

    // Named and positional values; a quote and a percent sign are plain data.
    QVERIFY(ds.open(u"select * from T_Card where MemName = :n"_s, SqlParams{{u"n"_s, u"O'Brien 100%"_s}}));
    QCOMPARE(ds.rowCount(), 1);
    QVERIFY(ds.open(u"select * from T_Card where CardCode = ? or CardCode = ?"_s, SqlArgs{u"b02"_s, u"x' or '1'='1"_s}));
    QCOMPARE(ds.rowCount(), 1);
}

void TestDataSet::writeThroughWithBoundValues()
{
    DataSet ds(&tdb.db());
    ds.setTable(u"T_Card"_s, u"UserID"_s);
    QVERIFY(ds.open(u"select * from T_Card"_s));
    QCOMPARE(ds.rowCount(), 0);
    ds.append();
    ds.setValue(u"CardCode"_s, u"Q'1"_s);
    ds.setValue(u"MemName"_s, u"a'); drop table T_Card; --"_s);
    ds.setValue(u"Money"_s, tdb.db().money(Money::fromString(u"12.34"_s)));
    ds.setValue(u"Birthday"_s, QDate(1990, 5, 6));
    QVERIFY2(ds.post(), qPrintable(ds.lastError()));
    QCOMPARE(ds.rowCount(), 1);
    // The generated key and the database's defaults come back into the row.
    QVERIFY(ds.value(u"UserID"_s).toLongLong() > 0);
    QCOMPARE(ds.text(u"state"_s).isNull(), ds.value(u"state"_s).isNull());
    const qlonglong id = ds.value(u"UserID"_s).toLongLong();
    QCOMPARE(tdb.scalar(u"select MemName from T_Card where UserID = ?"_s, {id}).toString(),
             u"a'); drop table T_Card; --"_s);
    QCOMPARE(Money::fromVariant(tdb.scalar(u"select Money from T_Card where UserID = ?"_s, {id})).toString(2),
             u"12.34"_s);

    QVERIFY(ds.edit());
    ds.setValue(u"MemName"_s, u"赵六"_s);
    QCOMPARE(ds.text(u"MemName"_s), u"赵六"_s); // the edit buffer is what the row shows
    QVERIFY(ds.post());
    QCOMPARE(tdb.scalar(u"select MemName from T_Card where UserID = ?"_s, {id}).toString(), u"赵六"_s);
    QCOMPARE(fmt::toDate(tdb.scalar(u"select Birthday from T_Card where UserID = ?"_s, {id})), QDate(1990, 5, 6));

    // A row deleted by another workstation meanwhile: the edit fails instead of pretending.
    QVERIFY(tdb.exec(u"delete from T_Card where UserID = ?"_s, {id}));
    ds.edit();
    ds.setValue(u"MemName"_s, u"x"_s);
    QVERIFY(!ds.post());
    QVERIFY(!ds.lastError().isEmpty());
    ds.cancel();
    QVERIFY(ds.remove()); // deleting a row already gone is harmless
    QCOMPARE(ds.rowCount(), 0);
}

void TestDataSet::refreshKeepsTheCurrentRowByKey()
{
    addMembers();
    DataSet ds(&tdb.db());
    ds.setTable(u"T_Card"_s, u"UserID"_s);
    QVERIFY(ds.open(u"select * from T_Card order by CardCode"_s));
    QVERIFY(ds.locate(u"CardCode"_s, u"C04"_s));
    QVERIFY(tdb.exec(u"INSERT INTO T_Card (CardCode, MemName) VALUES ('0AA', '新会员')"_s));
    QSignalSpy scrolled(&ds, &DataSet::afterScroll);
    QVERIFY(ds.refresh());
    QCOMPARE(ds.rowCount(), 5);
    QCOMPARE(ds.text(u"CardCode"_s), u"C04"_s);
    QCOMPARE(scrolled.count(), 1);
}

void TestDataSet::cachedUpdatesStayLocalUntilApplied()
{
    DataSet ds(&tdb.db());
    ds.setTable(u"T_CardCashDetail"_s, u"ID"_s);
    ds.setCachedUpdates(true);
    QVERIFY(ds.open(u"select * from T_CardCashDetail where BillCode = :b"_s, SqlParams{{u"b"_s, u"XF-1"_s}}));
    for (int i = 1; i <= 3; ++i) {
        ds.append();
        ds.setValue(u"BillCode"_s, u"XF-1"_s);
        ds.setValue(u"GoodsCode"_s, u"G%1"_s.arg(i));
        ds.setValue(u"Number"_s, i);
        QVERIFY(ds.post());
    }
    QCOMPARE(ds.rowCount(), 3);
    QVERIFY(ds.hasPendingUpdates());
    QCOMPARE(tdb.scalar(u"select count(*) from T_CardCashDetail"_s).toInt(), 0);
    ds.moveTo(1);
    QVERIFY(ds.remove()); // a pending insert just disappears
    QVERIFY2(ds.applyUpdates(), qPrintable(ds.lastError()));
    QVERIFY(!ds.hasPendingUpdates());
    QCOMPARE(tdb.scalar(u"select count(*) from T_CardCashDetail"_s).toInt(), 2);

    // Edits and removals of stored rows wait for applyUpdates too; cancelUpdates forgets them.
    ds.first();
    ds.edit();
    ds.setValue(u"Number"_s, 9);
    QVERIFY(ds.post());
    ds.last();
    QVERIFY(ds.remove());
    QCOMPARE(tdb.scalar(u"select count(*) from T_CardCashDetail"_s).toInt(), 2);
    ds.cancelUpdates();
    QCOMPARE(ds.rowCount(), 2);
    QCOMPARE(tdb.scalar(u"select max(Number) from T_CardCashDetail"_s).toDouble(), 3.0);
}

void TestDataSet::clientSort_data()
{
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("load order") << QString() << QStringList{u"A01"_s, u"B02"_s, u"a03"_s, u"C04"_s};
    QTest::newRow("text desc, case ignored") << u"CardCode DESC"_s << QStringList{u"C04"_s, u"B02"_s, u"a03"_s, u"A01"_s};
    QTest::newRow("money numeric") << u"Money"_s << QStringList{u"B02"_s, u"a03"_s, u"C04"_s, u"A01"_s};
    QTest::newRow("two keys") << u"NewCard, Money DESC"_s << QStringList{u"A01"_s, u"C04"_s, u"B02"_s, u"a03"_s};
}

void TestDataSet::clientSort()
{
    QFETCH(QString, sort);
    QFETCH(QStringList, codes);
    addMembers();
    DataSet ds(&tdb.db());
    QVERIFY(ds.open(u"select * from T_Card order by UserID"_s));
    ds.setSortText(u"MemName"_s);
    QVERIFY(ds.locate(u"CardCode"_s, u"B02"_s));
    ds.setSortText(sort);
    QStringList got;
    for (int r = 0; r < ds.rowCount(); ++r)
        got << ds.text(r, ds.fieldIndex(u"CardCode"_s));
    if (sort.contains(u"NewCard"_s)) {
        // Chinese kind names have no alphabet order to rely on: check grouping and money order instead.
        QCOMPARE(got.size(), 4);
        for (int r = 1; r < ds.rowCount(); ++r)
            if (ds.text(r, ds.fieldIndex(u"NewCard"_s)) == ds.text(r - 1, ds.fieldIndex(u"NewCard"_s)))
                QVERIFY(ds.money(r - 1, u"Money"_s) >= ds.money(r, u"Money"_s));
    } else {
        QCOMPARE(got, codes);
    }
    QCOMPARE(ds.text(u"CardCode"_s), u"B02"_s); // the current row stays the same member
}

void TestDataSet::masterDetailFollowsTheMaster()
{
    addMembers();
    for (const auto &[code, bill] : {std::pair{"A01", "XF-2026-12-11-0001"}, std::pair{"A01", "XF-2026-12-11-0002"},
                                     std::pair{"B02", "XF-2026-12-11-0003"}})
        QVERIFY(tdb.exec(u"INSERT INTO T_CardCash (UserID, CardCode, BillCode, CashMoney) "
                         u"SELECT UserID, CardCode, ?, 10 FROM T_Card WHERE CardCode = ?"_s,
                         {QString::fromLatin1(bill), QString::fromLatin1(code)}));
    TFrm_Data *dm = tdb.data();
    QVERIFY(dm->OpenSQL(dm->Qry_CardCash, u"select * from T_CardCash where CardCode = :CardCode order by BillCode"_s));
    QVERIFY(dm->OpenSQL(dm->Qry_Card, u"select * from T_Card order by UserID"_s));
    QCOMPARE(dm->Qry_CardCash->rowCount(), 2);
    dm->Qry_Card->next();
    QCOMPARE(dm->Qry_CardCash->rowCount(), 1);
    QCOMPARE(dm->Qry_CardCash->text(u"BillCode"_s), u"XF-2026-12-11-0003"_s);
    dm->Qry_Card->next();
    QCOMPARE(dm->Qry_CardCash->rowCount(), 0);
    dm->Qry_Card->close();
    QCOMPARE(dm->Qry_CardCash->rowCount(), 0);
}

void TestDataSet::calculatedLineAmount()
{
    QVERIFY(tdb.exec(u"INSERT INTO T_CardCashDetail (BillCode, GoodsCode, Price, Number, Discount) "
                     u"VALUES ('B1', 'G1', 12.5, 2, 0.8)"_s));
    TFrm_Data *dm = tdb.data();
    QVERIFY(dm->OpenSQL(dm->Qry_Detail, u"select * from T_CardCashDetail"_s));
    QCOMPARE(dm->Qry_Detail->value(u"Cmoney"_s).toDouble(), 20.0);
    // The edited bill's amounts exist only while a bill window does.
    QVERIFY(dm->OpenSQL(dm->Qry_CashDetail, u"select * from T_CardCashDetail"_s));
    QVERIFY(dm->Qry_CashDetail->value(u"Cmoney"_s).isNull());
    dm->setBillWindowOpen(true);
    QCOMPARE(dm->Qry_CashDetail->value(u"Cmoney"_s).toDouble(), 20.0);
    dm->setBillWindowOpen(false);
}

void TestDataSet::modelFollowsTheDataSet()
{
    addMembers();
    DataSet ds(&tdb.db());
    ds.setTable(u"T_Card"_s, u"UserID"_s);
    DataSetModel model(&ds);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(ds.open(u"select * from T_Card order by UserID"_s));
    QCOMPARE(model.rowCount(), 4);
    const int col = ds.fieldIndex(u"EndDate"_s);
    QCOMPARE(model.data(model.index(0, col)).toString(), QString()); // day 0 shows empty
    ds.setSortText(u"CardCode DESC"_s);
    ds.append();
    ds.setValue(u"CardCode"_s, u"D05"_s);
    QVERIFY(ds.post());
    QCOMPARE(model.rowCount(), 5);
    ds.moveTo(0);
    QVERIFY(ds.remove());
    QCOMPARE(model.rowCount(), 4);
    ds.close();
    QCOMPARE(model.rowCount(), 0);
}

void TestDataSet::errorsAreReportedNotThrown()
{
    ScriptedPrompt prompt;
    DataSet ds(&tdb.db());
    QVERIFY(!ds.open(u"select * from T_NoSuchTable"_s));
    QVERIFY(!ds.lastError().isEmpty());
    QVERIFY(!ds.isOpen());
    QVERIFY(!tdb.data()->RunSQL(u"update T_NoSuchTable set x = 1"_s));
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.last().icon, Prompt::Icon::Critical);
}

QTEST_MAIN(TestDataSet)
#include "tst_dataset.moc"
