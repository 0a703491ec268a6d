// bench_report_memberlist [members] [template]
// Lays out the member list for N members (default 10 000) and writes it to PDF,
// timing both steps. Run headless with QT_QPA_PLATFORM=offscreen.
#include "report/Report.h"

#include <QDate>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QFileInfo>
#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int members = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    QString resources = qEnvironmentVariable("ORVALIS_RESOURCES");
    if (resources.isEmpty())
        resources = QString::fromUtf8(ORVALIS_SOURCE_RESOURCES);
    const QString tpl = argc > 2 ? QString::fromLocal8Bit(argv[2]) : resources + u"/Reports/frm_huiyuan.fr3"_s;

    ReportTable cards({u"CardCode"_s, u"MemName"_s, u"Sex"_s, u"Cent"_s, u"BeginDate"_s, u"EndDate"_s,
                       u"CashMoney"_s, u"Category"_s, u"UserName"_s, u"Other1"_s});
    const QStringList surnames{u"王"_s, u"李"_s, u"张"_s, u"刘"_s, u"陈"_s, u"杨"_s, u"赵"_s, u"黄"_s};
    for (int i = 0; i < members; ++i)
        cards.addRow(QVariantList{u"VIP%1"_s.arg(i, 6, 10, QChar(u'0')), QString(surnames.at(i % surnames.size()) + u"会员"_s + QString::number(i)),
                      i % 2 ? u"男"_s : u"女"_s, QVariant(i % 500), QDate(2020, 1, 1).addDays(i % 1500),
                      QDate(2027, 1, 1).addDays(i % 700), (i % 10000) / 4.0, u"储值卡"_s, u"Admin"_s,
                      u"上海市黄浦区南京东路%1号"_s.arg(i % 300)});

    Report r(u"frx_huiyuan"_s);
    if (!r.loadFromFile(tpl)) {
        std::fprintf(stderr, "cannot load %s %s\n", qPrintable(tpl), qPrintable(r.loadError()));
        return 1;
    }
    r.bind(u"B"_s, &cards);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"members.pdf"_s);
    // Wall time and processor time: on a shared machine the second is the steadier figure.
    QElapsedTimer t;
    const std::clock_t c0 = std::clock();
    t.start();
    const int pages = int(r.prepare().size());
    const double layoutMs = t.nsecsElapsed() / 1e6;
    const std::clock_t c1 = std::clock();
    t.restart();
    if (!r.exportPdf(pdf)) {
        std::fprintf(stderr, "pdf failed: %s\n", qPrintable(r.lastError()));
        return 1;
    }
    const double pdfMs = t.nsecsElapsed() / 1e6;
    const double layoutCpu = double(c1 - c0) * 1000.0 / CLOCKS_PER_SEC;
    const double pdfCpu = double(std::clock() - c1) * 1000.0 / CLOCKS_PER_SEC;
    const double totalS = (layoutMs + pdfMs) / 1000.0;
    std::printf("members:        %d\n", members);
    std::printf("pages:          %d\n", pages);
    std::printf("layout:         %.1f ms wall, %.1f ms cpu (two passes for [TotalPages#])\n", layoutMs, layoutCpu);
    std::printf("pdf:            %.1f ms wall, %.1f ms cpu\n", pdfMs, pdfCpu);
    std::printf("pdf size:       %.1f KiB\n", QFileInfo(pdf).size() / 1024.0);
    std::printf("pages/second:   %.1f wall, %.1f cpu\n", pages / totalS, pages / ((layoutCpu + pdfCpu) / 1000.0));
    return 0;
}
