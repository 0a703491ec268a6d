// Member list scale: open Qry_Card on N generated members and compare time and
// memory with sqlite3 reading every cell of the same table as text.
//   bench_member_open [members=100000]
#include "data/DataSet.h"
#include "data/SchemaInstaller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

static long rssKb()
{
    QFile f(u"/proc/self/status"_s);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

static bool fill(Database &db, int n)
{
    Transaction tx(db);
    QSqlQuery q(db.handle());
    q.prepare(u"INSERT INTO T_Card (CardCode, MemName, Sex, dw, address, Zip, tel, email, mz, Discount, BeginDate, "
              u"EndDate, NewCard, CashMoney, Cent, UserName, Birthday, Mobile, Category, StartCent, Other1, Money, "
              u"state, time, Password, CardLevel, memo) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"_s);
    const QStringList kinds = {u"折扣卡"_s, u"储值卡"_s, u"计次卡"_s, u"升级卡"_s};
    for (int i = 0; i < n; ++i) {
        const QVariantList v = {u"C%1"_s.arg(i, 8, 10, QChar(u'0')), u"会员%1"_s.arg(i), i % 2 ? u"男"_s : u"女"_s,
                                u"某某贸易有限公司"_s, u"北京市朝阳区建国路%1号"_s.arg(i % 500), u"100020"_s,
                                u"010-6512%1"_s.arg(i % 10000, 4, 10, QChar(u'0')), u"m%1@example.com"_s.arg(i),
                                u"汉族"_s, 0.9, u"2025-01-01"_s, u"2027-01-01"_s, kinds[i % 4], 1234.5 + i % 100,
                                double(i % 1000), u"Admin"_s, u"1990-05-06"_s, u"1381234%1"_s.arg(i % 10000, 4, 10, QChar(u'0')),
                                u"0101"_s, 0.0, u"备注"_s, 100.25, u"可用"_s, 10, u"123456"_s, u"金卡"_s, u"无"_s};
        for (int k = 0; k < v.size(); ++k)
            q.bindValue(k, v[k]);
        if (!q.exec())
            return false;
    }
    return tx.commit();
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString file = dir.filePath(u"bench.db"_s);
    {
        Database db;
        ConnectionSettings s;
        s.driver = u"sqlite"_s;
        s.database = file;
        QString e;
        if (!db.open(s, &e) || !schema::install(db, &e) || !fill(db, n)) {
            std::fprintf(stderr, "setup failed: %s\n", qPrintable(e));
            return 1;
        }
    }

    // Baseline: sqlite3 reads every cell as text and keeps nothing.
    double baseMs = 1e9;
    long long cells = 0;
    for (int round = 0; round < 3; ++round) {
        sqlite3 *h = nullptr;
        sqlite3_open(file.toUtf8().constData(), &h);
        QElapsedTimer t;
        t.start();
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(h, "select * from T_Card", -1, &st, nullptr);
        const int nc = sqlite3_column_count(st);
        size_t bytes = 0;
        cells = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < nc; ++c) {
                if (sqlite3_column_text(st, c))
                    bytes += size_t(sqlite3_column_bytes(st, c));
                ++cells;
            }
        sqlite3_finalize(st);
        baseMs = std::min(baseMs, t.nsecsElapsed() / 1e6);
        sqlite3_close(h);
        if (bytes == 0)
            return 1;
    }

    // The member list's data set, as the window opens it.
    double openMs = 1e9;
    long extraKb = 0;
    int rows = 0;
    for (int round = 0; round < 3; ++round) {
        // The member list's data set (Qry_Card) is exactly this: a DataSet on T_Card.
        Database db;
        ConnectionSettings s;
        s.driver = u"sqlite"_s;
        s.database = file;
        QString e;
        if (!db.open(s, &e)) {
            std::fprintf(stderr, "connect failed: %s\n", qPrintable(e));
            return 1;
        }
        DataSet card(&db);
        card.setTable(u"T_Card"_s, u"UserID"_s);
        const long before = rssKb();
        QElapsedTimer t;
        t.start();
        card.open(u"select * from T_Card"_s);
        openMs = std::min(openMs, t.nsecsElapsed() / 1e6);
        extraKb = std::max(extraKb, rssKb() - before);
        rows = card.rowCount();
    }
    std::printf("members: %d (%lld cells)\n", rows, cells);
    std::printf("sqlite3 read (baseline): %.1f ms\n", baseMs);
    std::printf("Qry_Card open:           %.1f ms  (%.2fx baseline)\n", openMs, openMs / baseMs);
    std::printf("Qry_Card extra memory:   %.1f MB\n", extraKb / 1024.0);
    return rows == n ? 0 : 1;
}
