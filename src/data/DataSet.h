#pragma once
#include "Database.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <string>
#include <vector>

// A query result with a current row, the way the windows use it: open a
// statement, walk or select rows, edit through to the base table, keep edits
// local until applyUpdates(), sort on the client, follow a master, compute
// calculated fields.
//
// Rows are stored compactly: every cell of every row is UTF-8 text in one arena
// with offsets, converted to a QVariant only when it is read. A member list of
// 100 000 rows thus costs a few tens of megabytes instead of hundreds.
class DataSet : public QObject
{
    Q_OBJECT
public:
    enum class FieldKind { Text, Integer, Float, Money, Date, DateTime };
    enum class State { Inactive, Browse, Insert, Edit };
    using Calculation = std::function<QVariant(const DataSet &, int row)>;

    struct Field
    {
        QString name;
        FieldKind kind = FieldKind::Text;
        bool calculated = false;
    };

    explicit DataSet(Database *db = nullptr, QObject *parent = nullptr);
    ~DataSet() override;

    void setDatabase(Database *db) { m_db = db; }
    Database *database() const { return m_db; }

    // Base table and key column for generated insert, update and delete
    // statements. Without a table, a "select … from X" statement names it.
    void setTable(const QString &table, const QString &keyField = {});
    QString table() const;
    QString keyField() const { return m_key; }

    bool open(const QString &sql, const SqlParams &params = {});
    bool open(const QString &sql, const SqlArgs &args);
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    // Runs the statement again and keeps the current row by its key.
    bool refresh();
    QString sql() const { return m_sql; }
    QString lastError() const { return m_error; }

    // ---- fields ----
    int fieldCount() const { return int(m_fields.size()); }
    const Field &field(int i) const { return m_fields[size_t(i)]; }
    int fieldIndex(const QString &name) const; // without regard to case; -1 when absent
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    QStringList fieldNames() const;
    void addCalculatedField(const QString &name, FieldKind kind, Calculation calc);
    void setCalculation(const QString &name, Calculation calc);

    // ---- rows ----
    int rowCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    int currentRow() const { return m_current; }
    bool moveTo(int row);
    bool first() { return moveTo(0); }
    bool last() { return moveTo(rowCount() - 1); }
    bool next();
    bool prior();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }

    QVariant value(int row, int column) const;
    QVariant value(int row, const QString &name) const;
    QVariant value(const QString &name) const; // current row (or the edit buffer)
    QString text(int row, int column) const;
    QString text(const QString &name) const;
    double number(const QString &name) const;
    Money money(const QString &name) const;
    Money money(int row, const QString &name) const;
    bool isNull(int row, int column) const;
    // Finds the first row whose field equals the value (text compared without case); -1 when none.
    int find(const QString &name, const QVariant &value) const;
    bool locate(const QString &name, const QVariant &value);

    // ---- editing ----
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Insert || m_state == State::Edit; }
    void append();
    bool edit();
    void setValue(const QString &name, const QVariant &value);
    bool post();
    void cancel();
    bool remove();

    // Cached updates: posted inserts and edits and removals stay in memory until applyUpdates().
    void setCachedUpdates(bool on);
    bool cachedUpdates() const { return m_cached; }
    bool hasPendingUpdates() const;
    bool applyUpdates();
    void cancelUpdates();

    // ---- client sort ----
    // "CardCode DESC, MemName"; an empty text restores the load order.
    bool setSortText(const QString &sortText);
    QString sortText() const { return m_sortText; }

    // ---- master-detail ----
    // The statement's named parameters are filled from the master's current row
    // (column of the same name) and the statement runs again whenever the master moves.
    void setMaster(DataSet *master);
    DataSet *master() const { return m_master; }

    // Stops afterScroll and row signals while a window walks the rows.
    void disableControls() { ++m_controlsDisabled; }
    void enableControls();

signals:
    void afterOpen();
    void afterClose();
    void afterScroll();
    void layoutAboutToChange();
    void layoutChanged();       // open, close, sort, refresh: everything may have changed
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void afterPost();

private:
    enum RowStatus : quint8 { Clean = 0, Inserted = 1, Modified = 2 };
    struct RowRef
    {
        quint32 base;   // index into m_offs of the row's first offset
        quint32 seq;    // load order
        quint8 status;  // RowStatus
    };

    bool runOpen(const QString &sql, const SqlParams *named, const SqlArgs *args);
    bool fetchSqlite(const QString &sql, const SqlParams *named, const SqlArgs *args);
    bool fetchGeneric(const QString &sql, const SqlParams *named, const SqlArgs *args);
    void appendRowTexts(const std::vector<QByteArray> &cells, const std::vector<bool> &nulls);
    quint32 storeRow(const QVariantList &values);
    QVariant fromText(int column, const char *data, int len) const;
    QByteArray toStoredText(int column, const QVariant &v) const;
    QVariantList rowValues(int row) const;
    bool tableColumns(QStringList *cols);
    bool writeInsert(QVariantList &values, QString *error);
    bool writeUpdate(const QVariantList &oldValues, QVariantList &values, const std::vector<bool> &changed, QString *error);
    bool writeDelete(const QVariant &key, QString *error);
    int realFieldCount() const { return m_realFields; }
    void setCurrent(int row, bool force = false);
    void emitScroll();
    void masterScrolled();
    void resetStore();
    void applySort();

    Database *m_db = nullptr;
    QString m_table;
    QString m_key;
    QString m_sql;
    SqlParams m_named;
    SqlArgs m_args;
    bool m_usesNamed = true;
    QString m_error;
    State m_state = State::Inactive;

    std::vector<Field> m_fields;
    int m_realFields = 0;
    std::vector<Calculation> m_calcs; // per calculated field (index - m_realFields)
    struct PendingCalc { QString name; FieldKind kind; Calculation calc; };
    std::vector<PendingCalc> m_calcDefs;

    std::string m_arena;
    std::vector<quint32> m_offs; // per row: realFields+1 offsets; top bit of entry i+1 marks cell i NULL
    std::vector<RowRef> m_rows;
    quint32 m_nextSeq = 0;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;

    // edit buffer
    QVariantList m_buffer;
    std::vector<bool> m_changed;
    int m_editRow = -1;

    bool m_cached = false;
    QVariantList m_pendingDeletes; // keys removed while cached

    QString m_sortText;
    DataSet *m_master = nullptr;
    QStringList m_tableCols;
    int m_controlsDisabled = 0;
};
