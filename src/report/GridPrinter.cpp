#include "GridPrinter.h"
#include "Report.h"
#include "ReportPreview.h"

int printTable(QWidget *parent, const QString &title, const QList<GridPrintColumn> &columns,
               const ReportDataSource &rows, bool fitToWidth)
{
    Report r(title);
    r.setDesign(report::tableTemplate(title, columns, fitToWidth));
    r.bind(report::tableAlias(), &rows);
    return ReportPreview::showReport(parent, r);
}
