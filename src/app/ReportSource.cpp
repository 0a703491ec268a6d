#include "ReportSource.h"

#include "core/Format.h"

QVariant DataSetReportSource::value(int row, const QString &field) const
{
    if (!m_ds)
        return {};
    const QVariant v = m_ds->value(row, field);
    // Empty dates (day 0) print as nothing, as the grids show them.
    if (v.typeId() == QMetaType::QDate && !fmt::isDateSet(v.toDate()))
        return QVariant();
    return v;
}
