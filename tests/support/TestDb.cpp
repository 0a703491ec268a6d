#include "TestDb.h"

#include "app/AppPaths.h"
#include "data/SchemaInstaller.h"

#include <QCoreApplication>
#include <QFile>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

// One template per process: copying it is much faster than installing the schema for every test.
struct Templates
{
    QString sqliteFile;
    std::unique_ptr<QTemporaryDir> dir;
    // Left in place at exit: Qt SQL is gone by the time statics are destroyed, and
    // the throw-away cluster is removed as a whole by scripts/pg stop.
    QString pgTemplate;
};
Templates &templates()
{
    static Templates t;
    return t;
}

ConnectionSettings pgAdmin() { return ConnectionSettings::fromPgConnectionText(qEnvironmentVariable("ORVALIS_TEST_PG")); }

bool makeSqliteTemplate(QString *error)
{
    Templates &t = templates();
    if (!t.sqliteFile.isEmpty())
        return true;
    t.dir = std::make_unique<QTemporaryDir>();
    const QString file = t.dir->filePath(u"template.db"_s);
    {
        Database db;
        ConnectionSettings s;
        s.driver = u"sqlite"_s;
        s.database = file;
        if (!db.open(s, error) || !schema::install(db, error))
            return false;
        db.exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
        db.exec(u"PRAGMA journal_mode=DELETE"_s);
    }
    t.sqliteFile = file;
    return true;
}

bool makePgTemplate(QString *error)
{
    Templates &t = templates();
    if (!t.pgTemplate.isEmpty())
        return true;
    const QString name = u"orvalis_tpl_"_s + QString::number(QCoreApplication::applicationPid());
    {
        Database admin;
        if (!admin.open(pgAdmin(), error))
            return false;
        admin.exec(u"DROP DATABASE IF EXISTS "_s + name);
        if (!admin.exec(u"CREATE DATABASE "_s + name, SqlParams{}, error))
            return false;
    }
    {
        Database db;
        ConnectionSettings s = pgAdmin();
        s.database = name;
        if (!db.open(s, error) || !schema::install(db, error))
            return false;
    }
    t.pgTemplate = name;
    return true;
}

} // namespace

TestDb::TestDb() = default;

TestDb::~TestDb() { tearDown(); }

bool TestDb::postgres() { return qEnvironmentVariable("ORVALIS_TEST_BACKEND") == u"postgres"; }

bool TestDb::pgAvailable() { return !qEnvironmentVariableIsEmpty("ORVALIS_TEST_PG"); }

QString TestDb::resourcesDir()
{
    const QString env = qEnvironmentVariable("ORVALIS_RESOURCES");
    return env.isEmpty() ? QCoreApplication::applicationDirPath() : env;
}

bool TestDb::setUp(QString *error)
{
    tearDown();
    m_dir = std::make_unique<QTemporaryDir>();
    AppPaths::setHome(m_dir->path());
    IniFile ini(m_dir->filePath(u"Config.ini"_s));
    if (postgres()) {
        if (!makePgTemplate(error))
            return false;
        m_pgName = u"orvalis_t_"_s + QUuid::createUuid().toString(QUuid::Id128).left(16);
        Database admin;
        if (!admin.open(pgAdmin(), error)
            || !admin.exec(u"CREATE DATABASE "_s + m_pgName + u" TEMPLATE "_s + templates().pgTemplate, SqlParams{}, error))
            return false;
        m_settings = pgAdmin();
        m_settings.database = m_pgName;
    } else {
        if (!makeSqliteTemplate(error))
            return false;
        const QString file = m_dir->filePath(u"orvalis.db"_s);
        if (!QFile::copy(templates().sqliteFile, file)) {
            if (error)
                *error = u"cannot copy the template database"_s;
            return false;
        }
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        m_settings.driver = u"sqlite"_s;
        m_settings.database = u"orvalis.db"_s;
    }
    m_settings.writeToIni(ini);
    m_data = std::make_unique<TFrm_Data>();
    m_data->Ini.setPath(ini.path());
    ConnectionSettings open = ConnectionSettings::fromIni(ini, m_dir->path());
    if (!m_data->connectWith(open, error))
        return false;
    m_settings = open;
    return true;
}

void TestDb::tearDown()
{
    m_data.reset();
    if (!m_pgName.isEmpty()) {
        Database admin;
        if (admin.open(pgAdmin()))
            admin.exec(u"DROP DATABASE IF EXISTS "_s + m_pgName + u" WITH (FORCE)"_s);
        m_pgName.clear();
    }
    m_dir.reset();
}

bool TestDb::exec(const QString &sql, const QVariantList &args)
{
    QString e;
    const bool ok = db().exec(sql, args, &e);
    if (!ok)
        qWarning("SQL failed: %s\n%s", qPrintable(e), qPrintable(sql));
    return ok;
}

QVariant TestDb::scalar(const QString &sql, const QVariantList &args)
{
    QString e;
    bool ok = false;
    const QVariant v = db().scalar(sql, args, &ok, &e);
    if (!e.isEmpty())
        qWarning("SQL failed: %s\n%s", qPrintable(e), qPrintable(sql));
    return v;
}
