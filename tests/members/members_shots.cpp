// Pictures of the member list and the member editor with sample members, bills
// and bill lines, for checking the look by eye.
#include "TestDb.h"
#include "app/Session.h"
#include "app/WindowHost.h"
#include "members/U_AddCard.h"
#include "members/U_Card.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QStatusBar>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(db);
    app.setFont(QFont(u"WenQuanYi Micro Hei"_s, 9));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"/tmp/members-shots"_s;
    QDir().mkpath(out);
    TestDb tdb;
    QString error;
    if (!tdb.setUp(&error)) {
        qWarning("%s", qPrintable(error));
        return 1;
    }
    QFile::copy(TestDb::resourcesDir() + u"/nopic.jpg"_s, tdb.home() + u"/nopic.jpg"_s);
    Session::instance().CurrentOperator = u"Admin"_s;
    for (int i = 1; i <= Session::RightCount; ++i)
        Session::instance().setRight(i, true);
    const QDate today = QDate::currentDate();
    const QStringList names = {u"王小明"_s, u"李丽"_s, u"张伟"_s, u"刘芳"_s, u"陈静"_s, u"杨洋"_s, u"赵磊"_s, u"黄敏"_s};
    const QStringList kinds = {u"储值卡"_s, u"折扣卡"_s, u"计次卡"_s, u"升级卡"_s};
    for (int i = 0; i < names.size(); ++i) {
        const QDate end = i == 2 ? today.addDays(-1) : today.addYears(1);
        tdb.exec(u"insert into T_Card (CardCode, MemName, Sex, NewCard, CardLevel, Discount, Money, CashMoney, Cent, state, "
                 u"BeginDate, EndDate, tel, Mobile, UserName, Category) values (?, ?, ?, ?, ?, ?, ?, ?, ?, '可用', ?, ?, ?, ?, 'Admin', '01')"_s,
                 {u"VIP%1"_s.arg(1001 + i), names[i], i % 2 ? u"女"_s : u"男"_s, kinds[i % 4], i % 4 == 3 ? u"★★"_s : u""_s,
                  0.9, 500 - i * 37.5, 120 + i * 10, 12 + i, today.addYears(-1), end, u"0571-8888%1"_s.arg(i),
                  u"1390000%1"_s.arg(1000 + i)});
    }
    const qint64 first = tdb.scalar(u"select min(UserID) from T_Card"_s).toLongLong();
    for (int b = 0; b < 3; ++b) {
        const QString bill = u"XF-%1-%2"_s.arg(today.toString(u"yyyy-MM-dd"_s)).arg(b + 1, 4, 10, QChar(u'0'));
        tdb.exec(u"insert into T_CardCash (UserID, CashDate, CashMoney, BillCode, CardCode, F_User, Remark, Percent, Money) "
                 u"values (?, ?, ?, ?, 'VIP1001', 'Admin', '', 10, ?)"_s,
                 {first, today.addDays(-b), 88.5 + b * 20, bill, 400 - b * 50});
        for (int l = 0; l < 2; ++l)
            tdb.exec(u"insert into T_CardCashDetail (GoodsCode, GoodsName, Number, CashMoney, Price, Discount, Units, Cent, BillCode, CardCode) "
                     u"values (?, ?, ?, ?, ?, 0.9, '次', ?, ?, 'VIP1001')"_s,
                     {u"G0%1"_s.arg(l + 1), l ? u"护理套餐"_s : u"洗剪吹"_s, 1 + l, (30 + l * 20) * (1 + l) * 0.9, 30 + l * 20,
                      3 + l, bill});
    }

    QMainWindow main;
    main.resize(1400, 860);
    auto *area = new QMdiArea(&main);
    main.setCentralWidget(area);
    auto *panel = new QLabel(&main);
    panel->setObjectName(u"StatusPanel1"_s);
    main.statusBar()->addWidget(new QLabel(u" 当前操作员: Admin"_s), 0);
    main.statusBar()->addWidget(panel, 1);
    WindowHost::setMdiArea(area);
    WindowHost::setMainWindow(&main);
    main.show();
    TFrm_Card *list = ShowChildForm<TFrm_Card>();
    QApplication::processEvents();
    tdb.data()->Qry_Card->first();
    QApplication::processEvents();
    main.grab().save(out + u"/member-list.png"_s);

    for (int kind = 0; kind < 4; ++kind) {
        TFrm_AddCard dlg(&main);
        dlg.AddMode = 1;
        dlg.show();
        dlg.findChild<QComboBox *>(u"Combo_Card"_s)->setCurrentIndex(kind);
        QApplication::processEvents();
        dlg.grab().save(out + u"/editor-kind%1.png"_s.arg(kind + 1));
    }
    tdb.data()->Qry_Card->first();
    {
        TFrm_AddCard dlg(&main);
        dlg.AddMode = 0;
        dlg.show();
        QApplication::processEvents();
        dlg.grab().save(out + u"/editor-edit.png"_s);
    }
    Q_UNUSED(list);
    return 0;
}
