#pragma once
#include "DataSet.h"

#include <QAbstractTableModel>
#include <functional>

// Shows a DataSet in a view. One model column per data-set field; the grid
// chooses, orders and formats the visible ones.
class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Role for the raw stored value (QVariant of the field's kind).
    static constexpr int ValueRole = Qt::UserRole + 1;
    using Formatter = std::function<QString(const QVariant &)>;

    explicit DataSetModel(DataSet *ds, QObject *parent = nullptr);

    DataSet *dataSet() const { return m_ds; }
    // Display text for one field (by name); the default shows numbers in short form and dates as yyyy-MM-dd.
    void setFormatter(const QString &field, Formatter f);
    void clearFormatters() { m_formatters.clear(); }
    // Text colour per row (for example red for expired cards).
    void setRowForeground(std::function<QVariant(int row)> f) { m_rowForeground = std::move(f); }
    void setHeaderCaption(const QString &field, const QString &caption);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;

    QString displayText(int row, int column) const;

private:
    DataSet *m_ds;
    QHash<QString, Formatter> m_formatters; // keys lower-case
    QHash<QString, QString> m_captions;
    std::function<QVariant(int)> m_rowForeground;
    bool m_resetting = false;
};
