#pragma once
#include <QString>

class DataGrid;
class DataSet;
class QWidget;

// The grid operations every list window uses: columns from T_FieldShow, the
// operator's layout saved back, sort markers turned into a client sort, export
// to a spreadsheet and printing.

// Rebuilds the grid's columns from the shown rows of the configuration, by ShowID.
// False when a configured field is missing from the query or the database fails
// (the columns built before stay).
bool BuildGridColumns(DataGrid *grid, DataSet *ds, const QString &configName);
// Writes every shown column's position (0, 1, 2 … in screen order) and width back;
// announce 1 tells the operator.
bool SaveGridLayout(DataGrid *grid, const QString &configName, int announce);
// The sort text of the grid's markers: "  CardCode DESC , MemName".
QString GridSortText(const DataGrid *grid);
void ApplyGridSort(DataGrid *grid, DataSet *ds);
// File name as the operator typed it, made into a workbook name.
QString ExportFileName(const QString &typed);
bool ExportGridToExcel(DataSet *ds, DataGrid *grid, QWidget *parent = nullptr);
// Writes the workbook without asking anything; false with *error on failure.
bool WriteGridWorkbook(DataSet *ds, DataGrid *grid, const QString &fileName, QString *error = nullptr,
                       QWidget *progressParent = nullptr);
void PrintGrid(DataGrid *grid, const QString &title, bool fitToPageWidth, QWidget *parent = nullptr);
