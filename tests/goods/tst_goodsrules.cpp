#include "goods/GoodsRules.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// The goods rules that need no database.
class TestGoodsRules : public QObject
{
    Q_OBJECT
private slots:
    void autoAdd_data();
    void autoAdd();
    void badPrice_data();
    void badPrice();
};

void TestGoodsRules::autoAdd_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("next");
    QTest::newRow("SP0001") << u"SP0001"_s << u"SP0002"_s;
    QTest::newRow("SP0009") << u"SP0009"_s << u"SP0010"_s;
    QTest::newRow("0099") << u"0099"_s << u"0100"_s;
    QTest::newRow("short code") << u"7"_s << u"0008"_s;
    QTest::newRow("five digits") << u"A9999"_s << u"A10000"_s;
    QTest::newRow("SP0041") << u"SP0041"_s << u"SP0042"_s;
    QTest::newRow("long head") << u"DRINK-2024-0150"_s << u"DRINK-2024-0151"_s;
    // No counter to count on: nothing is proposed.
    QTest::newRow("letters at the end") << u"SPAB"_s << QString();
    QTest::newRow("letter inside counter") << u"SP0A41"_s << QString();
    QTest::newRow("blank inside counter") << u"SP 041"_s << QString();
    QTest::newRow("sign") << u"-001"_s << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("full-width digits") << u"SP００４１"_s << QString();
}

void TestGoodsRules::autoAdd()
{
    QFETCH(QString, code);
    QFETCH(QString, next);
    QCOMPARE(goods::AutoAdd(code), next);
}

void TestGoodsRules::badPrice_data()
{
    QTest::addColumn<QString>("sale");
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("bad");
    QTest::newRow("both numbers") << u"12.5"_s << u"0"_s << QString();
    QTest::newRow("blanks around") << u" 3 "_s << u"-1.25"_s << QString();
    QTest::newRow("sale text") << u"abc"_s << u"1"_s << u"SalePrice"_s;
    QTest::newRow("sale empty") << QString() << u"1"_s << u"SalePrice"_s;
    QTest::newRow("in text") << u"1"_s << u"1.2.3"_s << u"InPrice"_s;
}

void TestGoodsRules::badPrice()
{
    QFETCH(QString, sale);
    QFETCH(QString, in);
    QFETCH(QString, bad);
    goods::GoodsFields f;
    f.salePrice = sale;
    f.inPrice = in;
    QCOMPARE(goods::badPriceField(f), bad);
}

QTEST_GUILESS_MAIN(TestGoodsRules)
#include "tst_goodsrules.moc"
