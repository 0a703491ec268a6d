#include "Database.h"

#include "core/IniFile.h"

#include <QDir>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

QString errorText(const QSqlError &e)
{
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.text().trimmed();
    return t;
}

} // namespace

// ---------------------------------------------------------------- settings

ConnectionSettings ConnectionSettings::fromIni(const IniFile &ini, const QString &homeDir)
{
    ConnectionSettings s;
    s.driver = ini.readString(u"DBConn"_s, u"Driver"_s).toLower();
    if (s.driver.isEmpty())
        s.driver = u"sqlite"_s;
    s.server = ini.readString(u"DBConn"_s, u"Server"_s);
    s.port = ini.readInteger(u"DBConn"_s, u"Port"_s, 5432);
    s.database = ini.readString(u"DBConn"_s, u"Database"_s);
    s.user = ini.readString(u"DBConn"_s, u"User"_s);
    s.password = ini.readString(u"DBConn"_s, u"Password"_s);
    if (!s.isPostgres() && !s.database.isEmpty() && QDir::isRelativePath(s.database))
        s.database = QDir(homeDir).absoluteFilePath(s.database);
    return s;
}

ConnectionSettings ConnectionSettings::fromPgConnectionText(const QString &text)
{
    ConnectionSettings s;
    s.driver = u"postgres"_s;
    const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
    for (const QString &p : parts) {
        const int eq = p.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString k = p.left(eq).toLower();
        const QString v = p.mid(eq + 1);
        if (k == u"host")
            s.server = v;
        else if (k == u"port")
            s.port = v.toInt();
        else if (k == u"user")
            s.user = v;
        else if (k == u"password")
            s.password = v;
        else if (k == u"dbname")
            s.database = v;
    }
    return s;
}

void ConnectionSettings::writeToIni(IniFile &ini) const
{
    ini.writeString(u"DBConn"_s, u"Driver"_s, isPostgres() ? u"postgres"_s : u"sqlite"_s);
    ini.writeString(u"DBConn"_s, u"Server"_s, server);
    ini.writeInteger(u"DBConn"_s, u"Port"_s, port);
    ini.writeString(u"DBConn"_s, u"Database"_s, database);
    ini.writeString(u"DBConn"_s, u"User"_s, user);
    ini.writeString(u"DBConn"_s, u"Password"_s, password);
}

bool ConnectionSettings::isPostgres() const
{
    return driver == u"postgres" || driver == u"postgresql" || driver == u"pg";
}

// ---------------------------------------------------------------- database

Database::Database()
    : m_name(u"orvalis-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

Database::~Database()
{
    close();
    QSqlDatabase::removeDatabase(m_name);
}

bool Database::open(const ConnectionSettings &settings, QString *error)
{
    close();
    m_settings = settings;
    m_backend = settings.isPostgres() ? Backend::PostgreSQL : Backend::SQLite;
    QSqlDatabase db = QSqlDatabase::contains(m_name)
        ? QSqlDatabase::database(m_name, false)
        : QSqlDatabase::addDatabase(m_backend == Backend::PostgreSQL ? u"QPSQL"_s : u"QSQLITE"_s, m_name);
    if (!db.isValid()) {
        m_lastError = u"数据库驱动不可用"_s;
        if (error)
            *error = m_lastError;
        return false;
    }
    if (m_backend == Backend::PostgreSQL) {
        db.setHostName(settings.server);
        db.setPort(settings.port);
        db.setDatabaseName(settings.database);
        db.setUserName(settings.user);
        db.setPassword(settings.password);
        db.setConnectOptions(u"connect_timeout=5"_s);
    } else {
        if (settings.database.isEmpty()) {
            m_lastError = u"没有指定数据库文件"_s;
            if (error)
                *error = m_lastError;
            return false;
        }
        db.setDatabaseName(settings.database);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
    }
    if (!db.open()) {
        m_lastError = errorText(db.lastError());
        if (error)
            *error = m_lastError;
        return false;
    }
    if (m_backend == Backend::SQLite) {
        QSqlQuery q(db);
        q.exec(u"PRAGMA foreign_keys=ON"_s);
        q.exec(u"PRAGMA journal_mode=WAL"_s);
    } else {
        QSqlQuery q(db);
        q.exec(u"SET client_min_messages TO warning"_s);
    }
    return true;
}

void Database::close()
{
    if (QSqlDatabase::contains(m_name)) {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen())
            db.close();
    }
    m_txDepth = 0;
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Database::handle() const { return QSqlDatabase::database(m_name, false); }

QVariant Database::toSql(const QVariant &v) const
{
    if (!v.isValid())
        return v;
    switch (v.typeId()) {
    case QMetaType::QDate:
        if (v.isNull() || !v.toDate().isValid())
            return QVariant(QMetaType::fromType<QString>());
        return m_backend == Backend::SQLite ? QVariant(sqlDate(v.toDate())) : v;
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (!dt.isValid())
            return QVariant(QMetaType::fromType<QString>());
        return m_backend == Backend::SQLite ? QVariant(dt.toString(u"yyyy-MM-dd HH:mm:ss"_s)) : v;
    }
    case QMetaType::Bool:
        return QVariant(v.toBool() ? 1 : 0);
    default:
        return v;
    }
}

QVariant Database::money(const Money &m) const
{
    // SQLite compares a bound text with a number as text; PostgreSQL's numeric
    // takes the exact decimal text.
    if (m_backend == Backend::SQLite)
        return QVariant(m.toDouble());
    return QVariant(m.toPlainString());
}

QString Database::roundMoney(const QString &expr) const
{
    if (m_backend == Backend::SQLite)
        return QString(u"ROUND("_s + expr + u", 4)"_s);
    return expr;
}

QString Database::monthOf(const QString &e) const
{
    if (m_backend == Backend::SQLite)
        return QString(u"CAST(strftime('%m', "_s + e + u") AS INTEGER)"_s);
    return QString(u"CAST(EXTRACT(MONTH FROM "_s + e + u") AS INTEGER)"_s);
}

QString Database::dayOf(const QString &e) const
{
    if (m_backend == Backend::SQLite)
        return QString(u"CAST(strftime('%d', "_s + e + u") AS INTEGER)"_s);
    return QString(u"CAST(EXTRACT(DAY FROM "_s + e + u") AS INTEGER)"_s);
}

QString Database::yearOf(const QString &e) const
{
    if (m_backend == Backend::SQLite)
        return QString(u"CAST(strftime('%Y', "_s + e + u") AS INTEGER)"_s);
    return QString(u"CAST(EXTRACT(YEAR FROM "_s + e + u") AS INTEGER)"_s);
}

QString Database::lengthOf(const QString &e) const { return u"LENGTH("_s + e + u')'; }

QString Database::likeCI(const QString &expr, const QString &param) const
{
    if (m_backend == Backend::SQLite)
        return QString(expr + u" LIKE "_s + param + u" ESCAPE '\\'"_s);
    return QString(u"CAST("_s + expr + u" AS TEXT) ILIKE "_s + param + u" ESCAPE '\\'"_s);
}

QString Database::asText(const QString &expr) const
{
    return QString(u"CAST("_s + expr + u" AS TEXT)"_s);
}

bool Database::prepareAndBind(QSqlQuery &q, const QString &sql, const SqlParams *named,
                              const SqlArgs *args, QString *error)
{
    q = QSqlQuery(handle());
    q.setForwardOnly(true);
    if (m_backend == Backend::PostgreSQL)
        q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    const bool hasParams = (named && !named->isEmpty()) || (args && !args->isEmpty());
    bool ok = true;
    if (!hasParams) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            if (named) {
                for (auto it = named->cbegin(); it != named->cend(); ++it) {
                    const QString key = it.key().startsWith(u':') ? it.key() : u':' + it.key();
                    q.bindValue(key, toSql(it.value()));
                }
            } else {
                for (int i = 0; i < args->size(); ++i)
                    q.bindValue(i, toSql(args->at(i)));
            }
            ok = q.exec();
        }
    }
    if (!ok) {
        m_lastError = errorText(q.lastError());
        if (m_lastError.isEmpty())
            m_lastError = u"数据库语句执行失败"_s;
        if (error)
            *error = m_lastError;
    }
    return ok;
}

bool Database::query(QSqlQuery &q, const QString &sql, const SqlParams &params, QString *error)
{
    return prepareAndBind(q, sql, &params, nullptr, error);
}

bool Database::query(QSqlQuery &q, const QString &sql, const SqlArgs &args, QString *error)
{
    return prepareAndBind(q, sql, nullptr, &args, error);
}

bool Database::exec(const QString &sql, const SqlParams &params, QString *error)
{
    QSqlQuery q;
    return query(q, sql, params, error);
}

bool Database::exec(const QString &sql, const SqlArgs &args, QString *error)
{
    QSqlQuery q;
    return query(q, sql, args, error);
}

QVariant Database::scalar(const QString &sql, const SqlParams &params, bool *ok, QString *error)
{
    QSqlQuery q;
    const bool good = query(q, sql, params, error) && q.next();
    if (ok)
        *ok = good;
    return good ? q.value(0) : QVariant();
}

QVariant Database::scalar(const QString &sql, const SqlArgs &args, bool *ok, QString *error)
{
    QSqlQuery q;
    const bool good = query(q, sql, args, error) && q.next();
    if (ok)
        *ok = good;
    return good ? q.value(0) : QVariant();
}

// Nested transactions join the outer one, so an operation that wraps a helper
// that also opens a transaction stays one unit of work.
bool Database::beginTransaction()
{
    if (m_txDepth > 0) {
        ++m_txDepth;
        return true;
    }
    if (!handle().transaction()) {
        m_lastError = errorText(handle().lastError());
        return false;
    }
    m_txDepth = 1;
    return true;
}

bool Database::commit()
{
    if (m_txDepth <= 0)
        return false;
    if (--m_txDepth > 0)
        return true;
    if (!handle().commit()) {
        m_lastError = errorText(handle().lastError());
        handle().rollback();
        return false;
    }
    return true;
}

bool Database::rollback()
{
    if (m_txDepth <= 0)
        return false;
    m_txDepth = 0;
    return handle().rollback();
}

Transaction::Transaction(Database &db) : m_db(db) { m_active = m_db.beginTransaction(); }

Transaction::~Transaction()
{
    if (m_active)
        m_db.rollback();
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    return m_db.commit();
}

void Transaction::rollback()
{
    if (m_active) {
        m_active = false;
        m_db.rollback();
    }
}
