#include "DataGrid.h"

#include "app/Prompt.h"
#include "app/Session.h"
#include "core/Format.h"
#include "core/Money.h"
#include "data/DataSet.h"
#include "data/DataSetModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int EllipsisWidth = 18;
} // namespace

// The model the grid shows: the data set's own model, with the grid's display
// rules (number formats, dates) and editing when the grid is not read-only.
class GridModel : public DataSetModel
{
public:
    GridModel(DataSet *ds, DataGrid *grid) : DataSetModel(ds, grid), m_grid(grid) {}

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole && index.isValid() && index.row() < dataSet()->rowCount())
            return m_grid->displayText(index.row(), dataSet()->field(index.column()).name);
        return DataSetModel::data(index, role);
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags f = DataSetModel::flags(index);
        if (!m_grid->isReadOnly() && index.isValid() && !dataSet()->field(index.column()).calculated)
            f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::EditRole || !index.isValid() || m_grid->isReadOnly())
            return false;
        DataSet *ds = dataSet();
        if (ds->currentRow() != index.row()) {
            if (ds->isEditing() && !ds->post())
                return false;
            ds->moveTo(index.row());
        }
        if (!ds->isEditing() && !ds->edit())
            return false;
        ds->setValue(ds->field(index.column()).name, value);
        emit dataChanged(index, index);
        return true;
    }

private:
    DataGrid *m_grid;
};

// Title buttons: the caption, and the sort marker (▼ ascending, ▲ descending,
// with the marking order when several columns are marked).
class DataGridHeader : public QHeaderView
{
public:
    DataGridHeader(DataGrid *grid) : QHeaderView(Qt::Horizontal), m_grid(grid) {}

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        const auto markers = m_grid->sortMarkers();
        DataSet *ds = m_grid->dataSet();
        if (!ds || logicalIndex >= ds->fieldCount())
            return;
        const QString name = ds->field(logicalIndex).name;
        for (int i = 0; i < markers.size(); ++i) {
            if (markers[i].first.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            QString mark = markers[i].second == Qt::DescendingOrder ? u"▲"_s : u"▼"_s;
            if (markers.size() > 1)
                mark += QString::number(i + 1);
            painter->save();
            QRect r = rect.adjusted(0, 0, -3, 0);
            painter->setPen(palette().color(QPalette::ButtonText));
            QFont f = painter->font();
            f.setPointSizeF(f.pointSizeF() * 0.8);
            painter->setFont(f);
            painter->drawText(r, Qt::AlignRight | Qt::AlignVCenter, mark);
            painter->restore();
            break;
        }
    }

private:
    DataGrid *m_grid;
};

// The footer row of sums, drawn under the columns and scrolled with them.
class DataGridFooter : public QWidget
{
public:
    DataGridFooter(DataGrid *grid) : QWidget(grid), m_grid(grid) { setObjectName(u"footer"_s); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Button));
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(rect().topLeft(), rect().topRight());
        QTableView *v = m_grid->view();
        QHeaderView *h = v->horizontalHeader();
        DataSet *ds = m_grid->dataSet();
        if (!ds)
            return;
        const int offset = v->frameWidth() + (v->verticalHeader()->isVisible() ? v->verticalHeader()->width() : 0);
        p.setPen(palette().color(QPalette::ButtonText));
        for (int logical = 0; logical < h->count(); ++logical) {
            if (h->isSectionHidden(logical) || logical >= ds->fieldCount())
                continue;
            const QString text = m_grid->footerText(ds->field(logical).name);
            const int x = offset + h->sectionViewportPosition(logical);
            const int w = h->sectionSize(logical);
            p.drawLine(x + w - 1, 0, x + w - 1, height());
            if (text.isEmpty())
                continue;
            p.drawText(QRect(x + 2, 0, w - 6, height()), Qt::AlignRight | Qt::AlignVCenter, text);
        }
    }

private:
    DataGrid *m_grid;
};

// Cells of a column with ShowButton carry an ellipsis button at their right.
class EllipsisDelegate : public QStyledItemDelegate
{
public:
    EllipsisDelegate(DataGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    static QRect buttonRect(const QRect &cell) { return {cell.right() - EllipsisWidth + 1, cell.top(), EllipsisWidth, cell.height()}; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const DataGrid::Column *c = m_grid->columnFor(index.column());
        if (!c || !c->button) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem o = option;
        o.rect.setRight(o.rect.right() - EllipsisWidth);
        QStyledItemDelegate::paint(painter, o, index);
        const QRect b = buttonRect(option.rect).adjusted(1, 1, -1, -1);
        painter->save();
        painter->fillRect(b, option.palette.color(QPalette::Button));
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawRect(b.adjusted(0, 0, -1, -1));
        painter->setPen(option.palette.color(QPalette::ButtonText));
        painter->drawText(b, Qt::AlignCenter, u"…"_s);
        painter->restore();
    }

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override
    {
        const DataGrid::Column *c = m_grid->columnFor(index.column());
        if (c && c->button && event->type() == QEvent::MouseButtonRelease) {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton && buttonRect(option.rect).contains(me->position().toPoint())) {
                emit m_grid->ellipsisClicked(c->field, index.row());
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

private:
    DataGrid *m_grid;
};

struct DataGrid::Private
{
    DataSet *ds = nullptr;
    GridModel *model = nullptr;
    QTableView *view = nullptr;
    DataGridHeader *header = nullptr;
    DataGridFooter *footer = nullptr;
    QList<Column> cols;
    QList<QPair<QString, Qt::SortOrder>> markers;
    std::function<QColor(int)> rowColor;
    bool footerOn = false;
    bool readOnly = true;
    bool syncing = false;
    bool sumsDirty = true;
    QHash<QString, QString> sums; // lower-case field → formatted sum
    QList<QMetaObject::Connection> dsConnections;
};

DataGrid::DataGrid(QWidget *parent) : QWidget(parent), d(new Private)
{
    d->view = new QTableView(this);
    d->header = new DataGridHeader(this);
    d->view->setHorizontalHeader(d->header);
    d->header->setSectionsClickable(true);
    d->header->setSectionsMovable(true);
    d->header->setHighlightSections(false);
    d->header->setDefaultAlignment(Qt::AlignCenter);
    d->header->setSectionResizeMode(QHeaderView::Interactive);
    d->header->setStretchLastSection(false);
    d->header->setMinimumHeight(d->view->fontMetrics().height() + 8);
    d->view->setSelectionBehavior(QAbstractItemView::SelectRows);
    d->view->setSelectionMode(QAbstractItemView::SingleSelection);
    d->view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d->view->setWordWrap(false);
    d->view->setAlternatingRowColors(false);
    // Uniform row heights keep 100 000 rows cheap to lay out and scroll.
    QHeaderView *vh = d->view->verticalHeader();
    vh->setSectionResizeMode(QHeaderView::Fixed);
    vh->setDefaultSectionSize(d->view->fontMetrics().height() + 6);
    vh->setVisible(false);
    d->view->setItemDelegate(new EllipsisDelegate(this));

    d->footer = new DataGridFooter(this);
    d->footer->setFixedHeight(vh->defaultSectionSize() + 2);
    d->footer->setVisible(false);

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(d->view);
    lay->addWidget(d->footer);

    connect(this, &QObject::objectNameChanged, this,
            [this](const QString &name) { d->view->setObjectName(name + u"_view"_s); });
    connect(d->header, &QHeaderView::sectionClicked, this, [this](int logical) {
        if (!d->ds || logical >= d->ds->fieldCount())
            return;
        clickTitle(d->ds->field(logical).name, QApplication::keyboardModifiers() & Qt::ControlModifier);
    });
    auto repaintFooter = [this] { d->footer->update(); };
    connect(d->header, &QHeaderView::sectionResized, this, repaintFooter);
    connect(d->header, &QHeaderView::sectionMoved, this, repaintFooter);
    connect(d->view->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaintFooter);
    connect(d->view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &i) {
        if (i.isValid())
            emit rowDoubleClicked(i.row());
    });
}

DataGrid::~DataGrid()
{
    delete d;
}

void DataGrid::setDataSet(DataSet *ds)
{
    if (ds == d->ds)
        return;
    for (const auto &c : std::as_const(d->dsConnections))
        disconnect(c);
    d->dsConnections.clear();
    GridModel *old = d->model;
    d->ds = ds;
    d->model = ds ? new GridModel(ds, this) : nullptr;
    d->view->setModel(d->model);
    delete old;
    d->sumsDirty = true;
    if (!ds)
        return;
    d->model->setRowForeground([this](int row) -> QVariant {
        if (!d->rowColor)
            return {};
        const QColor c = d->rowColor(row);
        return c.isValid() ? QVariant(c) : QVariant();
    });
    // A reset (open, sort, refresh) forgets the header's state: keep the
    // operator's order and widths across it.
    d->dsConnections << connect(d->model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (d->model->columnCount() > 0)
            d->cols = columns();
    });
    d->dsConnections << connect(d->model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumns();
        syncFromDataSet();
    });
    auto dirty = [this] {
        d->sumsDirty = true;
        d->footer->update();
    };
    d->dsConnections << connect(ds, &DataSet::layoutChanged, this, dirty);
    d->dsConnections << connect(ds, &DataSet::rowInserted, this, dirty);
    d->dsConnections << connect(ds, &DataSet::rowRemoved, this, dirty);
    d->dsConnections << connect(ds, &DataSet::rowChanged, this, dirty);
    d->dsConnections << connect(ds, &DataSet::afterPost, this, dirty);
    d->dsConnections << connect(ds, &DataSet::afterScroll, this, [this] { syncFromDataSet(); });
    d->dsConnections << connect(ds, &QObject::destroyed, this, [this] {
        d->ds = nullptr;
        d->view->setModel(nullptr);
        d->model = nullptr;
    });
    connect(d->view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &cur) {
                syncToDataSet();
                emit currentRowChanged(cur.isValid() ? cur.row() : -1);
            });
    applyColumns();
    syncFromDataSet();
}

DataSet *DataGrid::dataSet() const { return d->ds; }
QTableView *DataGrid::view() const { return d->view; }
DataSetModel *DataGrid::model() const { return d->model; }

void DataGrid::setColumns(const QList<Column> &cols)
{
    d->cols = cols;
    d->sumsDirty = true;
    d->footerOn = std::any_of(cols.cbegin(), cols.cend(), [](const Column &c) { return c.sum; });
    applyColumns();
}

void DataGrid::clearColumns() { setColumns({}); }

int DataGrid::sectionOf(const QString &field) const
{
    return d->ds ? d->ds->fieldIndex(field) : -1;
}

const DataGrid::Column *DataGrid::columnFor(int logical) const
{
    if (!d->ds || logical < 0 || logical >= d->ds->fieldCount())
        return nullptr;
    const QString name = d->ds->field(logical).name;
    for (const Column &c : d->cols)
        if (c.field.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

void DataGrid::applyColumns()
{
    d->footer->setVisible(d->footerOn);
    if (!d->model)
        return;
    QHeaderView *h = d->header;
    const int n = h->count();
    for (int i = 0; i < n; ++i)
        h->setSectionHidden(i, true);
    int visual = 0;
    for (const Column &c : std::as_const(d->cols)) {
        const int logical = sectionOf(c.field);
        if (logical < 0 || logical >= n || !h->isSectionHidden(logical))
            continue;
        h->setSectionHidden(logical, false);
        h->resizeSection(logical, c.width);
        h->moveSection(h->visualIndex(logical), visual++);
        d->model->setHeaderCaption(c.field, c.caption);
    }
    d->footer->update();
}

QList<DataGrid::Column> DataGrid::columns() const
{
    if (!d->model || d->header->count() == 0)
        return d->cols;
    QList<Column> out;
    QHeaderView *h = d->header;
    for (int v = 0; v < h->count(); ++v) {
        const int logical = h->logicalIndex(v);
        if (h->isSectionHidden(logical))
            continue;
        if (const Column *c = columnFor(logical)) {
            Column col = *c;
            col.width = h->sectionSize(logical);
            out << col;
        }
    }
    return out;
}

int DataGrid::columnCount() const { return int(columns().size()); }

void DataGrid::setFooterVisible(bool on)
{
    d->footerOn = on;
    d->footer->setVisible(on);
}

bool DataGrid::footerVisible() const { return d->footerOn; }

int DataGrid::columnDecimals(const QString &field) const
{
    for (const Column &c : d->cols)
        if (c.field.compare(field, Qt::CaseInsensitive) == 0) {
            const int n = Session::instance().decimalsFor(c.dotsize);
            return n >= 0 && n <= 10 ? n : -1;
        }
    return -1;
}

void DataGrid::refreshFooter()
{
    d->sums.clear();
    d->sumsDirty = false;
    if (!d->ds || !d->ds->isOpen())
        return;
    for (const Column &c : std::as_const(d->cols)) {
        if (!c.sum)
            continue;
        const int col = d->ds->fieldIndex(c.field);
        if (col < 0)
            continue;
        const int decimals = columnDecimals(c.field);
        const int rows = d->ds->rowCount();
        QString text;
        if (d->ds->field(col).kind == DataSet::FieldKind::Money || d->ds->field(col).kind == DataSet::FieldKind::Integer) {
            // Exact: money in ten-thousandths, counts as whole numbers.
            Money total;
            for (int r = 0; r < rows; ++r)
                total += Money::fromVariant(d->ds->value(r, col));
            text = decimals < 0 ? total.toPlainString()
                   : decimals <= 4 ? total.toString(decimals)
                                   : fmt::fixed(total.toDouble(), decimals);
        } else {
            double total = 0;
            for (int r = 0; r < rows; ++r) {
                const QVariant v = d->ds->value(r, col);
                if (!v.isNull())
                    total += v.toDouble();
            }
            text = decimals < 0 ? fmt::general(total) : fmt::fixed(total, decimals);
        }
        d->sums.insert(c.field.toLower(), text);
    }
}

QString DataGrid::footerText(const QString &field) const
{
    if (d->sumsDirty)
        const_cast<DataGrid *>(this)->refreshFooter();
    return d->sums.value(field.toLower());
}

QList<QPair<QString, Qt::SortOrder>> DataGrid::sortMarkers() const { return d->markers; }

void DataGrid::setSortMarkers(const QList<QPair<QString, Qt::SortOrder>> &m)
{
    d->markers = m;
    d->header->viewport()->update();
}

void DataGrid::clickTitle(const QString &field, bool addToSort)
{
    int at = -1;
    for (int i = 0; i < d->markers.size(); ++i)
        if (d->markers[i].first.compare(field, Qt::CaseInsensitive) == 0)
            at = i;
    auto reversed = [](Qt::SortOrder o) { return o == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder; };
    if (addToSort) {
        if (at >= 0)
            d->markers[at].second = reversed(d->markers[at].second);
        else
            d->markers.append({field, Qt::AscendingOrder});
    } else {
        const Qt::SortOrder o = at >= 0 ? reversed(d->markers[at].second) : Qt::AscendingOrder;
        d->markers = {{field, o}};
    }
    d->header->viewport()->update();
    emit sortMarkingChanged();
}

void DataGrid::setMultiSelect(bool on)
{
    d->view->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QList<int> DataGrid::selectedRows() const
{
    QList<int> rows;
    if (QItemSelectionModel *sm = d->view->selectionModel())
        for (const QModelIndex &i : sm->selectedRows())
            rows << i.row();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && d->ds && d->ds->currentRow() >= 0)
        rows << d->ds->currentRow();
    return rows;
}

void DataGrid::setRowColor(std::function<QColor(int)> fn)
{
    d->rowColor = std::move(fn);
    d->view->viewport()->update();
}

QString DataGrid::format(const Column &c, const QVariant &v) const
{
    if (v.isNull())
        return {};
    const int decimals = columnDecimals(c.field);
    if (decimals >= 0) {
        bool ok = false;
        const double x = v.toDouble(&ok);
        if (ok)
            return v.typeId() != QMetaType::Double && decimals <= 4 ? Money::fromVariant(v).toString(decimals)
                                                                    : fmt::fixed(x, decimals);
    }
    return {};
}

QString DataGrid::displayText(int row, const QString &field) const
{
    if (!d->ds)
        return {};
    const int col = d->ds->fieldIndex(field);
    if (col < 0 || row < 0 || row >= d->ds->rowCount())
        return {};
    const QVariant v = d->ds->value(row, col);
    if (v.isNull())
        return {};
    for (const Column &c : d->cols)
        if (c.field.compare(field, Qt::CaseInsensitive) == 0 && c.dotsize >= 1 && c.dotsize <= 3) {
            const QString s = format(c, v);
            if (!s.isEmpty())
                return s;
        }
    switch (d->ds->field(col).kind) {
    case DataSet::FieldKind::Date:
    case DataSet::FieldKind::DateTime: {
        const QDateTime dt = fmt::toDateTime(v);
        if (!fmt::isDateSet(dt.date()))
            return {};
        if (d->ds->field(col).kind == DataSet::FieldKind::Date || dt.time() == QTime(0, 0))
            return dt.date().toString(u"yyyy-MM-dd"_s);
        return dt.toString(u"yyyy-MM-dd HH:mm:ss"_s);
    }
    default:
        return d->model ? d->model->displayText(row, col) : v.toString();
    }
}

void DataGrid::setReadOnly(bool on)
{
    d->readOnly = on;
    d->view->setEditTriggers(on ? QAbstractItemView::NoEditTriggers
                                : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                      | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    d->view->setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

bool DataGrid::isReadOnly() const { return d->readOnly; }

void DataGrid::syncFromDataSet()
{
    if (!d->ds || !d->model || d->syncing)
        return;
    const int row = d->ds->currentRow();
    QItemSelectionModel *sm = d->view->selectionModel();
    if (!sm || row < 0 || row >= d->model->rowCount())
        return;
    if (sm->currentIndex().row() == row)
        return;
    d->syncing = true;
    int col = sm->currentIndex().isValid() ? sm->currentIndex().column() : -1;
    if (col < 0 || d->header->isSectionHidden(col))
        col = d->header->logicalIndex(0);
    for (int v = 0; v < d->header->count() && d->header->isSectionHidden(col); ++v)
        col = d->header->logicalIndex(v);
    const QModelIndex idx = d->model->index(row, std::max(0, col));
    sm->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    d->view->scrollTo(idx);
    d->syncing = false;
}

void DataGrid::syncToDataSet()
{
    if (!d->ds || d->syncing)
        return;
    const QModelIndex cur = d->view->selectionModel()->currentIndex();
    if (!cur.isValid() || cur.row() == d->ds->currentRow())
        return;
    d->syncing = true;
    // Leaving an edited row saves it, as in every data-aware grid.
    if (d->ds->isEditing() && !d->ds->post())
        Prompt::databaseError(this, d->ds->lastError());
    d->ds->moveTo(cur.row());
    d->syncing = false;
}
