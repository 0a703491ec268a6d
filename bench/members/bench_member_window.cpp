// Member list window scale: time to show TFrm_Card on N members (data set,
// three grids, tree, status) against opening Qry_Card alone.
//   QT_QPA_PLATFORM=offscreen bench_member_window [members=100000]
#include "app/Session.h"
#include "app/U_data.h"
#include "data/SchemaInstaller.h"
#include "members/U_Card.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(db);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    ConnectionSettings s;
    s.driver = u"sqlite"_s;
    s.database = dir.filePath(u"bench.db"_s);
    TFrm_Data data;
    QString e;
    if (!data.connectWith(s, &e)) {
        std::fprintf(stderr, "setup failed: %s\n", qPrintable(e));
        return 1;
    }
    Database &db = data.ADOConnection1;
    // Every third member has expired, so the colour rule has work to do.
    if (!db.exec(u"WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < ?) "
                 u"INSERT INTO T_Card (CardCode, MemName, Sex, dw, address, tel, email, mz, Discount, BeginDate, EndDate, "
                 u"NewCard, CashMoney, Cent, UserName, Mobile, Category, Money, state, Password, CardLevel, memo) "
                 u"SELECT 'C' || printf('%08d', i), '会员' || i, '男', '某某贸易有限公司', '北京市朝阳区建国路' || (i % 500) || '号', "
                 u"'010-65120000', 'm' || i || '@example.com', '汉族', 0.9, '2025-01-01', "
                 u"CASE WHEN i % 3 = 0 THEN '2025-06-01' ELSE '2099-01-01' END, '储值卡', 1234.5, i % 1000, 'Admin', "
                 u"'13812340000', '0101', 100.25, '可用', '123456', '金卡', '无' FROM c"_s,
                 SqlArgs{n}, &e)) {
        std::fprintf(stderr, "fill failed: %s\n", qPrintable(e));
        return 1;
    }
    for (int i = 1; i <= Session::RightCount; ++i)
        Session::instance().setRight(i, true);

    double openMs = 1e9;
    double windowMs = 1e9;
    for (int round = 0; round < 3; ++round) {
        data.Qry_Card->close();
        QElapsedTimer t;
        t.start();
        data.Qry_Card->open(u"select * from T_Card"_s);
        openMs = std::min(openMs, t.nsecsElapsed() / 1e6);
        data.Qry_Card->close();

        TFrm_Card w;
        w.resize(1280, 800);
        t.restart();
        w.show(); // runs FormShow
        QApplication::processEvents();
        windowMs = std::min(windowMs, t.nsecsElapsed() / 1e6);
    }
    std::printf("members: %d\n", data.Qry_Card->rowCount());
    std::printf("Qry_Card open:          %.1f ms\n", openMs);
    std::printf("member list shown:      %.1f ms  (%.2fx the data set alone)\n", windowMs, windowMs / openMs);
    return data.Qry_Card->rowCount() == n ? 0 : 1;
}
