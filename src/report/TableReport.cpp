#include "TableReport.h"

using namespace Qt::StringLiterals;

namespace report {

QString tableAlias() { return u"G"_s; }

ReportTemplate tableTemplate(const QString &title, const QList<GridPrintColumn> &columns, bool fitToWidth)
{
    constexpr double mmPerPx = 25.4 / 96.0;
    ReportTemplate t;
    t.name = title;
    t.page.paper = u"A4"_s;

    QList<double> widths;
    double total = 0;
    for (const GridPrintColumn &c : columns) {
        widths << std::max(1, c.widthPx) * mmPerPx;
        total += widths.last();
    }
    const double portraitWidth = 210.0 - t.page.left - t.page.right;
    t.page.landscape = !fitToWidth && total > portraitWidth;
    const double pageWidth = (t.page.landscape ? 297.0 : 210.0) - t.page.left - t.page.right;
    if (fitToWidth && total > 0)
        for (double &w : widths)
            w *= pageWidth / total;

    ReportBand titleBand{.kind = BandKind::ReportTitle, .name = u"ReportTitle1"_s, .height = 12};
    titleBand.objects << ReportObject{.kind = ObjectKind::Memo, .name = u"Memo_Title"_s,
                                      .rect = QRectF(0, 0, pageWidth, 10), .text = title,
                                      .fontSize = 14, .bold = true, .hAlign = Qt::AlignHCenter};
    ReportBand header{.kind = BandKind::PageHeader, .name = u"PageHeader1"_s, .height = 7};
    ReportBand data{.kind = BandKind::MasterData, .name = u"MasterData1"_s, .height = 6, .dataSet = tableAlias()};
    ReportBand summary{.kind = BandKind::ReportSummary, .name = u"ReportSummary1"_s, .height = 7};
    bool anySum = false;
    double x = 0;
    for (int i = 0; i < columns.size(); ++i) {
        const GridPrintColumn &c = columns.at(i);
        const QRectF cell(x, 0, widths.at(i), 6);
        const Qt::Alignment h = c.alignment & Qt::AlignHorizontal_Mask;
        header.objects << ReportObject{.kind = ObjectKind::Memo, .name = u"Memo_H%1"_s.arg(i + 1), .rect = cell.adjusted(0, 0, 0, 1),
                                       .text = c.caption, .bold = true, .hAlign = Qt::AlignHCenter,
                                       .frame = u"ltrb"_s, .fill = QColor(235, 235, 235)};
        QString field = c.field;
        field.replace(u'"', u'\'');
        data.objects << ReportObject{.kind = ObjectKind::Memo, .name = u"Memo_D%1"_s.arg(i + 1), .rect = cell,
                                     .text = u"[%1.\"%2\"]"_s.arg(tableAlias(), field),
                                     .hAlign = h ? h : Qt::AlignLeft, .format = c.format, .frame = u"ltrb"_s};
        summary.objects << ReportObject{.kind = ObjectKind::Memo, .name = u"Memo_S%1"_s.arg(i + 1), .rect = cell,
                                        .text = c.sumText, .bold = true, .hAlign = h ? h : Qt::AlignLeft,
                                        .frame = u"ltrb"_s};
        anySum = anySum || !c.sumText.isEmpty();
        x += widths.at(i);
    }
    ReportBand footer{.kind = BandKind::PageFooter, .name = u"PageFooter1"_s, .height = 8};
    footer.objects << ReportObject{.kind = ObjectKind::Memo, .name = u"Memo_PrintDate"_s, .rect = QRectF(0, 2, pageWidth / 2, 5),
                                   .text = u"打印日期: [Date]"_s, .fontSize = 8}
                   << ReportObject{.kind = ObjectKind::Memo, .name = u"Memo_Page"_s, .rect = QRectF(pageWidth / 2, 2, pageWidth / 2, 5),
                                   .text = u"第 [Page#] 页 / 共 [TotalPages#] 页"_s, .fontSize = 8, .hAlign = Qt::AlignRight};
    t.bands << titleBand << header << data;
    if (anySum)
        t.bands << summary;
    t.bands << footer;
    return t;
}

} // namespace report
