#pragma once
#include "ReportDataSource.h"
#include "TableReport.h"

class QWidget;

// Prints a list through the preview: title, the given columns in the given order
// (the grid's visible columns in screen order), the footer texts (sums), either
// fitted to the page width or at the columns' own widths. rows is read by index
// from 0 to rowCount()-1; its current row is not moved.
int printTable(QWidget *parent, const QString &title, const QList<GridPrintColumn> &columns,
               const ReportDataSource &rows, bool fitToWidth);
