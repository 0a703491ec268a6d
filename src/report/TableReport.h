#pragma once
#include "ReportTemplate.h"

#include <QList>
#include <QString>

// A list printed as a table: what a DataGrid's print button makes of its visible
// columns. Built in code, not loaded from a file.
struct GridPrintColumn
{
    QString caption;
    QString field;               // field of the data source bound as tableAlias()
    int widthPx = 80;            // the grid's column width on screen
    Qt::Alignment alignment = Qt::AlignLeft;
    QString sumText;             // footer text under the column ("合计: 123.00"), may be empty
    QString format;              // display format of the cells ("0.00"), may be empty
};

namespace report {

QString tableAlias();            // "G"

// Title on the first page, column captions on every page, one row per record,
// the footer texts after the last row, print date and page numbers at the foot.
// fitToWidth stretches or shrinks the columns to the page width; otherwise they
// keep the grid's widths (at 96 pixels per inch) and a table wider than a
// portrait page turns the page to landscape.
ReportTemplate tableTemplate(const QString &title, const QList<GridPrintColumn> &columns, bool fitToWidth);

} // namespace report
