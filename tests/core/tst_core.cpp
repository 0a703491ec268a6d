#include "core/Format.h"
#include "core/IniFile.h"
#include "core/Money.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestCore : public QObject
{
    Q_OBJECT
private slots:
    void iniSectionsAndKeysIgnoreCase();
    void iniIntegerDefaults_data();
    void iniIntegerDefaults();
    void iniWritesGoStraightToTheFile();
    void moneyParse_data();
    void moneyParse();
    void moneyArithmeticIsExact();
    void fixedDecimals_data();
    void fixedDecimals();
    void generalForm_data();
    void generalForm();
    void legacyBytes();
    void expiry_data();
    void expiry();
};

static QString writeFile(QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath(u"Config.ini"_s);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
}

void TestCore::iniSectionsAndKeysIgnoreCase()
{
    QTemporaryDir dir;
    IniFile ini(writeFile(dir, "[dbconn]\r\nserver=db1\r\nDATABASE = shop\r\n[other]\r\nawoke=0\r\n"));
    QCOMPARE(ini.readString(u"DBConn"_s, u"Server"_s), u"db1"_s);
    QCOMPARE(ini.readString(u"DBConn"_s, u"Database"_s), u"shop"_s);
    QCOMPARE(ini.readString(u"DBConn"_s, u"User"_s), QString());
    // "other" and "Other" are one section: a write through one spelling is read through the other.
    ini.writeString(u"Other"_s, u"goodsCode"_s, u"SP0042"_s);
    QCOMPARE(ini.readString(u"other"_s, u"GOODSCODE"_s), u"SP0042"_s);
    QCOMPARE(ini.readInteger(u"OTHER"_s, u"Awoke"_s, -1), 0);
    QFile f(ini.path());
    f.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(f.readAll());
    QCOMPARE(text.count(u"[other]"_s, Qt::CaseInsensitive), 1);
}

void TestCore::iniIntegerDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("expected");
    QTest::newRow("missing") << QByteArray("[login]\n") << -1;
    QTest::newRow("number") << QByteArray("[login]\nusername=3\n") << 3;
    QTest::newRow("not a number") << QByteArray("[login]\nusername=abc\n") << -1;
    QTest::newRow("empty") << QByteArray("[login]\nusername=\n") << -1;
    QTest::newRow("other section") << QByteArray("[config]\nusername=5\n") << -1;
}

void TestCore::iniIntegerDefaults()
{
    QFETCH(QByteArray, content);
    QFETCH(int, expected);
    QTemporaryDir dir;
    IniFile ini(writeFile(dir, content));
    QCOMPARE(ini.readInteger(u"login"_s, u"username"_s, -1), expected);
}

void TestCore::iniWritesGoStraightToTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Config.ini"_s);
    IniFile a(path), b(path);
    QVERIFY(a.writeInteger(u"Config"_s, u"Max"_s, 250));
    QCOMPARE(b.readInteger(u"config"_s, u"max"_s, 0), 250);
    QVERIFY(b.writeInteger(u"config"_s, u"MAX"_s, 251));
    QCOMPARE(a.readInteger(u"Config"_s, u"Max"_s, 0), 251);
    QVERIFY(a.writeString(u"DBConn"_s, u"Password"_s, u"a;b=c"_s));
    QCOMPARE(b.readString(u"dbconn"_s, u"password"_s), u"a;b=c"_s);
}

void TestCore::moneyParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("units");
    QTest::newRow("whole") << u"12"_s << true << qint64(120000);
    QTest::newRow("decimals") << u"-3.5"_s << true << qint64(-35000);
    QTest::newRow("spaces and comma") << u" 1,234.5 "_s << true << qint64(12345000);
    QTest::newRow("round half up") << u"0.00005"_s << true << qint64(1);
    QTest::newRow("leading point") << u".5"_s << true << qint64(5000);
    QTest::newRow("empty") << QString() << false << qint64(0);
    QTest::newRow("text") << u"12元"_s << false << qint64(0);
    QTest::newRow("two points") << u"1.2.3"_s << false << qint64(0);
    QTest::newRow("sign only") << u"-"_s << false << qint64(0);
}

void TestCore::moneyParse()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(qint64, units);
    bool good = false;
    const Money m = Money::fromString(text, &good);
    QCOMPARE(good, ok);
    if (ok)
        QCOMPARE(m.units(), units);
}

void TestCore::moneyArithmeticIsExact()
{
    Money m = Money::fromString(u"0.3"_s);
    for (int i = 0; i < 3; ++i)
        m -= Money::fromString(u"0.1"_s);
    QVERIFY(m.isZero());
    QCOMPARE(Money::fromString(u"1234.5"_s).toString(2), u"1234.50"_s);
    QCOMPARE(Money::fromString(u"1234.5"_s).toString(0), u"1235"_s);
    QCOMPARE(Money::fromString(u"-0.004"_s).toString(2), u"0.00"_s);
    QCOMPARE(Money::fromString(u"12.5000"_s).toPlainString(), u"12.5"_s);
    QCOMPARE(Money::fromVariant(QVariant(u"99.9900"_s)).toString(2), u"99.99"_s);
    QCOMPARE(Money::fromString(u"100"_s).times(0.85).toString(2), u"85.00"_s);
}

void TestCore::fixedDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two") << 1234.5 << 2 << u"1234.50"_s;
    QTest::newRow("none rounds half up") << 1234.5 << 0 << u"1235"_s;
    QTest::newRow("binary halfway") << 2.675 << 2 << u"2.68"_s;
    QTest::newRow("negative") << -1.005 << 2 << u"-1.01"_s;
    QTest::newRow("no minus zero") << -0.001 << 2 << u"0.00"_s;
}

void TestCore::fixedDecimals()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(fmt::fixed(value, decimals), expected);
}

void TestCore::generalForm_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("12.5") << 12.5 << u"12.5"_s;
    QTest::newRow("0.1") << 0.1 << u"0.1"_s;
    QTest::newRow("1E-5") << 1e-5 << u"1E-5"_s;
    QTest::newRow("20") << 20.0 << u"20"_s;
    QTest::newRow("0.1+0.2") << 0.1 + 0.2 << u"0.3"_s;
}

void TestCore::generalForm()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(fmt::general(value), expected);
    QCOMPARE(fmt::numberFormatPattern(0), u"0"_s);
    QCOMPARE(fmt::numberFormatPattern(2), u"0.00"_s);
    QCOMPARE(fmt::numberFormatPattern(10), u"0.0000000000"_s);
    QCOMPARE(fmt::numberFormatPattern(11), QString());
}

void TestCore::legacyBytes()
{
    QCOMPARE(fmt::legacyByteLength(u"Admin"_s), 5);
    QCOMPARE(fmt::legacyByteLength(u"张三"_s), 4);
    // Twenty bytes: ten Chinese characters, never half of one.
    QCOMPARE(fmt::cutToLegacyBytes(u"一二三四五六七八九十十一"_s, 20), u"一二三四五六七八九十"_s);
    QCOMPARE(fmt::cutToLegacyBytes(u"abc一二三四五六七八九"_s, 20), u"abc一二三四五六七八"_s);
    QCOMPARE(fmt::cutToLegacyBytes(u"Admin"_s, 20), u"Admin"_s);
}

void TestCore::expiry_data()
{
    QTest::addColumn<QVariant>("endDate");
    QTest::addColumn<bool>("expired");
    const QDate today(2026, 12, 11);
    QTest::newRow("yesterday") << QVariant(today.addDays(-1)) << true;
    QTest::newRow("today") << QVariant(today) << false;
    QTest::newRow("tomorrow") << QVariant(today.addDays(1)) << false;
    QTest::newRow("day zero") << QVariant(QDate(1899, 12, 30)) << false;
    QTest::newRow("unset text") << QVariant(u"1899-12-30"_s) << false;
    QTest::newRow("null") << QVariant() << false;
    QTest::newRow("text yesterday") << QVariant(u"2026-12-10 00:00:00"_s) << true;
    QTest::newRow("1905 boundary") << QVariant(QDate(1905, 2, 1)) << true;
}

void TestCore::expiry()
{
    QFETCH(QVariant, endDate);
    QFETCH(bool, expired);
    QCOMPARE(fmt::isExpired(endDate, QDate(2026, 12, 11)), expired);
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
