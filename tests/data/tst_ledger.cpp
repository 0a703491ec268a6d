#include "TestDb.h"
#include "data/Ledger.h"

using namespace Qt::StringLiterals;

// Every change of a card's balance is journalled; the check finds a balance the
// journal does not explain, and follows the member across a card change.
class TestLedger : public QObject
{
    Q_OBJECT
private slots:
    void init() { ORVALIS_INIT_DB(tdb); }
    void cleanup() { tdb.tearDown(); }
    void balanceMustEqualItsJournal();

private:
    qint64 addCard(const QString &code, const QString &money);
    TestDb tdb;
};

qint64 TestLedger::addCard(const QString &code, const QString &money)
{
    tdb.exec(u"INSERT INTO T_Card (CardCode, NewCard, Money) VALUES (?, '储值卡', ?)"_s,
             {code, tdb.db().money(Money::fromString(money))});
    return tdb.scalar(u"select UserID from T_Card where CardCode = ?"_s, {code}).toLongLong();
}

void TestLedger::balanceMustEqualItsJournal()
{
    Database &db = tdb.db();
    const qint64 a = addCard(u"A1"_s, u"100.10"_s);
    const qint64 b = addCard(u"B1"_s, u"0"_s);
    QVERIFY(ledger::record(db, {u"A1"_s, a, ledger::Opening, Money::fromString(u"100.10"_s),
                                Money::fromString(u"100.10"_s), {}, u"Admin"_s}));
    QVERIFY(ledger::mismatches(db).isEmpty());

    // A balance moved without its journal row is found, to the cent.
    QVERIFY(tdb.exec(u"UPDATE T_Card SET Money = Money - 0.1 WHERE UserID = ?"_s, {a}));
    const auto bad = ledger::mismatches(db);
    QCOMPARE(bad.size(), 1);
    QCOMPARE(bad[0].cardCode, u"A1"_s);
    QCOMPARE(bad[0].balance.toString(2), u"100.00"_s);
    QCOMPARE(bad[0].journal.toString(2), u"100.10"_s);
    QVERIFY(ledger::record(db, {u"A1"_s, a, ledger::Bill, Money::fromString(u"-0.1"_s), Money::fromString(u"100"_s),
                                u"XF-2026-12-11-0001"_s, u"Admin"_s}));
    QVERIFY(ledger::mismatches(db).isEmpty());

    // A new card number keeps the member's journal.
    QVERIFY(tdb.exec(u"UPDATE T_Card SET CardCode = 'A2' WHERE UserID = ?"_s, {a}));
    QVERIFY(ledger::mismatches(db).isEmpty());
    Q_UNUSED(b);
}

QTEST_GUILESS_MAIN(TestLedger)
#include "tst_ledger.moc"
