#include "DataSetModel.h"

#include "core/Format.h"

#include <QDate>
#include <QDateTime>

using namespace Qt::StringLiterals;

DataSetModel::DataSetModel(DataSet *ds, QObject *parent) : QAbstractTableModel(parent), m_ds(ds)
{
    connect(ds, &DataSet::layoutAboutToChange, this, [this] {
        if (!m_resetting) {
            m_resetting = true;
            beginResetModel();
        }
    });
    connect(ds, &DataSet::layoutChanged, this, [this] {
        if (m_resetting) {
            m_resetting = false;
            endResetModel();
        }
    });
    // Rows are added and removed by the data set itself; the model just reports them.
    connect(ds, &DataSet::rowAboutToBeInserted, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(ds, &DataSet::rowInserted, this, [this] { endInsertRows(); });
    connect(ds, &DataSet::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(ds, &DataSet::rowRemoved, this, [this] { endRemoveRows(); });
    connect(ds, &DataSet::rowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1)));
    });
}

void DataSetModel::setFormatter(const QString &field, Formatter f) { m_formatters.insert(field.toLower(), std::move(f)); }

void DataSetModel::setHeaderCaption(const QString &field, const QString &caption)
{
    m_captions.insert(field.toLower(), caption);
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_resetting ? 0 : m_ds->rowCount();
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_resetting ? 0 : m_ds->fieldCount();
}

QString DataSetModel::displayText(int row, int column) const
{
    const auto it = m_formatters.constFind(m_ds->field(column).name.toLower());
    if (it != m_formatters.cend())
        return (*it)(m_ds->value(row, column));
    // An empty issue or expiry date (day 0) shows as nothing; the rest as the data set writes it.
    const DataSet::FieldKind kind = m_ds->field(column).kind;
    if (kind == DataSet::FieldKind::Date && !fmt::isDateSet(m_ds->value(row, column)))
        return {};
    return m_ds->text(row, column);
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_ds->rowCount() || index.column() >= m_ds->fieldCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::EditRole:
    case ValueRole:
        return m_ds->value(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        const auto k = m_ds->field(index.column()).kind;
        if (k == DataSet::FieldKind::Float || k == DataSet::FieldKind::Money || k == DataSet::FieldKind::Integer)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    case Qt::ForegroundRole:
        return m_rowForeground ? m_rowForeground(index.row()) : QVariant();
    default:
        return {};
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= m_ds->fieldCount())
        return {};
    const QString name = m_ds->field(section).name;
    return m_captions.value(name.toLower(), name);
}
