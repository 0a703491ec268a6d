// The shipped templates rendered to PDF over small fixtures and read back with
// poppler's pdftotext / pdffonts; loading, saving and page layout rules.
#include "ReportFixtures.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

class TestReportTemplates : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    ReportTable cards{cardFields()};
    ReportTable bills{{u"CashID"_s, u"CardCode"_s, u"CashDate"_s, u"CashMoney"_s, u"Remark"_s, u"Percent"_s, u"F_User"_s, u"BillCode"_s}};
    ReportTable lines{{u"ID"_s, u"GoodsCode"_s, u"GoodsName"_s, u"Number"_s, u"CashMoney"_s, u"Price"_s, u"CashID"_s,
                       u"Discount"_s, u"Remark"_s, u"Units"_s, u"Cent"_s, u"BillCode"_s, u"CardCode"_s, u"Cmoney"_s}};
    ReportTable goods{{u"GoodsID"_s, u"GoodsType"_s, u"GoodsCode"_s, u"GoodsName"_s, u"SalePrice"_s, u"InPrice"_s,
                       u"Units"_s, u"DepotNum"_s, u"BarCode"_s, u"Remark"_s}};
    ReportTable renewals{{u"ID"_s, u"CardCode"_s, u"MemName"_s, u"xfdate"_s, u"xfmoney"_s, u"UserName"_s, u"CardType"_s}};

    void bindAll(Report &r)
    {
        r.bind(u"B"_s, &cards);
        r.bind(u"A"_s, &bills);
        r.bind(u"F"_s, &lines);
        r.bind(u"m"_s, &goods);
        r.bind(u"X"_s, &renewals);
    }

    QString renderText(Report &r, const QString &pdfName)
    {
        const QString pdf = tmp.filePath(pdfName);
        if (!r.exportPdf(pdf))
            qWarning() << r.lastError();
        return pdfText(pdf);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        // ORVALIS_KEEP_OUTPUT=1 keeps the PDFs for a look by eye.
        if (qEnvironmentVariableIsSet("ORVALIS_KEEP_OUTPUT")) {
            tmp.setAutoRemove(false);
            qInfo() << "output in" << tmp.path();
        }
        // The member list as filtered on screen: three members, in the list's order.
        addCard(cards, u"C003"_s, u"王小五"_s);
        addCard(cards, u"A001"_s, u"张大三"_s);
        addCard(cards, u"B002"_s, u"赵小六"_s, {}, 250, 8);
        cards.setCurrentRow(1);
        bills.addRow({7, u"A001"_s, QDate(2025, 5, 20), -35.5, QString(), 0.1, u"Admin"_s, u"XF20250520001"_s});
        lines.addRow({1, u"G001"_s, u"洗发水"_s, 2, 50.0, 25.0, 7, 1.0, u"赠品另计"_s, u"瓶"_s, 5, u"XF20250520001"_s, u"A001"_s, 50.0});
        lines.addRow({2, u"G002"_s, u"退回护理卡"_s, -1, -85.5, 85.5, 7, 1.0, QString(), u"张"_s, -8, u"XF20250520001"_s, u"A001"_s, -85.5});
        goods.addRow({1, u"01"_s, u"G001"_s, u"洗发水"_s, 25.0, 12.0, u"瓶"_s, 10, u"6900000000017"_s, QString()});
        goods.addRow({2, u"02"_s, u"G002"_s, u"护理卡"_s, 85.5, 40.0, u"张"_s, 3, QString(), u"年卡"_s});
        renewals.addRow({1, u"A001"_s, u"张大三"_s, QDate(2025, 1, 1), 100.0, u"Admin"_s, u"储值卡"_s});
        renewals.addRow({2, u"A001"_s, u"张大三"_s, QDate(2025, 5, 21), 500.0, u"Admin"_s, u"储值卡"_s});
        renewals.setCurrentRow(1);
    }

    void shippedTemplates_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("member list") << u"frm_huiyuan.fr3"_s << QStringList{u"会员基本资料"_s, u"王小五"_s, u"2026-01-15"_s, u"88.50"_s, u"打印日期"_s};
        QTest::newRow("labels") << u"frx_xinfeng.fr3"_s << QStringList{u"200001"_s, u"南京东路1号"_s, u"赵小六"_s};
        QTest::newRow("detail sheet") << u"frx_bill.fr3"_s << QStringList{u"会员详细资料"_s, u"金卡"_s, u"1990-06-01"_s, u"第3页/共3页"_s};
        QTest::newRow("goods") << u"frx_goods.fr3"_s << QStringList{u"商品资料"_s, u"6900000000017"_s, u"85.50"_s, u"年卡"_s};
        QTest::newRow("receipt") << u"frx_yiyong.fr3"_s << QStringList{u"消费单据"_s, u"张大三"_s, u"XF20250520001"_s, u"2025-05-20"_s};
        QTest::newRow("top-up") << u"frx_xufei.fr3"_s << QStringList{u"储值卡充值单据"_s, u"500.00"_s, u"2025-05-21"_s, u"张大三"_s};
        QTest::newRow("count top-up") << u"frx_JCxufei.fr3"_s << QStringList{u"计次卡充值单据"_s, u"剩余次数"_s, u"500.00"_s};
        QTest::newRow("shift") << u"frx_xinxi.fr3"_s << QStringList{u"交班信息汇总"_s, u"实收现金"_s};
    }
    // Each template loads cleanly, uses only names the data sets have, prints
    // its content, and embeds the CJK font in the PDF.
    void shippedTemplates()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        Report r;
        QVERIFY(r.loadFromFile(templatePath(file)));
        QVERIFY2(r.loadError().isEmpty(), qPrintable(r.loadError()));
        bindAll(r);
        QVERIFY2(r.check().isEmpty(), qPrintable(r.check().join(u'\n')));
        const QString text = renderText(r, file + u".pdf"_s);
        QVERIFY2(r.problems().isEmpty(), qPrintable(r.problems().join(u'\n')));
        for (const QString &e : expected)
            QVERIFY2(text.contains(e), qPrintable(e + u" missing in:\n"_s + text));
        const QString fonts = pdfFonts(tmp.filePath(file + u".pdf"_s));
        bool embedded = false;
        for (const QString &line : fonts.split(u'\n'))
            embedded = embedded || (line.contains(u"WenQuanYi"_s) && line.contains(u" yes "_s));
        QVERIFY2(embedded, qPrintable(fonts));
    }

    void memberListShowsListedMembersInOrder()
    {
        Report r;
        QVERIFY(r.loadFromFile(templatePath(u"frm_huiyuan.fr3"_s)));
        bindAll(r);
        const QString text = renderText(r, u"list.pdf"_s);
        const qsizetype a = text.indexOf(u"王小五"_s), b = text.indexOf(u"张大三"_s), c = text.indexOf(u"赵小六"_s);
        QVERIFY(a >= 0 && a < b && b < c);
        QCOMPARE(itemTexts(r.pages(), u"Memo_D1"_s), (QStringList{u"C003"_s, u"A001"_s, u"B002"_s}));
        QCOMPARE(r.pages().size(), 1);
        QCOMPARE(r.pages().first().size, QSizeF(297, 210));
        QCOMPARE(cards.currentRow(), 1);
    }

    void receiptShowsLinesTotalAndCapitals()
    {
        Report r;
        QVERIFY(r.loadFromFile(templatePath(u"frx_yiyong.fr3"_s)));
        bindAll(r);
        QVERIFY(r.setMemoText(u"memo_bigmoney"_s, u"-叁拾伍元伍角整"_s));
        QVERIFY(!r.setMemoText(u"Memo_NotThere"_s, u"x"_s));
        const QString text = renderText(r, u"receipt.pdf"_s);
        for (const QString &e : {u"洗发水"_s, u"退回护理卡"_s, u"50.00"_s, u"-85.50"_s, u"-35.50"_s,
                                 u"-叁拾伍元伍角整"_s, u"金额大写"_s, u"操作员: Admin"_s})
            QVERIFY2(text.contains(e), qPrintable(e + u" missing in:\n"_s + text));
    }

    void topUpReceiptIsRollLength()
    {
        Report r;
        QVERIFY(r.loadFromFile(templatePath(u"frx_JCxufei.fr3"_s)));
        bindAll(r);
        const LayoutPages pages = r.prepare();
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages.first().size.width(), 80.0);
        QVERIFY(pages.first().size.height() > 50 && pages.first().size.height() < 120);
        // the current renewal and the current member, not the first rows
        QVERIFY(itemTexts(pages, u"Memo_V5"_s).contains(u"500.00"_s));
        QVERIFY(itemTexts(pages, u"Memo_V6"_s).contains(u"0"_s));
        // the PDF page is the roll's width (80 mm = 227 pt) and the receipt's length
        const QString pdf = tmp.filePath(u"roll.pdf"_s);
        QVERIFY(r.exportPdf(pdf));
        const QString info = pdfInfo(pdf);
        const int pt = qRound(pages.first().size.height() / 25.4 * 72);
        QVERIFY2(info.contains(u"Page size:       227 x %1 pts"_s.arg(pt)), qPrintable(info));
    }

    void shiftSheetShowsTheSevenMemos()
    {
        Report r;
        QVERIFY(r.loadFromFile(templatePath(u"frx_xinxi.fr3"_s)));
        const QStringList names{u"memo_time1"_s, u"memo_time2"_s, u"memo_zkcard"_s, u"memo_czcard"_s,
                                u"memo_hj"_s, u"memo_hjmoney"_s, u"memo_ssmoney"_s};
        const QStringList values{u"2025-05-20 08:00:00"_s, u"2025-05-20 20:00:00"_s, u"120.00"_s, u"80.50"_s,
                                 u"200.50"_s, u"1000.00"_s, u"1200.50"_s};
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(r.setMemoText(names.at(i).toUpper(), values.at(i)));
        const QString text = renderText(r, u"shift.pdf"_s);
        for (const QString &v : values)
            QVERIFY2(text.contains(v), qPrintable(v + u" missing in:\n"_s + text));
    }

    // Photo rule: a member whose picture file is gone prints nopic.jpg.
    void missingPhotoPrintsNoPic()
    {
        const QString photo = tmp.filePath(u"red.png"_s);
        QImage red(60, 80, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(photo));
        ReportTable members{cardFields()};
        addCard(members, u"A001"_s, u"有照片"_s, photo);
        addCard(members, u"A002"_s, u"没照片"_s, tmp.filePath(u"gone.jpg"_s));
        const QString nopic = resourcesDir() + u"/nopic.jpg"_s;
        QVERIFY(QFile::exists(nopic));

        Report r;
        QVERIFY(r.loadFromFile(templatePath(u"frx_bill.fr3"_s)));
        r.bind(u"B"_s, &members);
        r.setPictureRule(u"Picture1"_s, u"B"_s, u"Pic"_s, nopic);
        const LayoutPages pages = r.prepare();
        QCOMPARE(pages.size(), 2);
        QCOMPARE(r.fallbackPictureCount(), 1);
        QStringList sources;
        QRectF where;
        for (const LayoutPage &pg : pages)
            for (const LayoutItem &it : pg.items)
                if (it.objectName == u"Picture1"_s) {
                    sources << it.imageSource;
                    where = it.rect;
                    QVERIFY(!it.image.isNull());
                }
        QCOMPARE(sources, (QStringList{photo, nopic}));

        // And it is drawn: the picture's box is red on page 1, grey on page 2.
        const auto centre = [&](const LayoutPage &pg) {
            QImage img(QSize(420, 594), QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            report::paintPage(p, pg, 2.0);
            p.end();
            return img.pixelColor((where.center() * 2.0).toPoint() - QPoint(0, 20));
        };
        const QColor c1 = centre(pages.at(0)), c2 = centre(pages.at(1));
        QVERIFY2(c1.red() > 200 && c1.green() < 60, qPrintable(c1.name()));
        QVERIFY2(c2.red() < 240 && qAbs(c2.red() - c2.blue()) < 10, qPrintable(c2.name()));
    }

    // Long lists: every page repeats the column captions, no row reaches into
    // the page footer, and rows continue in order across pages.
    void pageBreaksKeepFooterFree()
    {
        ReportTable many{cardFields()};
        for (int i = 0; i < 75; ++i)
            addCard(many, u"K%1"_s.arg(i, 3, 10, QChar(u'0')), u"会员%1"_s.arg(i));
        Report r;
        QVERIFY(r.loadFromFile(templatePath(u"frm_huiyuan.fr3"_s)));
        r.bind(u"B"_s, &many);
        const LayoutPages pages = r.prepare();
        QVERIFY(pages.size() >= 3);
        QStringList codes;
        for (int p = 0; p < pages.size(); ++p) {
            double footerTop = 1e9, lastRowBottom = 0;
            int captions = 0;
            for (const LayoutItem &it : pages.at(p).items) {
                if (it.objectName == u"Memo_PrintDate"_s) footerTop = it.rect.top();
                if (it.objectName == u"Memo_H1"_s) ++captions;
                if (it.objectName == u"Memo_D1"_s) {
                    lastRowBottom = std::max(lastRowBottom, it.rect.bottom());
                    codes << it.text;
                }
                if (it.objectName == u"Memo_Page"_s)
                    QCOMPARE(it.text, u"第 %1 页 / 共 %2 页"_s.arg(p + 1).arg(pages.size()));
            }
            QCOMPARE(captions, 1);
            QVERIFY2(lastRowBottom <= footerTop - 2 + 1e-6, qPrintable(u"page %1"_s.arg(p + 1)));
        }
        QCOMPARE(codes.size(), 75);
        QCOMPARE(codes.first(), u"K000"_s);
        QCOMPARE(codes.last(), u"K074"_s);
    }

    // A long remark wraps and makes its bill line taller; the other ruled cells
    // of that line grow with it and the next line starts below.
    void longRemarkStretchesItsLine()
    {
        ReportTable f{{u"GoodsCode"_s, u"GoodsName"_s, u"Remark"_s, u"CashMoney"_s}};
        f.addRow({u"G001"_s, u"洗发水"_s, u"顾客要求下次到店时补送同款小样两支, 并在会员卡备注中登记本次赠送记录"_s, 50.0});
        f.addRow({u"G002"_s, u"护理卡"_s, u"短备注"_s, 85.5});
        Report r;
        QVERIFY(r.loadFromFile(templatePath(u"frx_yiyong.fr3"_s)));
        r.bind(u"F"_s, &f);
        const LayoutPages pages = r.prepare();
        QList<QRectF> remark, code;
        for (const LayoutItem &it : pages.first().items) {
            if (it.objectName == u"Memo_D8"_s) remark << it.rect;
            if (it.objectName == u"Memo_D1"_s) code << it.rect;
        }
        QCOMPARE(remark.size(), 2);
        QVERIFY(remark.at(0).height() > 10);
        QCOMPARE(code.at(0).height(), remark.at(0).height());
        QCOMPARE(remark.at(1).height(), 6.5);
        QCOMPARE(code.at(1).top(), code.at(0).bottom());
        const QString text = renderText(r, u"stretch.pdf"_s);
        QVERIFY2(text.contains(u"顾客要求"_s) && text.contains(u"记录"_s), qPrintable(text));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *f : {"frm_huiyuan.fr3", "frx_bill.fr3", "frx_xinfeng.fr3", "frx_yiyong.fr3", "frx_goods.fr3",
                              "frx_xufei.fr3", "frx_JCxufei.fr3", "frx_xinxi.fr3"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    // Saved and loaded back, a design is the same; saving again gives the same bytes.
    void roundTrip()
    {
        QFETCH(QString, file);
        Report a;
        QVERIFY(a.loadFromFile(templatePath(file)));
        const QString copy = tmp.filePath(u"rt/"_s + file);
        QVERIFY(a.saveToFile(copy));
        Report b;
        QVERIFY(b.loadFromFile(copy));
        QVERIFY(a.design() == b.design());
        QVERIFY(b.saveToFile(copy + u"2"_s));
        QFile f1(copy), f2(copy + u"2"_s);
        QVERIFY(f1.open(QIODevice::ReadOnly) && f2.open(QIODevice::ReadOnly));
        QCOMPARE(f1.readAll(), f2.readAll());
    }

    void missingTemplateIsEmptyAndSilent()
    {
        Report r(u"frx_xinfeng"_s);
        const QString path = tmp.filePath(u"Reports/frx_xinfeng.fr3"_s);
        QVERIFY(!r.loadFromFile(path));
        QVERIFY(r.isEmpty());
        QVERIFY(r.loadError().isEmpty());
        QCOMPARE(r.fileName(), path);
        bindAll(r);
        QVERIFY(r.prepare().isEmpty());
        QVERIFY(r.exportPdf(tmp.filePath(u"empty.pdf"_s)));
    }

    void damagedTemplate_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("truncated") << QByteArray("<report><band type=\"MasterData\" height=\"5\"><memo x=\"1\"");
        QTest::newRow("not ours") << QByteArray("<html><body/></html>");
        QTest::newRow("bad number") << QByteArray("<report><band type=\"MasterData\" height=\"abc\"/></report>");
        QTest::newRow("unknown band") << QByteArray("<report><band type=\"Sidebar\" height=\"5\"/></report>");
        QTest::newRow("binary") << QByteArray("\x00\x01\x02garbage", 10);
        QTest::newRow("empty") << QByteArray();
    }
    void damagedTemplate()
    {
        QFETCH(QByteArray, content);
        const QString path = tmp.filePath(u"damaged.fr3"_s);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        Report r;
        QVERIFY(r.loadFromFile(templatePath(u"frx_goods.fr3"_s)));
        QVERIFY(!r.loadFromFile(path));
        QVERIFY(r.isEmpty());
        QVERIFY(!r.loadError().isEmpty());
        QVERIFY(r.loadError().contains(u"damaged.fr3"_s));
    }

    // A report loaded from nothing saves to the path it was looked for at, and the
    // next load there uses the new design.
    void savesToItsOwnPath()
    {
        Report r(u"frx_goods"_s);
        const QString path = tmp.filePath(u"home/Reports/frx_goods.fr3"_s);
        QVERIFY(!r.loadFromFile(path));
        ReportTemplate t;
        ReportBand b{.kind = BandKind::ReportTitle, .name = u"ReportTitle1"_s, .height = 10};
        b.objects << ReportObject{.name = u"Memo1"_s, .rect = QRectF(0, 0, 80, 8), .text = u"新的商品报表"_s};
        t.bands << b;
        r.setDesign(t);
        QVERIFY2(r.saveToFile(), qPrintable(r.lastError()));
        Report again;
        QVERIFY(again.loadFromFile(path));
        QCOMPARE(itemTexts(again.prepare(), u"memo1"_s), QStringList{u"新的商品报表"_s});
    }
};

QTEST_MAIN(TestReportTemplates)
#include "tst_reporttemplates.moc"
