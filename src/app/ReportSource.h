#pragma once
#include "data/DataSet.h"
#include "report/ReportDataSource.h"

// Lets a report read one of the program's data sets by row index; the data
// set's own current row (the one the window shows) is what non-master bands read.
class DataSetReportSource : public ReportDataSource
{
public:
    explicit DataSetReportSource(const DataSet *ds = nullptr) : m_ds(ds) {}
    void setDataSet(const DataSet *ds) { m_ds = ds; }
    const DataSet *dataSet() const { return m_ds; }

    int rowCount() const override { return m_ds ? m_ds->rowCount() : 0; }
    QStringList fieldNames() const override { return m_ds ? m_ds->fieldNames() : QStringList(); }
    QVariant value(int row, const QString &field) const override;
    int currentRow() const override { return m_ds ? m_ds->currentRow() : -1; }

private:
    const DataSet *m_ds;
};
