// Memo expressions, display formats and aggregates, evaluated by laying out a
// one-memo report over small tables.
#include "ReportFixtures.h"
#include "report/ReportExpression.h"

#include <QTest>

class TestReportExpression : public QObject
{
    Q_OBJECT

    ReportTable cards{cardFields()};
    ReportTable lines{{u"GoodsCode"_s, u"GoodsName"_s, u"Number"_s, u"Price"_s, u"CashMoney"_s, u"Kind"_s}};

    // Lays out a report whose summary holds one memo with this text and format.
    QString render(const QString &text, const QString &format, QStringList *problems = nullptr)
    {
        ReportTemplate t;
        ReportBand master{.kind = BandKind::MasterData, .name = u"MasterData1"_s, .height = 5, .dataSet = u"F"_s};
        ReportBand summary{.kind = BandKind::ReportSummary, .name = u"Summary1"_s, .height = 5};
        summary.objects << ReportObject{.name = u"Memo1"_s, .rect = QRectF(0, 0, 50, 5), .text = text, .format = format};
        t.bands << master << summary;
        Report r;
        r.setDesign(t);
        r.bind(u"B"_s, &cards);
        r.bind(u"F"_s, &lines);
        const QStringList texts = itemTexts(r.prepare(), u"memo1"_s);
        if (problems)
            *problems = r.problems();
        return texts.value(0, u"<none>"_s);
    }

private slots:
    void initTestCase()
    {
        addCard(cards, u"A01"_s, u"张三"_s);
        addCard(cards, u"A02"_s, u"李四"_s);
        cards.setCurrentRow(1);
        lines.addRow({u"G1"_s, u"洗发水"_s, 2, 12.5, 20.0, u"x"_s});
        lines.addRow({u"G2"_s, u"护发素"_s, 1, 30.0, 30.0, u"y"_s});
        lines.addRow({u"G3"_s, u"退货"_s, -1, 85.5, -85.5, u"x"_s});
        lines.setCurrentRow(0);
    }

    void expressions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("problem");
        QTest::newRow("field of current row") << u"姓名: [B.\"MemName\"]"_s << QString() << u"姓名: 李四"_s << false;
        QTest::newRow("alias and field without case") << u"[b.\"memname\"]"_s << QString() << u"李四"_s << false;
        QTest::newRow("sum over band") << u"[SUM(<F.\"CashMoney\">,MasterData1)]"_s << u"0.00"_s << u"-35.50"_s << false;
        QTest::newRow("sum of product") << u"[SUM(<F.\"Number\"> * <F.\"Price\">, MasterData1)]"_s << u"0.00"_s << u"-30.50"_s << false;
        QTest::newRow("count") << u"[COUNT(MasterData1)]"_s << QString() << u"3"_s << false;
        QTest::newRow("avg") << u"[AVG(<F.\"Price\">,MasterData1)]"_s << u"0.00"_s << u"42.67"_s << false;
        QTest::newRow("min max") << u"[MIN(<F.\"CashMoney\">,MasterData1)]/[MAX(<F.\"CashMoney\">,MasterData1)]"_s
                                 << QString() << u"-85.5/30"_s << false;
        QTest::newRow("text joins") << u"['No.' + B.\"CardCode\" + '-' + 7]"_s << QString() << u"No.A02-7"_s << false;
        QTest::newRow("arithmetic") << u"[(F.\"Price\" + 2.5) * 2 - -1]"_s << QString() << u"31"_s << false;
        QTest::newRow("division by zero is empty") << u"a[1/0]b"_s << QString() << u"ab"_s << false;
        QTest::newRow("unknown field") << u"x[B.\"Nope\"]y"_s << QString() << u"xy"_s << true;
        QTest::newRow("unknown data set") << u"[Q.\"MemName\"]"_s << QString() << QString() << true;
        QTest::newRow("unknown name") << u"[Foo]"_s << QString() << QString() << true;
        QTest::newRow("unknown function") << u"[UPPER('a')]"_s << QString() << QString() << true;
        QTest::newRow("broken expression") << u"[SUM(<F.\"CashMoney\">,]"_s << QString() << QString() << true;
        QTest::newRow("unclosed bracket is text") << u"单价[元"_s << QString() << u"单价[元"_s << false;
        QTest::newRow("quoted bracket") << u"['a]b']"_s << QString() << u"a]b"_s << false;
        QTest::newRow("page numbers") << u"[Page#]/[TotalPages#]"_s << QString() << u"1/1"_s << false;
        QTest::newRow("date format") << u"[B.\"BeginDate\"]"_s << u"yyyy年MM月dd日"_s << u"2024年01月15日"_s << false;
        QTest::newRow("money rounds half up") << u"[2.675]"_s << u"0.00"_s << u"2.68"_s << false;
        QTest::newRow("grouping") << u"[1234567.891]"_s << u"#,##0.00"_s << u"1,234,567.89"_s << false;
        QTest::newRow("no -0.00") << u"[-0.001]"_s << u"0.00"_s << u"0.00"_s << false;
    }
    void expressions()
    {
        QFETCH(QString, text);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QFETCH(bool, problem);
        QStringList problems;
        QCOMPARE(render(text, format, &problems), expected);
        QCOMPARE(!problems.isEmpty(), problem);
    }

    void formats_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain double") << QVariant(0.1 + 0.2) << QString() << u"0.3"_s;
        QTest::newRow("numeric text") << QVariant(u"12.5"_s) << u"0.00"_s << u"12.50"_s;
        QTest::newRow("date") << QVariant(QDate(2024, 3, 5)) << QString() << u"2024-03-05"_s;
        QTest::newRow("empty date (day 0)") << QVariant(QDate(1899, 12, 30)) << u"yyyy-MM-dd"_s << QString();
        QTest::newRow("date time") << QVariant(QDateTime(QDate(2024, 3, 5), QTime(9, 30))) << QString() << u"2024-03-05 09:30:00"_s;
        QTest::newRow("time") << QVariant(QTime(9, 5, 7)) << u"hh:mm"_s << u"09:05"_s;
        QTest::newRow("iso text as date") << QVariant(u"2024-03-05T09:30:00"_s) << u"yyyy-MM-dd"_s << u"2024-03-05"_s;
        QTest::newRow("null") << QVariant(QMetaType(QMetaType::Double)) << u"0.00"_s << QString();
    }
    void formats()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QCOMPARE(report::formatValue(value, format), expected);
    }

    // A group footer sums its own group; the summary sums everything.
    void groupFooterSumsItsGroup()
    {
        ReportTable sorted{{u"Kind"_s, u"CashMoney"_s}};
        sorted.addRow({u"x"_s, 20.0});
        sorted.addRow({u"x"_s, -85.5});
        sorted.addRow({u"y"_s, 30.0});
        ReportTemplate t;
        ReportBand gh{.kind = BandKind::GroupHeader, .name = u"GroupHeader1"_s, .height = 5, .condition = u"[F.\"Kind\"]"_s};
        gh.objects << ReportObject{.name = u"Head"_s, .rect = QRectF(0, 0, 40, 5), .text = u"组 [F.\"Kind\"]"_s};
        ReportBand md{.kind = BandKind::MasterData, .name = u"MasterData1"_s, .height = 5, .dataSet = u"F"_s};
        ReportBand gf{.kind = BandKind::GroupFooter, .name = u"GroupFooter1"_s, .height = 5};
        gf.objects << ReportObject{.name = u"Foot"_s, .rect = QRectF(0, 0, 40, 5),
                                   .text = u"[SUM(<F.\"CashMoney\">,MasterData1)]"_s, .format = u"0.00"_s};
        ReportBand sum{.kind = BandKind::ReportSummary, .name = u"Summary1"_s, .height = 5};
        sum.objects << ReportObject{.name = u"Total"_s, .rect = QRectF(0, 0, 40, 5),
                                    .text = u"[SUM(<F.\"CashMoney\">,MasterData1)]"_s, .format = u"0.00"_s};
        t.bands << gh << md << gf << sum;
        Report r;
        r.setDesign(t);
        r.bind(u"F"_s, &sorted);
        const LayoutPages pages = r.prepare();
        QCOMPARE(itemTexts(pages, u"Head"_s), (QStringList{u"组 x"_s, u"组 y"_s}));
        QCOMPARE(itemTexts(pages, u"Foot"_s), (QStringList{u"-65.50"_s, u"30.00"_s}));
        QCOMPARE(itemTexts(pages, u"Total"_s), QStringList{u"-35.50"_s});
    }

    // Label sheets: three labels to a line, lines break onto the next page.
    void labelColumns()
    {
        ReportTable labels{{u"Name"_s}};
        for (int i = 1; i <= 7; ++i)
            labels.addRow({u"L%1"_s.arg(i)});
        ReportTemplate t;
        t.page.paper = u"Custom"_s;
        t.page.customWidth = 100;
        t.page.customHeight = 50;
        t.page.left = t.page.right = t.page.top = t.page.bottom = 5;
        ReportBand md{.kind = BandKind::MasterData, .name = u"MasterData1"_s, .height = 18, .dataSet = u"L"_s, .columns = 3};
        md.objects << ReportObject{.name = u"Label"_s, .rect = QRectF(1, 1, 28, 16), .text = u"[L.\"Name\"]"_s};
        t.bands << md;
        Report r;
        r.setDesign(t);
        r.bind(u"L"_s, &labels);
        const LayoutPages pages = r.prepare();
        QCOMPARE(pages.size(), 2);  // two lines of 18 mm fit in 40 mm
        QList<QPointF> at;
        for (const LayoutPage &pg : pages)
            for (const LayoutItem &it : pg.items)
                at << it.rect.topLeft();
        QCOMPARE(at.size(), 7);
        QCOMPARE(at.at(0), QPointF(6, 6));
        QCOMPARE(at.at(2), QPointF(66, 6));
        QCOMPARE(at.at(3), QPointF(6, 24));
        QCOMPARE(at.at(6), QPointF(6, 6));  // the seventh starts page 2
    }

    // Walking a data set reads rows by index: the source's current row is untouched.
    void walkingKeepsCurrentRow()
    {
        QCOMPARE(render(u"[COUNT(MasterData1)]"_s, QString()), u"3"_s);
        QCOMPARE(lines.currentRow(), 0);
        QCOMPARE(cards.currentRow(), 1);
    }
};

QTEST_MAIN(TestReportExpression)
#include "tst_reportexpression.moc"
