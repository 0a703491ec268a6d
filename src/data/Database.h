#pragma once
#include "core/Money.h"

#include <QSqlDatabase>
#include <QDate>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

class IniFile;

// What section DBConn of Config.ini says about the database.
struct ConnectionSettings
{
    QString driver;   // "sqlite" (default) or "postgres"
    QString server;   // PostgreSQL host or socket folder
    int port = 5432;
    QString database; // SQLite: file (relative to the program home); PostgreSQL: database name
    QString user;
    QString password;

    static ConnectionSettings fromIni(const IniFile &ini, const QString &homeDir);
    static ConnectionSettings fromPgConnectionText(const QString &text); // "host=… port=… user=… dbname=…"
    void writeToIni(IniFile &ini) const;
    bool isPostgres() const;
};

// Bound values of one statement: positional ("?") or named (":CardCode").
using SqlParams = QVariantMap;
using SqlArgs = QVariantList;

// The one shared connection. Every value goes in as a bound parameter; the few
// differences between SQLite and PostgreSQL live in the dialect helpers here.
class Database
{
public:
    enum class Backend { SQLite, PostgreSQL };

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    bool open(const ConnectionSettings &settings, QString *error = nullptr);
    void close();
    bool isOpen() const;
    Backend backend() const { return m_backend; }
    bool isSQLite() const { return m_backend == Backend::SQLite; }
    QSqlDatabase handle() const;
    QString connectionName() const { return m_name; }
    const ConnectionSettings &settings() const { return m_settings; }

    // Runs one statement. On failure returns false and gives the server's text.
    bool exec(const QString &sql, const SqlParams &params = {}, QString *error = nullptr);
    bool exec(const QString &sql, const SqlArgs &args, QString *error = nullptr);
    // Prepares, binds and runs; the query is ready to read. False with the error text on failure.
    bool query(QSqlQuery &q, const QString &sql, const SqlParams &params = {}, QString *error = nullptr);
    bool query(QSqlQuery &q, const QString &sql, const SqlArgs &args, QString *error = nullptr);
    // First column of the first row, or an invalid QVariant (and *ok=false) when there is none.
    QVariant scalar(const QString &sql, const SqlParams &params = {}, bool *ok = nullptr, QString *error = nullptr);
    QVariant scalar(const QString &sql, const SqlArgs &args, bool *ok = nullptr, QString *error = nullptr);

    bool beginTransaction();
    bool commit();
    bool rollback();
    bool inTransaction() const { return m_txDepth > 0; }

    // ---- dialect ----
    // A value ready to bind for the backend (dates as the backend stores them, money exact).
    QVariant toSql(const QVariant &v) const;
    QVariant money(const Money &m) const;
    // Wraps a money expression so SQLite keeps exactly four decimals after arithmetic.
    QString roundMoney(const QString &expr) const;
    QString monthOf(const QString &dateExpr) const;
    QString dayOf(const QString &dateExpr) const;
    QString yearOf(const QString &dateExpr) const;
    QString lengthOf(const QString &textExpr) const;
    // Case-insensitive LIKE for columns that are not already case-insensitive.
    QString likeCI(const QString &expr, const QString &param) const;
    // Text of a column for LIKE on any column type.
    QString asText(const QString &expr) const;

    QString lastError() const { return m_lastError; }

    static QString sqlDate(const QDate &d) { return d.toString(u"yyyy-MM-dd"); }

private:
    bool prepareAndBind(QSqlQuery &q, const QString &sql, const SqlParams *named, const SqlArgs *args,
                        QString *error);

    QString m_name;
    Backend m_backend = Backend::SQLite;
    ConnectionSettings m_settings;
    int m_txDepth = 0;
    QString m_lastError;
};

// Begins in the constructor, rolls back in the destructor unless commit() ran.
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    bool isActive() const { return m_active; }
    bool commit();
    void rollback();

private:
    Database &m_db;
    bool m_active = false;
};
