#include "SchemaInstaller.h"

#include "Database.h"

#include <QFile>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

// The shipped scripts are compiled into this static library; its resources must
// be registered by hand, once, before the first read.
static void initResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(db);
        return true;
    }();
    Q_UNUSED(done);
}

namespace schema {

int currentVersion() { return 1; }

QStringList splitStatements(const QString &text)
{
    QStringList out;
    QString cur;
    const QStringList lines = QString(text).replace(u"\r\n"_s, u"\n"_s).split(u'\n');
    for (const QString &line : lines) {
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u"--"_s))
            continue;
        cur += line + u'\n';
        if (t.endsWith(u';')) {
            QString s = cur.trimmed();
            s.chop(1);
            out << s;
            cur.clear();
        }
    }
    if (!cur.trimmed().isEmpty())
        out << cur.trimmed();
    return out;
}

static bool runFile(Database &db, const QString &path, QString *error)
{
    initResources();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = u"缺少数据库脚本 "_s + path;
        return false;
    }
    const QStringList statements = splitStatements(QString::fromUtf8(f.readAll()));
    for (const QString &s : statements) {
        QString e;
        if (!db.exec(s, SqlParams{}, &e)) {
            if (error)
                *error = e + u"\n"_s + s.left(200);
            return false;
        }
    }
    return true;
}

bool install(Database &db, QString *error)
{
    const QString dir = db.isSQLite() ? u":/db/sqlite/"_s : u":/db/postgres/"_s;
    Transaction tx(db);
    if (!runFile(db, dir + u"schema.sql"_s, error) || !runFile(db, u":/db/common.sql"_s, error)
        || !runFile(db, u":/db/seed.sql"_s, error))
        return false;
    if (!tx.commit()) {
        if (error)
            *error = db.lastError();
        return false;
    }
    return true;
}

bool isInstalled(Database &db)
{
    bool ok = false;
    db.scalar(u"SELECT Version FROM T_SchemaVersion"_s, SqlParams{}, &ok);
    return ok;
}

bool upgrade(Database &db, QString *error)
{
    bool ok = false;
    const int stored = db.scalar(u"SELECT Version FROM T_SchemaVersion"_s, SqlParams{}, &ok).toInt();
    if (!ok) {
        if (error)
            *error = u"数据库没有版本信息"_s;
        return false;
    }
    if (stored > currentVersion()) {
        if (error)
            *error = u"数据库版本 %1 比程序新, 请升级程序"_s.arg(stored);
        return false;
    }
    // Each later version adds a step here: for (v = stored; v < current; ++v) run
    // ":/db/<backend>/upgrade-<v+1>.sql" and set the version, in one transaction.
    for (int v = stored; v < currentVersion(); ++v) {
        const QString file = (db.isSQLite() ? u":/db/sqlite/upgrade-"_s : u":/db/postgres/upgrade-"_s)
                             + QString::number(v + 1) + u".sql"_s;
        Transaction tx(db);
        if (!runFile(db, file, error)
            || !db.exec(u"UPDATE T_SchemaVersion SET Version = ?"_s, SqlArgs{v + 1}, error) || !tx.commit())
            return false;
    }
    return true;
}

QStringList describe(Database &db)
{
    QStringList names;
    QSqlQuery q;
    if (db.isSQLite())
        db.query(q, u"SELECT name FROM sqlite_master WHERE type IN ('table','view') AND name NOT LIKE 'sqlite_%' ORDER BY lower(name)"_s);
    else
        db.query(q, u"SELECT table_name FROM information_schema.tables WHERE table_schema = 'public' ORDER BY lower(table_name) COLLATE \"C\""_s);
    while (q.next())
        names << q.value(0).toString();
    QStringList out;
    for (const QString &n : std::as_const(names)) {
        QSqlQuery c;
        db.query(c, u"SELECT * FROM "_s + n + u" WHERE 1=0"_s);
        QStringList cols;
        const QSqlRecord r = c.record();
        for (int i = 0; i < r.count(); ++i)
            cols << r.fieldName(i).toLower();
        out << n.toLower() + u": "_s + cols.join(u", "_s);
    }
    return out;
}

} // namespace schema
