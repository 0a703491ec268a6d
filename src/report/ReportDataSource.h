#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// What a report reads its rows from. The engine never talks to the database: the
// program adapts each of its data sets to this interface and binds it under an
// alias ("B", "A", "F", "m", "X").
//
// Contract:
// - rowCount() and value() are read by index; the engine walks 0..rowCount()-1 and
//   never moves the source's own current row, so a window showing the same data
//   keeps its position while a report runs.
// - value() looks a field up without regard to case and returns an invalid
//   QVariant for an unknown field or a row out of range.
// - currentRow() is the row a band reads when it is not the master band walking
//   this source (the receipt's member name comes from the current member). -1
//   when there is none; such reads give empty values.
// - fieldNames() lists the fields in their natural order (the designer's field list
//   and the check for unknown names use it).
class ReportDataSource
{
public:
    virtual ~ReportDataSource() = default;
    virtual int rowCount() const = 0;
    virtual QStringList fieldNames() const = 0;
    virtual QVariant value(int row, const QString &field) const = 0;
    virtual int currentRow() const = 0;

    bool hasField(const QString &field) const;
};

// An in-memory source: the program fills it where it has no data set of its own,
// tests use it as a fixture.
class ReportTable : public ReportDataSource
{
public:
    ReportTable() = default;
    explicit ReportTable(const QStringList &fields);

    void setFields(const QStringList &fields);
    // Appends a row; missing trailing values are empty, extra ones are dropped.
    void addRow(const QVariantList &values);
    void clearRows();
    void setValue(int row, const QString &field, const QVariant &value);
    void setCurrentRow(int row) { m_current = row; }

    int rowCount() const override { return int(m_rows.size()); }
    QStringList fieldNames() const override { return m_fields; }
    QVariant value(int row, const QString &field) const override;
    int currentRow() const override { return m_current; }

    int fieldIndex(const QString &field) const;

private:
    QStringList m_fields;
    QList<QVariantList> m_rows;
    int m_current = 0;
};
