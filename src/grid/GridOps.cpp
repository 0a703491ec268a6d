#include "GridOps.h"

#include "DataGrid.h"
#include "app/Prompt.h"
#include "app/U_data.h"
#include "core/Format.h"
#include "core/Money.h"
#include "data/DataSet.h"
#include "sheet/SheetWriter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProgressDialog>
#include <QUrl>

#if __has_include("report/GridPrinter.h") && __has_include("report/TableReport.h")
#include "report/GridPrinter.h"
#include "report/TableReport.h"
#define ORVALIS_HAVE_GRID_PRINTER 1
#endif

using namespace Qt::StringLiterals;

#ifdef ORVALIS_HAVE_GRID_PRINTER
namespace {
// The grid's rows as the printer reads them: the texts as shown, in the grid's order.
class GridRows : public ReportDataSource
{
public:
    GridRows(const DataGrid *grid, const QStringList &fields) : m_grid(grid), m_fields(fields) {}
    int rowCount() const override { return m_grid->dataSet()->rowCount(); }
    QStringList fieldNames() const override { return m_fields; }
    QVariant value(int row, const QString &field) const override
    {
        if (row < 0 || row >= rowCount() || !m_grid->dataSet()->hasField(field))
            return {};
        return m_grid->displayText(row, field);
    }
    int currentRow() const override { return m_grid->dataSet()->currentRow(); }

private:
    const DataGrid *m_grid;
    QStringList m_fields;
};
} // namespace
#endif

bool BuildGridColumns(DataGrid *grid, DataSet *ds, const QString &configName)
{
    if (!grid)
        return false;
    if (ds && grid->dataSet() != ds)
        grid->setDataSet(ds);
    grid->clearColumns();
    TFrm_Data *data = Frm_Data();
    DataSet *q = data->Qry_FieldShow;
    if (!data->OpenSQL(q, u"select * from T_FieldShow where Show=1 and TableName=:t order by ShowID"_s,
                       SqlParams{{u":t"_s, configName}}))
        return false;
    QList<DataGrid::Column> cols;
    bool ok = true;
    for (int r = 0; r < q->rowCount(); ++r) {
        DataGrid::Column c;
        c.field = q->value(r, u"Field"_s).toString().trimmed();
        c.caption = q->value(r, u"Name"_s).toString();
        c.width = q->value(r, u"Width"_s).toInt();
        if (c.width <= 0)
            c.width = 80;
        c.sum = q->value(r, u"SumField"_s).toInt() == 1;
        c.button = q->value(r, u"ShowButton"_s).toInt() == 1;
        c.dotsize = q->value(r, u"dotsize"_s).toInt();
        // A configured column the query lacks stops the build; the ones before it stay.
        if (ds && ds->isOpen() && !ds->hasField(c.field)) {
            Prompt::error(grid, u"错误"_s, u"Field '%1' not found"_s.arg(c.field));
            ok = false;
            break;
        }
        cols << c;
    }
    grid->setColumns(cols);
    return ok;
}

bool SaveGridLayout(DataGrid *grid, const QString &configName, int announce)
{
    if (!grid)
        return false;
    const QList<DataGrid::Column> cols = grid->columns();
    if (cols.isEmpty())
        return true;
    Database &db = Frm_Data()->ADOConnection1;
    Transaction tr(db);
    for (int i = 0; i < cols.size(); ++i) {
        QString error;
        if (!db.exec(u"update T_FieldShow set ShowID=:id, Width=:w where TableName=:t and Field=:f"_s,
                     SqlParams{{u":id"_s, i}, {u":w"_s, cols[i].width}, {u":t"_s, configName}, {u":f"_s, cols[i].field}},
                     &error)) {
            Prompt::databaseError(grid, error);
            return false;
        }
    }
    if (!tr.commit()) {
        Prompt::databaseError(grid, db.lastError());
        return false;
    }
    if (announce == 1)
        Prompt::show(grid, QApplication::applicationDisplayName(), u"表格列属性已成功保存!"_s, Prompt::Icon::Question);
    return true;
}

QString GridSortText(const DataGrid *grid)
{
    // Real field names, in marking order; names containing digits sort like any other.
    QString text;
    for (const auto &m : grid->sortMarkers())
        text += m.first + (m.second == Qt::DescendingOrder ? u" DESC , "_s : u", "_s);
    if (text.isEmpty())
        return text;
    text.chop(2);
    return u"  "_s + text;
}

void ApplyGridSort(DataGrid *grid, DataSet *ds)
{
    if (!grid || !ds || !ds->isOpen())
        return;
    ds->setSortText(GridSortText(grid));
}

QString ExportFileName(const QString &typed)
{
    // The file is an .xlsx workbook whatever the operator typed, so its name says so:
    // "a.xls" or "a.XLS" becomes "a.xlsx", any other name gets ".xlsx" appended.
    QString name = typed.trimmed();
    if (name.isEmpty())
        return name;
    if (name.endsWith(u".xlsx"_s, Qt::CaseInsensitive))
        return name;
    if (name.endsWith(u".xls"_s, Qt::CaseInsensitive))
        return name.left(name.size() - 4) + u".xlsx"_s;
    return name + u".xlsx"_s;
}

bool WriteGridWorkbook(DataSet *ds, DataGrid *grid, const QString &fileName, QString *error, QWidget *progressParent)
{
    const QList<DataGrid::Column> cols = grid->columns();
    SheetWriter w;
    if (!w.open(fileName, u"Sheet1"_s, ds->rowCount() > 50000)) {
        if (error)
            *error = w.error();
        return false;
    }
    struct Out { int index; DataSet::FieldKind kind; int decimals; };
    QList<Out> outs;
    for (int c = 0; c < cols.size(); ++c) {
        w.writeText(0, c, cols[c].caption, true);
        w.setColumnWidth(c, std::max(4.0, cols[c].width / 7.0));
        const int idx = ds->fieldIndex(cols[c].field);
        outs << Out{idx, idx >= 0 ? ds->field(idx).kind : DataSet::FieldKind::Text, grid->columnDecimals(cols[c].field)};
    }
    const int rows = ds->rowCount();
    std::unique_ptr<QProgressDialog> progress;
    if (rows > 2000) {
        progress = std::make_unique<QProgressDialog>(u"正在导出..."_s, QString(), 0, rows, progressParent);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
    }
    for (int r = 0; r < rows; ++r) {
        if (progress && r % 500 == 0) {
            progress->setValue(r);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        for (int c = 0; c < outs.size(); ++c) {
            const Out &o = outs[c];
            if (o.index < 0 || ds->isNull(r, o.index))
                continue;
            const QVariant v = ds->value(r, o.index);
            switch (o.kind) {
            case DataSet::FieldKind::Integer:
            case DataSet::FieldKind::Float:
            case DataSet::FieldKind::Money:
                w.writeNumber(r + 1, c, v.toDouble(), o.decimals);
                break;
            case DataSet::FieldKind::Date: {
                const QDate dt = fmt::toDate(v);
                if (fmt::isDateSet(dt))
                    w.writeDate(r + 1, c, dt);
                break;
            }
            case DataSet::FieldKind::DateTime: {
                const QDateTime dt = fmt::toDateTime(v);
                if (!fmt::isDateSet(dt.date()))
                    break;
                if (dt.time() == QTime(0, 0))
                    w.writeDate(r + 1, c, dt.date());
                else
                    w.writeDateTime(r + 1, c, dt);
                break;
            }
            default:
                w.writeText(r + 1, c, v.toString());
            }
        }
    }
    if (grid->footerVisible()) {
        for (int c = 0; c < cols.size(); ++c) {
            if (!cols[c].sum)
                continue;
            const QString text = grid->footerText(cols[c].field);
            double value = 0;
            if (fmt::parseNumber(text, &value))
                w.writeNumber(rows + 1, c, value, outs[c].decimals, true);
            else if (!text.isEmpty())
                w.writeText(rows + 1, c, text, true);
        }
    }
    if (progress)
        progress->setValue(rows);
    if (!w.close()) {
        if (error)
            *error = w.error();
        return false;
    }
    return true;
}

bool ExportGridToExcel(DataSet *ds, DataGrid *grid, QWidget *parent)
{
    if (!parent)
        parent = grid;
    if (!ds || !ds->isOpen()) {
        Prompt::plain(parent, u"数据没有显示不能导出成Excel文件!"_s);
        return false;
    }
    if (ds->rowCount() == 0) {
        Prompt::plain(parent, u"没有数据,不能导出成Excel文件!"_s);
        return false;
    }
    const QString typed = Prompt::saveFileName(parent, QString(), QString(), u"EXCEL文件(*.xlsx)"_s);
    const QString fileName = ExportFileName(typed);
    if (fileName.isEmpty())
        return false;
    QString error;
    if (!WriteGridWorkbook(ds, grid, fileName, &error, parent)) {
        Prompt::error(parent, u"错误"_s, u"文件"_s + fileName + u"无法写入: "_s + error);
        return false;
    }
    if (Prompt::show(parent, QApplication::applicationDisplayName(), u"文件"_s + fileName + u"已建立，是否打开文件？"_s,
                     Prompt::Icon::Information, QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
    return true;
}

void PrintGrid(DataGrid *grid, const QString &title, bool fitToPageWidth, QWidget *parent)
{
    if (!parent)
        parent = grid;
#ifdef ORVALIS_HAVE_GRID_PRINTER
    DataSet *ds = grid->dataSet();
    if (!ds || !ds->isOpen())
        return;
    QList<GridPrintColumn> cols;
    QStringList fields;
    for (const DataGrid::Column &c : grid->columns()) {
        GridPrintColumn p;
        p.caption = c.caption;
        p.field = c.field;
        p.widthPx = c.width;
        const int idx = ds->fieldIndex(c.field);
        const auto kind = idx >= 0 ? ds->field(idx).kind : DataSet::FieldKind::Text;
        if (kind == DataSet::FieldKind::Integer || kind == DataSet::FieldKind::Float || kind == DataSet::FieldKind::Money)
            p.alignment = Qt::AlignRight;
        p.sumText = c.sum ? grid->footerText(c.field) : QString();
        cols << p;
        fields << c.field;
    }
    GridRows rows(grid, fields);
    printTable(parent, title, cols, rows, fitToPageWidth);
#else
    Q_UNUSED(title);
    Q_UNUSED(fitToPageWidth);
    Prompt::information(parent, u"提示"_s, u"打印功能暂不可用。"_s);
#endif
}
