#pragma once
#include <QColor>
#include <QList>
#include <QPair>
#include <QString>
#include <QWidget>
#include <functional>

class DataSet;
class DataSetModel;
class QTableView;
class QHeaderView;
class DataGridHeader;
class DataGridFooter;

// A grid over a DataSet whose columns are chosen, ordered and formatted by the
// caller (usually BuildGridColumns from T_FieldShow): a QTableView over a
// DataSetModel, title buttons with sort markers, a footer row of sums and
// ellipsis buttons. Rows are never widgets, so 100 000 rows scroll freely.
class DataGrid : public QWidget
{
    Q_OBJECT
public:
    struct Column
    {
        QString field;
        QString caption;
        int width = 80;
        bool sum = false;
        bool button = false;
        int dotsize = 0;
    };

    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setDataSet(DataSet *ds); // selection follows the data set's current row and back
    DataSet *dataSet() const;
    QTableView *view() const; // object name "<grid name>_view"
    DataSetModel *model() const;

    void setColumns(const QList<Column> &cols);
    void clearColumns();
    QList<Column> columns() const; // shown columns in screen order with current widths
    int columnCount() const;

    void setFooterVisible(bool on); // on automatically when any column has sum
    bool footerVisible() const;
    QString footerText(const QString &field) const; // formatted sum, empty when none
    void refreshFooter();

    QList<QPair<QString, Qt::SortOrder>> sortMarkers() const; // in marking order
    void setSortMarkers(const QList<QPair<QString, Qt::SortOrder>> &m);
    // What a click on a title does: without Ctrl the column becomes the only
    // marker (or reverses when it already is); with Ctrl it is added or reversed.
    void clickTitle(const QString &field, bool addToSort);

    void setMultiSelect(bool on);
    QList<int> selectedRows() const; // data-set rows, ascending; the current row when nothing else
    void setRowColor(std::function<QColor(int row)> fn);
    QString displayText(int row, const QString &field) const; // as shown (number formats applied)
    void setReadOnly(bool on);
    bool isReadOnly() const;

    // Decimals a column shows; -1 when it carries no number format.
    int columnDecimals(const QString &field) const;

signals:
    void sortMarkingChanged();
    void ellipsisClicked(const QString &field, int row);
    void rowDoubleClicked(int row);
    void currentRowChanged(int row);

private:
    friend class DataGridHeader;
    friend class DataGridFooter;
    friend class EllipsisDelegate;
    void applyColumns();
    void syncFromDataSet();
    void syncToDataSet();
    void updateFooterGeometry();
    int sectionOf(const QString &field) const; // logical model column, -1 when absent
    const Column *columnFor(int logical) const;
    QString format(const Column &c, const QVariant &v) const;

    struct Private;
    Private *d;
};
