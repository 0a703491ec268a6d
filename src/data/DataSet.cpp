#include "DataSet.h"

#include "core/Format.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <algorithm>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 NullBit = 0x80000000u;

// Growing by doubling copies a large result several times over and costs more
// than reading it. Once a result is clearly large, reserve generously: untouched
// reserved pages cost address space, not memory.
template <class Buffer>
inline void makeRoom(Buffer &b, size_t extra, size_t largeStep)
{
    const size_t need = b.size() + extra;
    if (need <= b.capacity())
        return;
    size_t cap = std::max(need, b.capacity() * 2);
    if (b.size() >= largeStep / 64)
        cap = std::max(cap, largeStep);
    b.reserve(cap);
}

DataSet::FieldKind kindFromDecl(const char *decl)
{
    using K = DataSet::FieldKind;
    if (!decl)
        return K::Text;
    const QByteArray d = QByteArray(decl).toUpper();
    if (d.contains("INT"))
        return K::Integer;
    if (d.contains("CHAR") || d.contains("TEXT") || d.contains("CLOB"))
        return K::Text;
    if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB"))
        return K::Float;
    if (d.contains("NUMERIC") || d.contains("DECIMAL") || d.contains("MONEY"))
        return K::Money;
    if (d.contains("DATETIME") || d.contains("TIMESTAMP"))
        return K::DateTime;
    if (d.contains("DATE"))
        return K::Date;
    return K::Text;
}

DataSet::FieldKind kindFromPg(const QSqlField &f)
{
    using K = DataSet::FieldKind;
    switch (f.typeID()) {
    case 16: case 20: case 21: case 23: case 26:
        return K::Integer;
    case 700: case 701:
        return K::Float;
    case 1700: case 790:
        return K::Money;
    case 1082:
        return K::Date;
    case 1114: case 1184:
        return K::DateTime;
    default:
        break;
    }
    switch (f.metaType().id()) {
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::Bool:
        return K::Integer;
    case QMetaType::Double:
        return K::Float;
    case QMetaType::QDate:
        return K::Date;
    case QMetaType::QDateTime:
        return K::DateTime;
    default:
        return K::Text;
    }
}

QStringList namedParameters(const QString &sql)
{
    static const QRegularExpression re(u"(?<![:\\w]):([A-Za-z_]\\w*)"_s);
    QStringList names;
    auto it = re.globalMatch(sql);
    while (it.hasNext()) {
        const QString n = it.next().captured(1);
        if (!names.contains(n, Qt::CaseInsensitive))
            names << n;
    }
    return names;
}

QVariant lookupParam(const SqlParams &params, const QString &name)
{
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        QString k = it.key();
        if (k.startsWith(u':'))
            k.remove(0, 1);
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return QVariant();
}

} // namespace

DataSet::DataSet(Database *db, QObject *parent) : QObject(parent), m_db(db) {}

DataSet::~DataSet() = default;

void DataSet::setTable(const QString &table, const QString &keyField)
{
    m_table = table;
    m_key = keyField;
    m_tableCols.clear();
}

QString DataSet::table() const
{
    if (!m_table.isEmpty())
        return m_table;
    static const QRegularExpression re(u"\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"_s,
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(m_sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

// ---------------------------------------------------------------- open / close

bool DataSet::open(const QString &sql, const SqlParams &params)
{
    m_usesNamed = true;
    m_named = params;
    m_args.clear();
    return runOpen(sql, &m_named, nullptr);
}

bool DataSet::open(const QString &sql, const SqlArgs &args)
{
    m_usesNamed = false;
    m_args = args;
    m_named.clear();
    return runOpen(sql, nullptr, &m_args);
}

void DataSet::resetStore()
{
    m_arena.clear();
    m_arena.shrink_to_fit();
    m_offs.clear();
    m_offs.shrink_to_fit();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_nextSeq = 0;
    m_current = -1;
    m_eof = m_bof = true;
    m_buffer.clear();
    m_changed.clear();
    m_editRow = -1;
    m_pendingDeletes.clear();
}

bool DataSet::runOpen(const QString &sql, const SqlParams *named, const SqlArgs *args)
{
    emit layoutAboutToChange();
    const bool wasOpen = isOpen();
    resetStore();
    m_state = State::Inactive;
    m_sql = sql;
    m_error.clear();
    if (m_table.isEmpty())
        m_tableCols.clear();

    // A detail takes its parameters from the master's current row.
    SqlParams filled;
    if (named) {
        filled = *named;
        if (m_master) {
            for (const QString &p : namedParameters(sql)) {
                if (!lookupParam(filled, p).isValid())
                    filled.insert(p, m_master->isOpen() && m_master->currentRow() >= 0
                                         ? m_master->value(p) : QVariant(QMetaType::fromType<QString>()));
            }
        }
        named = &filled;
    }

    bool ok = false;
    if (!m_db || !m_db->isOpen()) {
        m_error = u"数据库没有连接"_s;
    } else if (m_db->isSQLite()) {
        ok = fetchSqlite(sql, named, args);
    } else {
        ok = fetchGeneric(sql, named, args);
    }
    if (!ok) {
        m_fields.clear();
        m_realFields = 0;
        emit layoutChanged();
        if (wasOpen)
            emit afterClose();
        return false;
    }
    // Calculated fields follow the stored ones.
    for (const PendingCalc &c : m_calcDefs) {
        m_fields.push_back({c.name, c.kind, true});
        m_calcs.push_back(c.calc);
    }
    m_state = State::Browse;
    if (!m_sortText.isEmpty())
        applySort();
    if (!m_rows.empty()) {
        m_current = 0;
        m_eof = false;
        m_bof = true;
    }
    emit layoutChanged();
    emit afterOpen();
    emitScroll();
    return true;
}

bool DataSet::fetchSqlite(const QString &sql, const SqlParams *named, const SqlArgs *args)
{
    const QVariant hv = m_db->handle().driver()->handle();
    sqlite3 *h = nullptr;
    if (hv.isValid() && qstrcmp(hv.typeName(), "sqlite3*") == 0)
        h = *static_cast<sqlite3 *const *>(hv.constData());
    if (!h)
        return fetchGeneric(sql, named, args);

    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(st);
        return false;
    }
    const int np = sqlite3_bind_parameter_count(st);
    std::vector<QByteArray> keep; // bound texts must outlive the statement's steps
    keep.reserve(size_t(np));
    for (int i = 1; i <= np; ++i) {
        QVariant v;
        if (named) {
            const char *pn = sqlite3_bind_parameter_name(st, i);
            v = pn ? lookupParam(*named, QString::fromUtf8(pn + 1)) : QVariant();
        } else if (args && i - 1 < args->size()) {
            v = args->at(i - 1);
        }
        v = m_db->toSql(v);
        if (!v.isValid() || v.isNull()) {
            sqlite3_bind_null(st, i);
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Int: case QMetaType::LongLong: case QMetaType::UInt: case QMetaType::Bool:
            sqlite3_bind_int64(st, i, v.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(st, i, v.toDouble());
            break;
        default:
            keep.push_back(v.toString().toUtf8());
            sqlite3_bind_text(st, i, keep.back().constData(), int(keep.back().size()), SQLITE_STATIC);
        }
    }

    const int nc = sqlite3_column_count(st);
    m_fields.clear();
    m_calcs.clear();
    std::vector<bool> declared(size_t(nc), false);
    for (int c = 0; c < nc; ++c) {
        const char *decl = sqlite3_column_decltype(st, c);
        m_fields.push_back({QString::fromUtf8(sqlite3_column_name(st, c)), kindFromDecl(decl), false});
        declared[size_t(c)] = decl != nullptr;
    }
    m_realFields = nc;

    int rc;
    bool firstRow = true;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (firstRow) {
            // Expression columns of views carry no declared type: take the first value's.
            for (int c = 0; c < nc; ++c) {
                if (declared[size_t(c)])
                    continue;
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER: m_fields[size_t(c)].kind = FieldKind::Integer; break;
                case SQLITE_FLOAT: m_fields[size_t(c)].kind = FieldKind::Float; break;
                default: break;
                }
            }
            firstRow = false;
        }
        const quint32 base = quint32(m_offs.size());
        makeRoom(m_offs, size_t(nc) + 1, size_t(16) << 20);
        m_offs.push_back(quint32(m_arena.size()));
        for (int c = 0; c < nc; ++c) {
            const unsigned char *p = sqlite3_column_text(st, c);
            if (!p) {
                m_offs.push_back(quint32(m_arena.size()) | NullBit);
                continue;
            }
            const int n = sqlite3_column_bytes(st, c);
            makeRoom(m_arena, size_t(n), size_t(64) << 20);
            m_arena.append(reinterpret_cast<const char *>(p), size_t(n));
            m_offs.push_back(quint32(m_arena.size()));
        }
        m_rows.push_back({base, m_nextSeq++, Clean});
    }
    if (rc != SQLITE_DONE) {
        m_error = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(st);
        return false;
    }
    sqlite3_finalize(st);
    return true;
}

bool DataSet::fetchGeneric(const QString &sql, const SqlParams *named, const SqlArgs *args)
{
    QSqlQuery q;
    const bool ok = named ? m_db->query(q, sql, *named, &m_error) : m_db->query(q, sql, *args, &m_error);
    if (!ok)
        return false;
    const QSqlRecord rec = q.record();
    const int nc = rec.count();
    m_fields.clear();
    m_calcs.clear();
    for (int c = 0; c < nc; ++c)
        m_fields.push_back({rec.fieldName(c), kindFromPg(rec.field(c)), false});
    m_realFields = nc;
    while (q.next()) {
        const quint32 base = quint32(m_offs.size());
        m_offs.push_back(quint32(m_arena.size()));
        for (int c = 0; c < nc; ++c) {
            const QVariant v = q.value(c);
            if (v.isNull()) {
                m_offs.push_back(quint32(m_arena.size()) | NullBit);
                continue;
            }
            const QByteArray t = toStoredText(c, v);
            m_arena.append(t.constData(), size_t(t.size()));
            m_offs.push_back(quint32(m_arena.size()));
        }
        m_rows.push_back({base, m_nextSeq++, Clean});
    }
    return true;
}

void DataSet::close()
{
    if (!isOpen())
        return;
    emit layoutAboutToChange();
    resetStore();
    m_fields.clear();
    m_calcs.clear();
    m_realFields = 0;
    m_state = State::Inactive;
    emit layoutChanged();
    emit afterClose();
    emitScroll();
}

bool DataSet::refresh()
{
    if (m_sql.isEmpty())
        return false;
    QVariant key;
    const int ki = m_key.isEmpty() ? -1 : fieldIndex(m_key);
    if (ki >= 0 && m_current >= 0)
        key = value(m_current, ki);
    const int oldRow = m_current;
    disableControls();
    const bool ok = m_usesNamed ? runOpen(m_sql, &m_named, nullptr) : runOpen(m_sql, nullptr, &m_args);
    if (ok) {
        int row = key.isValid() ? find(m_key, key) : -1;
        if (row < 0 && oldRow >= 0)
            row = std::min(oldRow, rowCount() - 1);
        if (row >= 0)
            setCurrent(row, true);
    }
    enableControls();
    emitScroll();
    return ok;
}

// ---------------------------------------------------------------- fields and values

int DataSet::fieldIndex(const QString &name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QStringList DataSet::fieldNames() const
{
    QStringList l;
    for (const Field &f : m_fields)
        l << f.name;
    return l;
}

void DataSet::addCalculatedField(const QString &name, FieldKind kind, Calculation calc)
{
    m_calcDefs.push_back({name, kind, calc});
    if (isOpen()) {
        m_fields.push_back({name, kind, true});
        m_calcs.push_back(std::move(calc));
    }
}

void DataSet::setCalculation(const QString &name, Calculation calc)
{
    for (PendingCalc &c : m_calcDefs)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            c.calc = calc;
    const int i = fieldIndex(name);
    if (i >= m_realFields)
        m_calcs[size_t(i - m_realFields)] = std::move(calc);
}

QVariant DataSet::fromText(int column, const char *data, int len) const
{
    const FieldKind k = m_fields[size_t(column)].kind;
    switch (k) {
    case FieldKind::Text:
        return QString::fromUtf8(data, len);
    case FieldKind::Integer: {
        bool ok = false;
        const QByteArray b = QByteArray::fromRawData(data, len);
        const qlonglong v = b.toLongLong(&ok);
        if (ok)
            return v;
        const double d = b.toDouble(&ok);
        return ok ? QVariant(qlonglong(d)) : QVariant(QString::fromUtf8(data, len));
    }
    case FieldKind::Float:
    case FieldKind::Money: {
        bool ok = false;
        const double d = QByteArray::fromRawData(data, len).toDouble(&ok);
        return ok ? QVariant(d) : QVariant(QString::fromUtf8(data, len));
    }
    case FieldKind::Date:
        return fmt::toDate(QString::fromUtf8(data, len));
    case FieldKind::DateTime:
        return fmt::toDateTime(QString::fromUtf8(data, len));
    }
    return {};
}

QByteArray DataSet::toStoredText(int column, const QVariant &v) const
{
    Q_UNUSED(column);
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(u"yyyy-MM-dd"_s).toUtf8();
    case QMetaType::QDateTime:
        return v.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s).toUtf8();
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(v.toDouble(), 'g', 15);
    case QMetaType::Bool:
        return v.toBool() ? "1" : "0";
    default:
        return v.toString().toUtf8();
    }
}

bool DataSet::isNull(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_realFields)
        return column >= m_realFields && column < fieldCount() ? value(row, column).isNull() : true;
    const quint32 base = m_rows[size_t(row)].base;
    return (m_offs[base + quint32(column) + 1] & NullBit) != 0;
}

QVariant DataSet::value(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= fieldCount())
        return {};
    if (column >= m_realFields) {
        const Calculation &calc = m_calcs[size_t(column - m_realFields)];
        return calc ? calc(*this, row) : QVariant();
    }
    const quint32 base = m_rows[size_t(row)].base;
    const quint32 end = m_offs[base + quint32(column) + 1];
    if (end & NullBit)
        return QVariant();
    const quint32 begin = m_offs[base + quint32(column)] & ~NullBit;
    return fromText(column, m_arena.data() + begin, int(end - begin));
}

QVariant DataSet::value(int row, const QString &name) const { return value(row, fieldIndex(name)); }

QVariant DataSet::value(const QString &name) const
{
    const int c = fieldIndex(name);
    if (isEditing() && c >= 0 && c < m_realFields && (m_state == State::Insert || m_editRow == m_current))
        return m_buffer.value(c);
    return value(m_current, c);
}

QString DataSet::text(int row, int column) const
{
    const QVariant v = value(row, column);
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Double:
        return fmt::general(v.toDouble());
    case QMetaType::QDate:
        return v.toDate().toString(u"yyyy-MM-dd"_s);
    case QMetaType::QDateTime:
        return v.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    default:
        return v.toString();
    }
}

QString DataSet::text(const QString &name) const
{
    const int c = fieldIndex(name);
    if (isEditing() && c >= 0 && c < m_realFields) {
        const QVariant v = value(name);
        return v.typeId() == QMetaType::Double ? fmt::general(v.toDouble()) : v.toString();
    }
    return text(m_current, c);
}

double DataSet::number(const QString &name) const { return value(name).toDouble(); }

Money DataSet::money(const QString &name) const
{
    if (isEditing())
        return Money::fromVariant(value(name));
    return money(m_current, name);
}

Money DataSet::money(int row, const QString &name) const
{
    const int c = fieldIndex(name);
    if (row < 0 || row >= rowCount() || c < 0)
        return {};
    if (c >= m_realFields)
        return Money::fromVariant(value(row, c));
    const quint32 base = m_rows[size_t(row)].base;
    const quint32 end = m_offs[base + quint32(c) + 1];
    if (end & NullBit)
        return {};
    const quint32 begin = m_offs[base + quint32(c)] & ~NullBit;
    return Money::fromVariant(QString::fromUtf8(m_arena.data() + begin, int(end - begin)));
}

int DataSet::find(const QString &name, const QVariant &v) const
{
    const int c = fieldIndex(name);
    if (c < 0)
        return -1;
    const QString wanted = v.toString();
    for (int r = 0; r < rowCount(); ++r) {
        const QVariant cur = value(r, c);
        if (cur.isNull() != v.isNull())
            continue;
        if (cur.typeId() == QMetaType::Double || cur.typeId() == QMetaType::LongLong) {
            if (cur.toDouble() == v.toDouble())
                return r;
        } else if (text(r, c).compare(wanted, Qt::CaseInsensitive) == 0) {
            return r;
        }
    }
    return -1;
}

bool DataSet::locate(const QString &name, const QVariant &v)
{
    const int r = find(name, v);
    return r >= 0 && moveTo(r);
}

// ---------------------------------------------------------------- navigation

void DataSet::emitScroll()
{
    if (m_controlsDisabled == 0)
        emit afterScroll();
}

void DataSet::enableControls()
{
    if (m_controlsDisabled > 0)
        --m_controlsDisabled;
}

void DataSet::setCurrent(int row, bool force)
{
    if (row == m_current && !force)
        return;
    m_current = row;
    emitScroll();
}

bool DataSet::moveTo(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    if (isEditing() && !post())
        return false;
    m_eof = m_bof = false;
    setCurrent(row);
    if (row == 0)
        m_bof = true;
    return true;
}

bool DataSet::next()
{
    if (m_current + 1 >= rowCount()) {
        m_eof = true;
        return false;
    }
    moveTo(m_current + 1);
    m_bof = false;
    return true;
}

bool DataSet::prior()
{
    if (m_current <= 0) {
        m_bof = true;
        return false;
    }
    moveTo(m_current - 1);
    m_eof = false;
    return true;
}

// ---------------------------------------------------------------- editing

QVariantList DataSet::rowValues(int row) const
{
    QVariantList l;
    l.reserve(m_realFields);
    for (int c = 0; c < m_realFields; ++c)
        l << value(row, c);
    return l;
}

void DataSet::append()
{
    if (isEditing())
        post();
    m_buffer = QVariantList();
    for (int c = 0; c < m_realFields; ++c)
        m_buffer << QVariant();
    m_changed.assign(size_t(m_realFields), false);
    m_editRow = -1;
    m_state = State::Insert;
}

bool DataSet::edit()
{
    if (m_state == State::Edit || m_state == State::Insert)
        return true;
    if (m_current < 0)
        return false;
    m_buffer = rowValues(m_current);
    m_changed.assign(size_t(m_realFields), false);
    m_editRow = m_current;
    m_state = State::Edit;
    return true;
}

void DataSet::setValue(const QString &name, const QVariant &v)
{
    const int c = fieldIndex(name);
    if (c < 0 || c >= m_realFields)
        return;
    if (!isEditing() && !edit())
        return;
    m_buffer[c] = v;
    m_changed[size_t(c)] = true;
}

void DataSet::cancel()
{
    if (!isEditing())
        return;
    m_buffer.clear();
    m_changed.clear();
    m_editRow = -1;
    m_state = State::Browse;
}

quint32 DataSet::storeRow(const QVariantList &values)
{
    const quint32 base = quint32(m_offs.size());
    m_offs.push_back(quint32(m_arena.size()));
    for (int c = 0; c < m_realFields; ++c) {
        const QVariant v = values.value(c);
        if (!v.isValid() || v.isNull()) {
            m_offs.push_back(quint32(m_arena.size()) | NullBit);
            continue;
        }
        const QByteArray t = toStoredText(c, v);
        m_arena.append(t.constData(), size_t(t.size()));
        m_offs.push_back(quint32(m_arena.size()));
    }
    return base;
}

bool DataSet::tableColumns(QStringList *cols)
{
    if (m_tableCols.isEmpty()) {
        const QString t = table();
        if (t.isEmpty() || !m_db)
            return false;
        QSqlQuery q;
        if (!m_db->query(q, u"SELECT * FROM "_s + t + u" WHERE 1=0"_s, SqlParams{}, &m_error))
            return false;
        const QSqlRecord r = q.record();
        for (int i = 0; i < r.count(); ++i)
            m_tableCols << r.fieldName(i);
        if (m_key.isEmpty()) {
            // The tables' keys are their identity columns: "ID", else the first "…ID", else the first column.
            for (const QString &c : std::as_const(m_tableCols))
                if (c.compare(u"ID"_s, Qt::CaseInsensitive) == 0)
                    m_key = c;
            if (m_key.isEmpty() && !m_tableCols.isEmpty()) {
                for (const QString &c : std::as_const(m_tableCols))
                    if (c.endsWith(u"id"_s, Qt::CaseInsensitive)) {
                        m_key = c;
                        break;
                    }
                if (m_key.isEmpty())
                    m_key = m_tableCols.first();
            }
        }
    }
    *cols = m_tableCols;
    return !cols->isEmpty();
}

namespace {
bool containsCI(const QStringList &l, const QString &s) { return l.contains(s, Qt::CaseInsensitive); }

bool readReturned(QSqlQuery &q, const DataSet &ds, QVariantList &values, int realFields)
{
    if (!q.next())
        return false;
    const QSqlRecord r = q.record();
    for (int i = 0; i < r.count(); ++i) {
        const int c = ds.fieldIndex(r.fieldName(i));
        if (c >= 0 && c < realFields)
            values[c] = q.value(i);
    }
    return true;
}
} // namespace

bool DataSet::writeInsert(QVariantList &values, QString *error)
{
    QStringList cols;
    if (!tableColumns(&cols)) {
        *error = m_error.isEmpty() ? u"无法确定要写入的表"_s : m_error;
        return false;
    }
    QStringList names, marks;
    SqlArgs args;
    for (int c = 0; c < m_realFields; ++c) {
        const QString &n = m_fields[size_t(c)].name;
        if (!containsCI(cols, n))
            continue;
        const QVariant &v = values[c];
        if (!v.isValid() || (v.isNull() && n.compare(m_key, Qt::CaseInsensitive) == 0))
            continue;
        names << n;
        marks << u"?"_s;
        args << v;
    }
    const QString sql = names.isEmpty()
        ? QString(u"INSERT INTO "_s + table() + u" DEFAULT VALUES RETURNING *"_s)
        : QString(u"INSERT INTO "_s + table() + u" ("_s + names.join(u", "_s) + u") VALUES ("_s + marks.join(u", "_s)
              + u") RETURNING *"_s);
    QSqlQuery q;
    if (!m_db->query(q, sql, args, error))
        return false;
    readReturned(q, *this, values, m_realFields);
    return true;
}

bool DataSet::writeUpdate(const QVariantList &oldValues, QVariantList &values, const std::vector<bool> &changed,
                          QString *error)
{
    QStringList cols;
    if (!tableColumns(&cols)) {
        *error = m_error.isEmpty() ? u"无法确定要写入的表"_s : m_error;
        return false;
    }
    const int ki = fieldIndex(m_key);
    if (ki < 0) {
        *error = u"无法确定记录的主键"_s;
        return false;
    }
    QStringList sets;
    SqlArgs args;
    for (int c = 0; c < m_realFields; ++c) {
        const QString &n = m_fields[size_t(c)].name;
        if (!changed[size_t(c)] || !containsCI(cols, n) || c == ki)
            continue;
        sets << n + u" = ?"_s;
        args << values[c];
    }
    if (sets.isEmpty())
        return true;
    args << oldValues[ki];
    QSqlQuery q;
    if (!m_db->query(q, u"UPDATE "_s + table() + u" SET "_s + sets.join(u", "_s) + u" WHERE "_s + m_key
                            + u" = ? RETURNING *"_s, args, error))
        return false;
    if (!readReturned(q, *this, values, m_realFields)) {
        *error = u"记录已被其他用户删除或修改"_s;
        return false;
    }
    return true;
}

bool DataSet::writeDelete(const QVariant &key, QString *error)
{
    return m_db->exec(u"DELETE FROM "_s + table() + u" WHERE "_s + m_key + u" = ?"_s, SqlArgs{key}, error);
}

bool DataSet::post()
{
    if (!isEditing())
        return true;
    QVariantList values = m_buffer;
    if (m_state == State::Insert) {
        if (!m_cached) {
            if (!writeInsert(values, &m_error))
                return false;
        }
        const quint32 base = storeRow(values);
        emit rowAboutToBeInserted(rowCount());
        m_rows.push_back({base, m_nextSeq++, quint8(m_cached ? Inserted : Clean)});
        m_state = State::Browse;
        m_buffer.clear();
        const int row = rowCount() - 1;
        emit rowInserted(row);
        m_eof = m_bof = false;
        setCurrent(row, true);
    } else {
        const int row = m_editRow;
        if (!m_cached) {
            if (!writeUpdate(rowValues(row), values, m_changed, &m_error))
                return false;
        }
        RowRef &ref = m_rows[size_t(row)];
        ref.base = storeRow(values);
        if (m_cached && ref.status == Clean)
            ref.status = Modified;
        m_state = State::Browse;
        m_buffer.clear();
        m_editRow = -1;
        emit rowChanged(row);
    }
    emit afterPost();
    return true;
}

bool DataSet::remove()
{
    if (m_state == State::Insert) {
        cancel();
        return true;
    }
    cancel();
    const int row = m_current;
    if (row < 0)
        return false;
    const RowRef ref = m_rows[size_t(row)];
    if (ref.status != Inserted) {
        QStringList cols;
        if (!tableColumns(&cols) || fieldIndex(m_key) < 0) {
            if (m_error.isEmpty())
                m_error = u"无法确定记录的主键"_s;
            return false;
        }
        const QVariant key = value(row, m_key);
        if (m_cached)
            m_pendingDeletes << key;
        else if (!writeDelete(key, &m_error))
            return false;
    }
    emit rowAboutToBeRemoved(row);
    m_rows.erase(m_rows.begin() + row);
    emit rowRemoved(row);
    if (m_rows.empty()) {
        m_current = -1;
        m_eof = m_bof = true;
    } else {
        m_current = std::min(row, rowCount() - 1);
    }
    emitScroll();
    return true;
}

void DataSet::setCachedUpdates(bool on) { m_cached = on; }

bool DataSet::hasPendingUpdates() const
{
    if (!m_pendingDeletes.isEmpty())
        return true;
    return std::any_of(m_rows.begin(), m_rows.end(), [](const RowRef &r) { return r.status != Clean; });
}

bool DataSet::applyUpdates()
{
    if (isEditing() && !post())
        return false;
    if (!hasPendingUpdates())
        return true;
    QStringList cols;
    if (!tableColumns(&cols))
        return false;
    Transaction tx(*m_db);
    for (const QVariant &key : std::as_const(m_pendingDeletes))
        if (!writeDelete(key, &m_error))
            return false;
    std::vector<std::pair<int, QVariantList>> stored;
    for (int r = 0; r < rowCount(); ++r) {
        const RowRef &ref = m_rows[size_t(r)];
        if (ref.status == Clean)
            continue;
        QVariantList values = rowValues(r);
        if (ref.status == Inserted) {
            if (!writeInsert(values, &m_error))
                return false;
        } else {
            std::vector<bool> all(size_t(m_realFields), true);
            if (!writeUpdate(values, values, all, &m_error))
                return false;
        }
        stored.emplace_back(r, values);
    }
    if (!tx.commit()) {
        m_error = m_db->lastError();
        return false;
    }
    for (auto &[r, values] : stored) {
        m_rows[size_t(r)].base = storeRow(values);
        m_rows[size_t(r)].status = Clean;
        emit rowChanged(r);
    }
    m_pendingDeletes.clear();
    return true;
}

void DataSet::cancelUpdates()
{
    cancel();
    if (!m_sql.isEmpty())
        refresh();
}

// ---------------------------------------------------------------- sort

bool DataSet::setSortText(const QString &sortText)
{
    m_sortText = sortText.trimmed();
    if (!isOpen())
        return true;
    emit layoutAboutToChange();
    applySort();
    emit layoutChanged();
    emitScroll();
    return true;
}

void DataSet::applySort()
{
    struct Key { int col; bool desc; };
    std::vector<Key> keys;
    for (const QString &part : m_sortText.split(u',', Qt::SkipEmptyParts)) {
        QStringList words = part.simplified().split(u' ');
        if (words.isEmpty())
            continue;
        bool desc = false;
        if (words.size() > 1 && words.last().compare(u"DESC"_s, Qt::CaseInsensitive) == 0) {
            desc = true;
            words.removeLast();
        } else if (words.size() > 1 && words.last().compare(u"ASC"_s, Qt::CaseInsensitive) == 0) {
            words.removeLast();
        }
        const int c = fieldIndex(words.join(u' '));
        if (c >= 0)
            keys.push_back({c, desc});
    }
    const quint32 currentSeq = m_current >= 0 ? m_rows[size_t(m_current)].seq : 0;
    if (keys.empty()) {
        std::stable_sort(m_rows.begin(), m_rows.end(), [](const RowRef &a, const RowRef &b) { return a.seq < b.seq; });
    } else {
        // Sort keys are read once per row, not once per comparison.
        const size_t n = m_rows.size();
        std::vector<std::vector<QVariant>> vals(keys.size(), std::vector<QVariant>(n));
        for (size_t k = 0; k < keys.size(); ++k)
            for (size_t r = 0; r < n; ++r)
                vals[k][r] = value(int(r), keys[k].col);
        std::vector<quint32> idx(n);
        for (size_t i = 0; i < n; ++i)
            idx[i] = quint32(i);
        auto cmp = [&](const QVariant &a, const QVariant &b) -> int {
            if (a.isNull() || b.isNull())
                return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
            switch (a.typeId()) {
            case QMetaType::LongLong:
            case QMetaType::Double: {
                const double x = a.toDouble(), y = b.toDouble();
                return x < y ? -1 : (x > y ? 1 : 0);
            }
            case QMetaType::QDate:
                return a.toDate() < b.toDate() ? -1 : (b.toDate() < a.toDate() ? 1 : 0);
            case QMetaType::QDateTime:
                return a.toDateTime() < b.toDateTime() ? -1 : (b.toDateTime() < a.toDateTime() ? 1 : 0);
            default:
                return a.toString().compare(b.toString(), Qt::CaseInsensitive);
            }
        };
        std::stable_sort(idx.begin(), idx.end(), [&](quint32 x, quint32 y) {
            for (size_t k = 0; k < keys.size(); ++k) {
                int c = cmp(vals[k][x], vals[k][y]);
                if (c != 0)
                    return keys[k].desc ? c > 0 : c < 0;
            }
            return m_rows[x].seq < m_rows[y].seq;
        });
        std::vector<RowRef> sorted;
        sorted.reserve(n);
        for (quint32 i : idx)
            sorted.push_back(m_rows[i]);
        m_rows.swap(sorted);
    }
    if (m_current >= 0) {
        for (int r = 0; r < rowCount(); ++r)
            if (m_rows[size_t(r)].seq == currentSeq) {
                m_current = r;
                break;
            }
    }
}

// ---------------------------------------------------------------- master-detail

void DataSet::setMaster(DataSet *master)
{
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    if (m_master) {
        connect(m_master, &DataSet::afterScroll, this, &DataSet::masterScrolled);
        connect(m_master, &DataSet::afterClose, this, &DataSet::masterScrolled);
    }
}

void DataSet::masterScrolled()
{
    if (m_sql.isEmpty() || !m_usesNamed)
        return;
    // Parameters come from the master again, not from the last run.
    SqlParams own;
    const QStringList fromMaster = namedParameters(m_sql);
    for (auto it = m_named.cbegin(); it != m_named.cend(); ++it) {
        QString k = it.key();
        if (k.startsWith(u':'))
            k.remove(0, 1);
        if (!fromMaster.contains(k, Qt::CaseInsensitive) || !m_master)
            own.insert(it.key(), it.value());
    }
    m_named = own;
    runOpen(m_sql, &m_named, nullptr);
}
