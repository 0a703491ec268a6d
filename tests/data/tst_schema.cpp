#include "TestDb.h"
#include "data/SchemaInstaller.h"

using namespace Qt::StringLiterals;

// Both backends ship the same tables and views with the same columns in the same order:
// windows read some tables by column position.
class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void statementsSplitAtLineEnds();
    void backendsHaveTheSameShape();
    void installedDatabaseIsUpgradedNotReinstalled();
};

void TestSchema::statementsSplitAtLineEnds()
{
    const QStringList s = schema::splitStatements(
        u"-- comment;\nCREATE TABLE a (x int);\nCREATE VIEW v AS\n  SELECT 'a;b' AS t\n  FROM a;\n\n"_s);
    QCOMPARE(s.size(), 2);
    QVERIFY(s[1].contains(u"'a;b'"_s));
}

static QStringList shapeOf(const ConnectionSettings &settings, QString *error)
{
    Database db;
    if (!db.open(settings, error) || !schema::install(db, error))
        return {};
    return schema::describe(db);
}

void TestSchema::backendsHaveTheSameShape()
{
    QTemporaryDir dir;
    ConnectionSettings lite;
    lite.driver = u"sqlite"_s;
    lite.database = dir.filePath(u"shape.db"_s);
    QString error;
    const QStringList liteShape = shapeOf(lite, &error);
    QVERIFY2(!liteShape.isEmpty(), qPrintable(error));
    QVERIFY(liteShape.filter(u"t_card: userid, cardcode, memname"_s).size() == 1);
    QVERIFY(liteShape.filter(u"admin: userid, username"_s).size() == 1);
    for (const QString &t : {u"s_cash"_s, u"s_dhrecord"_s, u"v_temp_memcount"_s, u"t_cardledger"_s, u"t_schemaversion"_s})
        QVERIFY2(!liteShape.filter(QRegularExpression(u"^"_s + t + u":"_s)).isEmpty(), qPrintable(t));

    if (!TestDb::pgAvailable())
        QSKIP("ORVALIS_TEST_PG does not name a PostgreSQL server");
    const ConnectionSettings admin = ConnectionSettings::fromPgConnectionText(qEnvironmentVariable("ORVALIS_TEST_PG"));
    const QString name = u"orvalis_shape_"_s + QString::number(QCoreApplication::applicationPid());
    {
        Database a;
        QVERIFY(a.open(admin, &error));
        a.exec(u"DROP DATABASE IF EXISTS "_s + name);
        QVERIFY2(a.exec(u"CREATE DATABASE "_s + name, SqlParams{}, &error), qPrintable(error));
    }
    ConnectionSettings pg = admin;
    pg.database = name;
    const QStringList pgShape = shapeOf(pg, &error);
    {
        Database a;
        a.open(admin);
        a.exec(u"DROP DATABASE IF EXISTS "_s + name + u" WITH (FORCE)"_s);
    }
    QVERIFY2(!pgShape.isEmpty(), qPrintable(error));
    QCOMPARE(pgShape, liteShape);
}

void TestSchema::installedDatabaseIsUpgradedNotReinstalled()
{
    TestDb tdb;
    QString error;
    QVERIFY2(tdb.setUp(&error), qPrintable(error));
    QVERIFY(tdb.exec(u"INSERT INTO T_Card (CardCode, MemName) VALUES ('K1', 'keep')"_s));
    TFrm_Data again;
    QVERIFY2(again.connectWith(tdb.settings(), &error), qPrintable(error));
    QCOMPARE(again.ADOConnection1.scalar(u"select count(*) from T_Card"_s).toInt(), 1);
    QCOMPARE(again.ADOConnection1.scalar(u"select Version from T_SchemaVersion"_s).toInt(), schema::currentVersion());
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
