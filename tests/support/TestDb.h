#pragma once
#include "app/Prompt.h"
#include "app/U_data.h"
#include "core/Format.h"

#include <QSqlRecord>

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// A fresh program home with Config.ini and a database holding the shipped schema
// and seed rows, opened as the program's data module. The backend comes from
// ORVALIS_TEST_BACKEND ("sqlite" by default, or "postgres" with ORVALIS_TEST_PG
// naming a server as "host=… port=… user=… dbname=…").
class TestDb
{
public:
    TestDb();
    ~TestDb();

    static bool postgres();
    static bool pgAvailable();

    bool setUp(QString *error = nullptr);
    void tearDown();

    TFrm_Data *data() const { return m_data.get(); }
    Database &db() const { return m_data->ADOConnection1; }
    QString home() const { return m_dir ? m_dir->path() : QString(); }
    ConnectionSettings settings() const { return m_settings; }
    // The source tree's resources folder (templates, pictures).
    static QString resourcesDir();

    // Runs a statement with positional values and fails loudly in the test log.
    bool exec(const QString &sql, const QVariantList &args = {});
    QVariant scalar(const QString &sql, const QVariantList &args = {});

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TFrm_Data> m_data;
    ConnectionSettings m_settings;
    QString m_pgName;
};

// Skips on PostgreSQL runs without a server, else sets up the fixture or fails.
#define ORVALIS_INIT_DB(tdb)                                                    \
    do {                                                                        \
        if (TestDb::postgres() && !TestDb::pgAvailable())                       \
            QSKIP("ORVALIS_TEST_PG does not name a PostgreSQL server");         \
        QString tdbError_;                                                      \
        QVERIFY2((tdb).setUp(&tdbError_), qPrintable(tdbError_));               \
    } while (0)
