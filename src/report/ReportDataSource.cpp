#include "ReportDataSource.h"

bool ReportDataSource::hasField(const QString &field) const
{
    for (const QString &f : fieldNames())
        if (f.compare(field, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

ReportTable::ReportTable(const QStringList &fields) : m_fields(fields) {}

void ReportTable::setFields(const QStringList &fields)
{
    m_fields = fields;
    m_rows.clear();
}

void ReportTable::addRow(const QVariantList &values)
{
    QVariantList row = values.mid(0, m_fields.size());
    while (row.size() < m_fields.size())
        row.append(QVariant());
    m_rows.append(row);
}

void ReportTable::clearRows() { m_rows.clear(); }

int ReportTable::fieldIndex(const QString &field) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void ReportTable::setValue(int row, const QString &field, const QVariant &value)
{
    const int c = fieldIndex(field);
    if (row >= 0 && row < m_rows.size() && c >= 0)
        m_rows[row][c] = value;
}

QVariant ReportTable::value(int row, const QString &field) const
{
    const int c = fieldIndex(field);
    if (row < 0 || row >= m_rows.size() || c < 0)
        return {};
    return m_rows.at(row).at(c);
}
