#include "ReportDesigner.h"
#include "ReportPreview.h"
#include "ReportUi.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kGap = 20;       // grey border around the page
constexpr int kHead = 18;      // band caption bar
constexpr double kGrid = 1.0;  // millimetres
const auto kFieldMime = u"application/x-orvalis-report-field"_s;

ReportDesigner::TestHook &testHook()
{
    static ReportDesigner::TestHook h;
    return h;
}

double snap(double v) { return std::round(v / kGrid) * kGrid; }

QString bandCaption(BandKind k)
{
    switch (k) {
    case BandKind::ReportTitle: return u"报表标题"_s;
    case BandKind::PageHeader: return u"页眉"_s;
    case BandKind::GroupHeader: return u"分组页眉"_s;
    case BandKind::MasterData: return u"主数据"_s;
    case BandKind::GroupFooter: return u"分组页脚"_s;
    case BandKind::PageFooter: return u"页脚"_s;
    case BandKind::ReportSummary: return u"报表合计"_s;
    }
    return {};
}

QString objectPrefix(ObjectKind k)
{
    switch (k) {
    case ObjectKind::Memo: return u"Memo"_s;
    case ObjectKind::Picture: return u"Picture"_s;
    case ObjectKind::Line: return u"Line"_s;
    case ObjectKind::Rect: return u"Rect"_s;
    }
    return {};
}

QString num(double v) { return QString::number(v, 'g', 10); }
QString yesNo(bool b) { return b ? u"true"_s : u"false"_s; }
bool parseBool(const QString &s, bool *ok)
{
    const QString t = s.trimmed().toLower();
    *ok = true;
    if (t == "true"_L1 || t == "1"_L1 || t == u"是"_s) return true;
    if (t == "false"_L1 || t == "0"_L1 || t == u"否"_s) return false;
    *ok = false;
    return false;
}
bool parseNum(const QString &s, double *out, double min = -1e6)
{
    bool ok = false;
    const double v = s.trimmed().toDouble(&ok);
    if (!ok || v < min || v > 1e5)
        return false;
    *out = v;
    return true;
}

// Property rows: key, caption; which rows show depends on what is selected.
struct Prop { const char *key; const char *caption; };

} // namespace

// ---- undo commands: by name, never by pointer -------------------------------

class ObjectCommand : public QUndoCommand
{
public:
    struct State { QString band; int index; ReportObject obj; };
    ObjectCommand(ReportDesigner *d, std::optional<State> before, std::optional<State> after, const QString &text)
        : QUndoCommand(text), m_d(d), m_before(std::move(before)), m_after(std::move(after)) {}
    void redo() override { apply(m_before, m_after); }
    void undo() override { apply(m_after, m_before); }

private:
    void apply(const std::optional<State> &from, const std::optional<State> &to)
    {
        m_d->applyObject(from ? from->obj.name : QString(), to ? to->band : QString(), to ? to->index : 0,
                         to ? &to->obj : nullptr);
    }
    ReportDesigner *m_d;
    std::optional<State> m_before, m_after;
};

class BandCommand : public QUndoCommand
{
public:
    struct State { int index; ReportBand band; };
    BandCommand(ReportDesigner *d, std::optional<State> before, std::optional<State> after, const QString &text)
        : QUndoCommand(text), m_d(d), m_before(std::move(before)), m_after(std::move(after)) {}
    void redo() override { apply(m_before, m_after); }
    void undo() override { apply(m_after, m_before); }

private:
    void apply(const std::optional<State> &from, const std::optional<State> &to)
    {
        m_d->applyBand(from ? from->band.name : QString(), to ? to->index : 0, to ? &to->band : nullptr);
    }
    ReportDesigner *m_d;
    std::optional<State> m_before, m_after;
};

class PageCommand : public QUndoCommand
{
public:
    PageCommand(ReportDesigner *d, const PageSetup &before, const PageSetup &after)
        : QUndoCommand(u"页面设置"_s), m_d(d), m_before(before), m_after(after) {}
    void redo() override { m_d->applyPage(m_after); }
    void undo() override { m_d->applyPage(m_before); }

private:
    ReportDesigner *m_d;
    PageSetup m_before, m_after;
};

// ---- the field list: drags "[alias."field"]" ----------------------------------

class FieldTree : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

protected:
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override
    {
        if (items.isEmpty() || !items.first()->parent())
            return nullptr;
        const QString alias = items.first()->parent()->text(0), field = items.first()->text(0);
        auto *m = new QMimeData;
        m->setText(u"[%1.\"%2\"]"_s.arg(alias, field));
        m->setData(kFieldMime, (alias + u'\n' + field).toUtf8());
        return m;
    }
};

// ---- the canvas ----------------------------------------------------------------

class DesignCanvas : public QWidget
{
public:
    explicit DesignCanvas(ReportDesigner *d) : QWidget(d), m_d(d)
    {
        setObjectName(u"DesignCanvas"_s);
        setAcceptDrops(true);
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
    }

    double scale() const { return m_zoom * logicalDpiX() / 25.4; }
    void setZoom(double z)
    {
        m_zoom = std::clamp(z, 0.25, 4.0);
        relayout();
    }
    double zoom() const { return m_zoom; }
    const ReportTemplate &t() const { return m_d->m_design; }
    double contentWidth() const
    {
        const double w = t().page.size().width() - t().page.left - t().page.right;
        return std::max(20.0, w);
    }

    struct BandGeom { int index; QRectF head; QRectF body; };
    QList<BandGeom> geometry() const
    {
        QList<BandGeom> g;
        const double s = scale();
        double y = kGap + t().page.top * s;
        const double x = kGap + t().page.left * s;
        for (int i = 0; i < t().bands.size(); ++i) {
            const QRectF head(x, y, contentWidth() * s, kHead);
            const QRectF body(x, y + kHead, contentWidth() * s, t().bands.at(i).height * s);
            g.append({i, head, body});
            y = body.bottom() + 4;
        }
        return g;
    }

    QRectF objectRect(const QRectF &body, const ReportObject &o) const
    {
        const double s = scale();
        QRectF r(body.topLeft() + o.rect.topLeft() * s, o.rect.size() * s);
        return r.normalized();
    }

    QRectF rectOf(const QString &name) const
    {
        const int bi = t().bandIndexOfObject(name);
        if (bi < 0)
            return {};
        const QRectF body = geometry().at(bi).body;
        return objectRect(body, *t().findObject(name));
    }

    QRectF handleOf(const QString &name) const
    {
        const QRectF r = rectOf(name);
        return QRectF(r.bottomRight() - QPointF(4, 4), QSizeF(8, 8));
    }

    void relayout()
    {
        const auto g = geometry();
        const double bottom = g.isEmpty() ? kGap + 100 : g.last().body.bottom();
        const double width = t().page.size().width() * scale();
        setMinimumSize(int(width) + 2 * kGap, int(bottom + t().page.bottom * scale()) + 2 * kGap);
        update();
    }

    int bandAt(const QPointF &p) const
    {
        for (const BandGeom &g : geometry())
            if (g.head.united(g.body).contains(p))
                return g.index;
        return -1;
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(150, 150, 150));
        const double s = scale();
        const auto g = geometry();
        const double pageBottom = (g.isEmpty() ? kGap + 100 : g.last().body.bottom()) + t().page.bottom * s;
        p.fillRect(QRectF(kGap, kGap, t().page.size().width() * s, pageBottom - kGap), Qt::white);
        for (const BandGeom &bg : g) {
            const ReportBand &b = t().bands.at(bg.index);
            const bool bandSel = m_d->m_selectedBand.compare(b.name, Qt::CaseInsensitive) == 0;
            p.fillRect(bg.head, bandSel ? QColor(120, 160, 220) : QColor(215, 222, 235));
            p.setPen(Qt::black);
            QString caption = bandCaption(b.kind) + u": "_s + b.name;
            if (!b.dataSet.isEmpty())
                caption += u"  (" + b.dataSet + u')';
            if (!b.condition.isEmpty())
                caption += u"  " + b.condition;
            p.drawText(bg.head.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, caption);
            // grid dots every 5 mm
            p.setPen(QColor(200, 200, 200));
            for (double gx = 0; gx <= contentWidth(); gx += 5)
                for (double gy = 0; gy <= b.height; gy += 5)
                    p.drawPoint(bg.body.topLeft() + QPointF(gx, gy) * s);
            p.setPen(QPen(QColor(170, 170, 170), 1, Qt::DashLine));
            p.drawLine(bg.body.bottomLeft(), bg.body.bottomRight());

            LayoutPage page;
            for (const ReportObject &o : b.objects) {
                LayoutItem it = report::designItem(o);
                if (o.kind == ObjectKind::Picture) {
                    // A picture has no image at design time: show its place.
                    it.kind = LayoutItem::Rect;
                    it.fill = QColor(225, 235, 250);
                    it.lineWidth = 0.2;
                }
                page.items.append(it);
            }
            p.save();
            p.translate(bg.body.topLeft());
            p.setClipRect(QRectF(QPointF(-t().page.left * s, 0), QSizeF(t().page.size().width() * s, bg.body.height() + 1)));
            report::paintPage(p, page, s);
            p.restore();
            for (const ReportObject &o : b.objects) {
                const QRectF r = objectRect(bg.body, o);
                if (o.kind == ObjectKind::Picture) {
                    p.setPen(QColor(60, 90, 140));
                    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, u"图片\n"_s + o.name);
                } else if (o.kind == ObjectKind::Memo && o.frame.isEmpty()) {
                    p.setPen(QPen(QColor(180, 180, 180), 1, Qt::DotLine));
                    p.setBrush(Qt::NoBrush);
                    p.drawRect(r);
                }
            }
        }
        if (!m_d->m_selected.isEmpty()) {
            const QRectF r = rectOf(m_d->m_selected);
            if (!r.isNull() || r.width() > 0 || r.height() > 0) {
                p.setPen(QPen(QColor(0, 90, 220), 2));
                p.setBrush(Qt::NoBrush);
                p.drawRect(r.adjusted(-1, -1, 1, 1));
                p.fillRect(handleOf(m_d->m_selected), QColor(0, 90, 220));
            }
        }
        if (t().bands.isEmpty()) {
            p.setPen(Qt::darkGray);
            p.drawText(rect(), Qt::AlignCenter, u"空报表: 请用 \"添加数据带\" 开始设计"_s);
        }
    }

    void mousePressEvent(QMouseEvent *e) override
    {
        setFocus();
        if (e->button() != Qt::LeftButton)
            return;
        const QPointF pos = e->position();
        m_mode = None;
        m_press = pos;
        if (!m_d->m_selected.isEmpty() && handleOf(m_d->m_selected).contains(pos)) {
            beginObject(Resize);
            return;
        }
        const auto g = geometry();
        // a band's lower edge comes before the objects standing on it
        for (const BandGeom &bg : g) {
            if (std::abs(pos.y() - bg.body.bottom()) <= 3 && pos.x() >= bg.body.left() && pos.x() <= bg.body.right()) {
                m_d->selectBand(t().bands.at(bg.index).name);
                m_mode = BandResize;
                m_origBand = t().bands.at(bg.index);
                return;
            }
        }
        for (int i = int(g.size()) - 1; i >= 0; --i) {
            const ReportBand &b = t().bands.at(g.at(i).index);
            for (int k = int(b.objects.size()) - 1; k >= 0; --k)
                if (objectRect(g.at(i).body, b.objects.at(k)).adjusted(-3, -3, 3, 3).contains(pos)) {
                    m_d->selectObject(b.objects.at(k).name);
                    beginObject(Move);
                    return;
                }
        }
        const int bi = bandAt(pos);
        m_d->selectBand(bi >= 0 ? t().bands.at(bi).name : QString());
    }

    void mouseMoveEvent(QMouseEvent *e) override
    {
        if (m_mode == None || !(e->buttons() & Qt::LeftButton))
            return;
        const QPointF d = (e->position() - m_press) / scale();
        if (m_mode == BandResize) {
            if (ReportBand *b = m_d->m_design.findBand(m_origBand.name))
                b->height = std::max(kGrid, snap(m_origBand.height + d.y()));
            relayout();
            return;
        }
        ReportObject *o = m_d->m_design.findObject(m_origObj.name);
        if (!o)
            return;
        if (m_mode == Move)
            o->rect.moveTopLeft(QPointF(snap(m_origObj.rect.x() + d.x()), snap(m_origObj.rect.y() + d.y())));
        else {
            const double minSize = m_origObj.kind == ObjectKind::Line ? 0 : kGrid;
            o->rect.setWidth(std::max(minSize, snap(m_origObj.rect.width() + d.x())));
            o->rect.setHeight(std::max(minSize, snap(m_origObj.rect.height() + d.y())));
        }
        m_moved = true;
        update();
    }

    void mouseReleaseEvent(QMouseEvent *e) override
    {
        const Mode mode = m_mode;
        m_mode = None;
        if (mode == BandResize) {
            ReportBand *b = m_d->m_design.findBand(m_origBand.name);
            if (b && b->height != m_origBand.height) {
                const ReportBand after = *b;
                *b = m_origBand;
                m_d->replaceBand(after.name, after);
            }
            return;
        }
        if ((mode != Move && mode != Resize) || !m_moved)
            return;
        ReportObject *o = m_d->m_design.findObject(m_origObj.name);
        if (!o)
            return;
        ReportObject after = *o;
        *o = m_origObj;  // the command records the change from the state before the drag
        QString band;
        if (mode == Move) {
            // dropped over another band: the object moves into it
            const auto g = geometry();
            const int from = t().bandIndexOfObject(after.name);
            const int to = bandAt(e->position());
            if (to >= 0 && to != from) {
                const QPointF canvasTopLeft = g.at(from).body.topLeft() + after.rect.topLeft() * scale();
                const QPointF rel = (canvasTopLeft - g.at(to).body.topLeft()) / scale();
                after.rect.moveTopLeft(QPointF(snap(rel.x()), std::max(0.0, snap(rel.y()))));
                band = t().bands.at(to).name;
            }
        }
        if (!(after == m_origObj) || !band.isEmpty())
            m_d->replaceObject(after.name, after, band);
    }

    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Delete)
            m_d->deleteSelection();
        else
            QWidget::keyPressEvent(e);
    }

    void dragEnterEvent(QDragEnterEvent *e) override
    {
        if (e->mimeData()->hasText())
            e->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent *e) override
    {
        if (bandAt(e->position()) >= 0)
            e->acceptProposedAction();
        else
            e->ignore();
    }
    void dropEvent(QDropEvent *e) override
    {
        const int bi = bandAt(e->position());
        if (bi < 0)
            return;
        const QRectF body = geometry().at(bi).body;
        const QPointF mm((e->position().x() - body.left()) / scale(), std::max(0.0, (e->position().y() - body.top()) / scale()));
        const QString band = t().bands.at(bi).name;
        if (e->mimeData()->hasFormat(kFieldMime)) {
            const QStringList af = QString::fromUtf8(e->mimeData()->data(kFieldMime)).split(u'\n');
            if (af.size() == 2)
                m_d->dropField(af.at(0), af.at(1), band, mm);
        } else {
            m_d->addObject(ObjectKind::Memo, band, mm, e->mimeData()->text());
        }
        e->acceptProposedAction();
    }

private:
    enum Mode { None, Move, Resize, BandResize };
    void beginObject(Mode mode)
    {
        m_mode = mode;
        m_moved = false;
        m_origObj = *t().findObject(m_d->m_selected);
    }

    ReportDesigner *m_d;
    double m_zoom = 1.0;
    Mode m_mode = None;
    bool m_moved = false;
    QPointF m_press;
    ReportObject m_origObj;
    ReportBand m_origBand;
};

// ---- the dialog ------------------------------------------------------------------

ReportDesigner::ReportDesigner(Report &report, QWidget *parent)
    : QDialog(parent), m_report(report), m_design(report.design())
{
    setObjectName(u"ReportDesigner"_s);
    setWindowTitle(u"报表设计"_s + (report.name().isEmpty() ? QString() : u" - "_s + report.name()));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(1200, 800);
    m_undo = new QUndoStack(this);

    auto *bar = new QToolBar(this);
    bar->setObjectName(u"DesignerToolBar"_s);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto act = [&](const QString &name, const QString &text, auto slot) {
        QAction *a = bar->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QAction *saveAct = act(u"Act_Save"_s, u"保存"_s, [this] { save(); });
    saveAct->setShortcut(QKeySequence::Save);
    QAction *undo = m_undo->createUndoAction(this, u"撤销"_s);
    undo->setObjectName(u"Act_Undo"_s);
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = m_undo->createRedoAction(this, u"重做"_s);
    redo->setObjectName(u"Act_Redo"_s);
    redo->setShortcut(QKeySequence::Redo);
    bar->addAction(undo);
    bar->addAction(redo);
    bar->addSeparator();
    act(u"Act_AddMemo"_s, u"文本"_s, [this] { addObject(ObjectKind::Memo, targetBand(), {0, 0}); });
    act(u"Act_AddPicture"_s, u"图片"_s, [this] { addObject(ObjectKind::Picture, targetBand(), {0, 0}); });
    act(u"Act_AddLine"_s, u"线条"_s, [this] { addObject(ObjectKind::Line, targetBand(), {0, 0}); });
    act(u"Act_AddRect"_s, u"矩形"_s, [this] { addObject(ObjectKind::Rect, targetBand(), {0, 0}); });
    auto *bandMenu = new QMenu(this);
    for (BandKind k : {BandKind::ReportTitle, BandKind::PageHeader, BandKind::GroupHeader, BandKind::MasterData,
                       BandKind::GroupFooter, BandKind::PageFooter, BandKind::ReportSummary}) {
        QAction *a = bandMenu->addAction(bandCaption(k));
        a->setObjectName(u"Act_AddBand_"_s + ReportTemplate::kindName(k));
        connect(a, &QAction::triggered, this, [this, k] { addBand(k); });
    }
    auto *bandButton = new QToolButton(this);
    bandButton->setObjectName(u"Btn_AddBand"_s);
    bandButton->setText(u"添加数据带"_s);
    bandButton->setMenu(bandMenu);
    bandButton->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(bandButton);
    act(u"Act_Delete"_s, u"删除"_s, [this] { deleteSelection(); });
    bar->addSeparator();
    act(u"Act_ZoomIn"_s, u"放大"_s, [this] { m_canvas->setZoom(m_canvas->zoom() * 1.25); });
    act(u"Act_ZoomOut"_s, u"缩小"_s, [this] { m_canvas->setZoom(m_canvas->zoom() / 1.25); });
    bar->addSeparator();
    act(u"Act_Preview"_s, u"预览"_s, [this] { preview(); });
    act(u"Act_Close"_s, u"关闭"_s, [this] { reject(); });

    m_canvas = new DesignCanvas(this);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(u"DesignArea"_s);
    scroll->setWidget(m_canvas);
    scroll->setWidgetResizable(true);
    scroll->setBackgroundRole(QPalette::Dark);

    m_props = new QTableWidget(0, 2, this);
    m_props->setObjectName(u"Tbl_Properties"_s);
    m_props->setHorizontalHeaderLabels({u"属性"_s, u"值"_s});
    m_props->horizontalHeader()->setStretchLastSection(true);
    m_props->verticalHeader()->hide();
    connect(m_props, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *it) {
        if (!m_filling && it->column() == 1)
            propertyEdited(it->row());
    });

    m_fields = new FieldTree(this);
    m_fields->setObjectName(u"Tree_Fields"_s);
    m_fields->setHeaderLabel(u"数据字段 (拖到数据带上)"_s);
    m_fields->setDragEnabled(true);
    m_fields->setDragDropMode(QAbstractItemView::DragOnly);
    connect(m_fields, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *it) {
        if (it->parent())
            dropField(it->parent()->text(0), it->text(0), targetBand(), {0, 0});
    });

    m_problems = new QListWidget(this);
    m_problems->setObjectName(u"Lst_Problems"_s);

    auto *tabs = new QTabWidget(this);
    tabs->addTab(m_props, u"属性"_s);
    tabs->addTab(m_fields, u"数据字段"_s);
    auto *side = new QSplitter(Qt::Vertical, this);
    side->addWidget(tabs);
    auto *probBox = new QWidget(this);
    auto *probLay = new QVBoxLayout(probBox);
    probLay->setContentsMargins(0, 0, 0, 0);
    probLay->addWidget(new QLabel(u"未知的名称和表达式错误:"_s, probBox));
    probLay->addWidget(m_problems);
    side->addWidget(probBox);
    side->setStretchFactor(0, 3);
    side->setStretchFactor(1, 1);

    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(scroll);
    split->addWidget(side);
    split->setStretchFactor(0, 1);
    split->setSizes({880, 320});

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(bar);
    lay->addWidget(split, 1);

    fillFields();
    designChanged();
    if (m_design.page.size().width() > 250)
        m_canvas->setZoom(0.8);
}

ReportDesigner::~ReportDesigner() = default;

void ReportDesigner::setTestHook(TestHook hook) { testHook() = std::move(hook); }

int ReportDesigner::designReport(QWidget *parent, Report &report)
{
    ReportUi::reportLoadError(parent, report);
    ReportDesigner dlg(report, parent);
    if (testHook()) {
        testHook()(&dlg);
        return QDialog::Rejected;
    }
    return dlg.exec();
}

void ReportDesigner::selectObject(const QString &name)
{
    const ReportObject *o = m_design.findObject(name);
    m_selected = o ? o->name : QString();
    m_selectedBand.clear();
    fillProperties();
    m_canvas->update();
}

void ReportDesigner::selectBand(const QString &name)
{
    const ReportBand *b = m_design.findBand(name);
    m_selected.clear();
    m_selectedBand = b ? b->name : QString();
    fillProperties();
    m_canvas->update();
}

QRectF ReportDesigner::canvasRect(const QString &object) const { return m_canvas->rectOf(object); }

QRectF ReportDesigner::canvasBandRect(const QString &band) const
{
    for (const DesignCanvas::BandGeom &g : m_canvas->geometry())
        if (m_design.bands.at(g.index).name.compare(band, Qt::CaseInsensitive) == 0)
            return g.body;
    return {};
}

QStringList ReportDesigner::problems() const
{
    QStringList out;
    for (int i = 0; i < m_problems->count(); ++i)
        out << m_problems->item(i)->text();
    return out;
}

QString ReportDesigner::targetBand() const
{
    if (!m_selectedBand.isEmpty())
        return m_selectedBand;
    const int bi = m_design.bandIndexOfObject(m_selected);
    if (bi >= 0)
        return m_design.bands.at(bi).name;
    for (const ReportBand &b : m_design.bands)
        if (b.kind == BandKind::MasterData)
            return b.name;
    return m_design.bands.isEmpty() ? QString() : m_design.bands.first().name;
}

void ReportDesigner::addObject(ObjectKind kind, const QString &band, const QPointF &posMm, const QString &text)
{
    const ReportBand *b = m_design.findBand(band);
    if (!b) {
        ReportUi::showMessage(this, u"请先添加数据带。"_s);
        return;
    }
    ReportObject o;
    o.kind = kind;
    o.name = m_design.uniqueName(objectPrefix(kind));
    const QPointF at(snap(posMm.x()), snap(posMm.y()));
    switch (kind) {
    case ObjectKind::Memo: o.rect = QRectF(at, QSizeF(30, 6)); o.text = text.isEmpty() ? o.name : text; break;
    case ObjectKind::Picture: o.rect = QRectF(at, QSizeF(30, 40)); break;
    case ObjectKind::Line: o.rect = QRectF(at, QSizeF(40, 0)); break;
    case ObjectKind::Rect: o.rect = QRectF(at, QSizeF(30, 20)); break;
    }
    m_undo->push(new ObjectCommand(this, std::nullopt, ObjectCommand::State{b->name, int(b->objects.size()), o},
                                   u"添加 %1"_s.arg(o.name)));
}

void ReportDesigner::dropField(const QString &alias, const QString &field, const QString &band, const QPointF &posMm)
{
    addObject(ObjectKind::Memo, band, posMm, u"[%1.\"%2\"]"_s.arg(alias, field));
}

void ReportDesigner::addBand(BandKind kind)
{
    ReportBand b;
    b.kind = kind;
    b.name = m_design.uniqueName(ReportTemplate::kindName(kind));
    b.height = kind == BandKind::MasterData ? 7 : 10;
    if (kind == BandKind::MasterData && !m_report.aliases().isEmpty())
        b.dataSet = m_report.aliases().first();
    // keep the usual order: title, header, groups and data, footer, summary
    int index = 0;
    while (index < m_design.bands.size() && int(m_design.bands.at(index).kind) <= int(kind))
        ++index;
    m_undo->push(new BandCommand(this, std::nullopt, BandCommand::State{index, b}, u"添加 %1"_s.arg(b.name)));
    selectBand(b.name);
}

void ReportDesigner::deleteSelection()
{
    if (!m_selected.isEmpty()) {
        const int bi = m_design.bandIndexOfObject(m_selected);
        if (bi < 0)
            return;
        const ReportBand &b = m_design.bands.at(bi);
        int idx = 0;
        while (b.objects.at(idx).name.compare(m_selected, Qt::CaseInsensitive) != 0)
            ++idx;
        m_undo->push(new ObjectCommand(this, ObjectCommand::State{b.name, idx, b.objects.at(idx)}, std::nullopt,
                                       u"删除 %1"_s.arg(m_selected)));
    } else if (!m_selectedBand.isEmpty()) {
        for (int i = 0; i < m_design.bands.size(); ++i)
            if (m_design.bands.at(i).name == m_selectedBand) {
                m_undo->push(new BandCommand(this, BandCommand::State{i, m_design.bands.at(i)}, std::nullopt,
                                             u"删除 %1"_s.arg(m_selectedBand)));
                break;
            }
    }
}

void ReportDesigner::replaceObject(const QString &name, const ReportObject &after, const QString &band)
{
    const int bi = m_design.bandIndexOfObject(name);
    if (bi < 0)
        return;
    const ReportBand &b = m_design.bands.at(bi);
    int idx = 0;
    while (b.objects.at(idx).name.compare(name, Qt::CaseInsensitive) != 0)
        ++idx;
    ObjectCommand::State before{b.name, idx, b.objects.at(idx)};
    ObjectCommand::State to{b.name, idx, after};
    if (!band.isEmpty() && band.compare(b.name, Qt::CaseInsensitive) != 0) {
        const ReportBand *target = m_design.findBand(band);
        if (!target)
            return;
        to.band = target->name;
        to.index = int(target->objects.size());
    }
    m_undo->push(new ObjectCommand(this, before, to, u"修改 %1"_s.arg(name)));
}

void ReportDesigner::replaceBand(const QString &name, const ReportBand &after)
{
    for (int i = 0; i < m_design.bands.size(); ++i)
        if (m_design.bands.at(i).name.compare(name, Qt::CaseInsensitive) == 0) {
            m_undo->push(new BandCommand(this, BandCommand::State{i, m_design.bands.at(i)}, BandCommand::State{i, after},
                                         u"修改 %1"_s.arg(name)));
            return;
        }
}

void ReportDesigner::replacePage(const PageSetup &after)
{
    if (!(after == m_design.page))
        m_undo->push(new PageCommand(this, m_design.page, after));
}

void ReportDesigner::applyObject(const QString &removeName, const QString &band, int index, const ReportObject *obj)
{
    if (!removeName.isEmpty())
        for (ReportBand &b : m_design.bands)
            b.objects.removeIf([&](const ReportObject &o) { return o.name.compare(removeName, Qt::CaseInsensitive) == 0; });
    if (obj) {
        if (ReportBand *b = m_design.findBand(band))
            b->objects.insert(std::clamp(index, 0, int(b->objects.size())), *obj);
        m_selected = obj->name;
        m_selectedBand.clear();
    } else {
        m_selected.clear();
    }
    designChanged();
}

void ReportDesigner::applyBand(const QString &removeName, int index, const ReportBand *band)
{
    if (!removeName.isEmpty())
        m_design.bands.removeIf([&](const ReportBand &b) { return b.name.compare(removeName, Qt::CaseInsensitive) == 0; });
    m_selected.clear();
    m_selectedBand.clear();
    if (band) {
        m_design.bands.insert(std::clamp(index, 0, int(m_design.bands.size())), *band);
        m_selectedBand = band->name;
    }
    designChanged();
}

void ReportDesigner::applyPage(const PageSetup &page)
{
    m_design.page = page;
    designChanged();
}

void ReportDesigner::designChanged()
{
    if (!m_selected.isEmpty() && !m_design.findObject(m_selected))
        m_selected.clear();
    if (!m_selectedBand.isEmpty() && !m_design.findBand(m_selectedBand))
        m_selectedBand.clear();
    m_canvas->relayout();
    fillProperties();
    Report probe = m_report;
    probe.setDesign(m_design);
    m_problems->clear();
    m_problems->addItems(probe.check());
}

void ReportDesigner::fillFields()
{
    m_fields->clear();
    for (const QString &alias : m_report.aliases()) {
        auto *top = new QTreeWidgetItem(m_fields, {alias});
        top->setFlags(Qt::ItemIsEnabled);
        for (const QString &f : m_report.source(alias)->fieldNames())
            new QTreeWidgetItem(top, {f});
    }
    m_fields->expandAll();
}

namespace {
const Prop kObjectProps[] = {
    {"name", "名称"}, {"x", "左 (mm)"}, {"y", "上 (mm)"}, {"w", "宽 (mm)"}, {"h", "高 (mm)"},
    {"text", "文本"}, {"format", "显示格式"}, {"font", "字体"}, {"size", "字号"}, {"bold", "粗体"},
    {"align", "水平对齐"}, {"valign", "垂直对齐"}, {"wrap", "自动换行"}, {"stretch", "自动伸展"}, {"frame", "边框 (ltrb)"},
    {"lineWidth", "线宽 (mm)"}, {"field", "图片字段"}, {"file", "图片文件"},
};
const Prop kBandProps[] = {
    {"name", "名称"}, {"height", "高度 (mm)"}, {"dataset", "数据集"}, {"newPage", "每行换页"}, {"columns", "分栏数"},
    {"condition", "分组条件"}, {"printOnFirstPage", "首页打印"},
};
const Prop kPageProps[] = {
    {"paper", "纸张"}, {"landscape", "横向"}, {"width", "宽 (mm)"}, {"height", "高 (mm)"},
    {"left", "左边距"}, {"top", "上边距"}, {"right", "右边距"}, {"bottom", "下边距"},
};

bool objectHas(const ReportObject &o, QLatin1StringView k)
{
    static const QStringList memo{u"text"_s, u"format"_s, u"font"_s, u"size"_s, u"bold"_s, u"align"_s,
                                  u"valign"_s, u"wrap"_s, u"stretch"_s};
    if (memo.contains(k))
        return o.kind == ObjectKind::Memo;
    if (k == "field"_L1 || k == "file"_L1)
        return o.kind == ObjectKind::Picture;
    if (k == "frame"_L1)
        return o.kind != ObjectKind::Line;
    return true;
}

QString objectValue(const ReportObject &o, QLatin1StringView k)
{
    if (k == "name"_L1) return o.name;
    if (k == "x"_L1) return num(o.rect.x());
    if (k == "y"_L1) return num(o.rect.y());
    if (k == "w"_L1) return num(o.rect.width());
    if (k == "h"_L1) return num(o.rect.height());
    if (k == "text"_L1) return o.text;
    if (k == "format"_L1) return o.format;
    if (k == "font"_L1) return o.fontFamily;
    if (k == "size"_L1) return num(o.fontSize);
    if (k == "bold"_L1) return yesNo(o.bold);
    if (k == "align"_L1) return o.hAlign & Qt::AlignHCenter ? u"center"_s : o.hAlign & Qt::AlignRight ? u"right"_s : u"left"_s;
    if (k == "valign"_L1) return o.vAlign & Qt::AlignTop ? u"top"_s : o.vAlign & Qt::AlignBottom ? u"bottom"_s : u"center"_s;
    if (k == "wrap"_L1) return yesNo(o.wordWrap);
    if (k == "stretch"_L1) return yesNo(o.stretch);
    if (k == "frame"_L1) return o.frame;
    if (k == "lineWidth"_L1) return num(o.lineWidth);
    if (k == "field"_L1) return o.field;
    if (k == "file"_L1) return o.file;
    return {};
}

bool setObjectValue(ReportObject &o, QLatin1StringView k, const QString &v)
{
    bool ok = true;
    double d = 0;
    if (k == "name"_L1) { if (v.trimmed().isEmpty()) return false; o.name = v.trimmed(); }
    else if (k == "x"_L1) { if (!parseNum(v, &d)) return false; o.rect.moveLeft(d); }
    else if (k == "y"_L1) { if (!parseNum(v, &d)) return false; o.rect.moveTop(d); }
    else if (k == "w"_L1) { if (!parseNum(v, &d, 0)) return false; o.rect.setWidth(d); }
    else if (k == "h"_L1) { if (!parseNum(v, &d, 0)) return false; o.rect.setHeight(d); }
    else if (k == "text"_L1) o.text = v;
    else if (k == "format"_L1) o.format = v.trimmed();
    else if (k == "font"_L1) o.fontFamily = v.trimmed();
    else if (k == "size"_L1) { if (!parseNum(v, &d, 1)) return false; o.fontSize = d; }
    else if (k == "bold"_L1) o.bold = parseBool(v, &ok);
    else if (k == "wrap"_L1) o.wordWrap = parseBool(v, &ok);
    else if (k == "stretch"_L1) o.stretch = parseBool(v, &ok);
    else if (k == "align"_L1) {
        if (v == "left"_L1) o.hAlign = Qt::AlignLeft;
        else if (v == "center"_L1) o.hAlign = Qt::AlignHCenter;
        else if (v == "right"_L1) o.hAlign = Qt::AlignRight;
        else return false;
    } else if (k == "valign"_L1) {
        if (v == "top"_L1) o.vAlign = Qt::AlignTop;
        else if (v == "center"_L1) o.vAlign = Qt::AlignVCenter;
        else if (v == "bottom"_L1) o.vAlign = Qt::AlignBottom;
        else return false;
    } else if (k == "frame"_L1) {
        for (QChar c : v) if (!u"ltrb"_s.contains(c)) return false;
        o.frame = v;
    } else if (k == "lineWidth"_L1) { if (!parseNum(v, &d, 0)) return false; o.lineWidth = d; }
    else if (k == "field"_L1) o.field = v.trimmed();
    else if (k == "file"_L1) o.file = v.trimmed();
    return ok;
}

bool bandHas(const ReportBand &b, QLatin1StringView k)
{
    if (k == "dataset"_L1 || k == "newPage"_L1 || k == "columns"_L1) return b.kind == BandKind::MasterData;
    if (k == "condition"_L1) return b.kind == BandKind::GroupHeader;
    if (k == "printOnFirstPage"_L1) return b.kind == BandKind::PageHeader || b.kind == BandKind::PageFooter;
    return true;
}

QString bandValue(const ReportBand &b, QLatin1StringView k)
{
    if (k == "name"_L1) return b.name;
    if (k == "height"_L1) return num(b.height);
    if (k == "dataset"_L1) return b.dataSet;
    if (k == "newPage"_L1) return yesNo(b.newPage);
    if (k == "columns"_L1) return QString::number(b.columns);
    if (k == "condition"_L1) return b.condition;
    if (k == "printOnFirstPage"_L1) return yesNo(b.printOnFirstPage);
    return {};
}

bool setBandValue(ReportBand &b, QLatin1StringView k, const QString &v)
{
    bool ok = true;
    double d = 0;
    if (k == "name"_L1) { if (v.trimmed().isEmpty()) return false; b.name = v.trimmed(); }
    else if (k == "height"_L1) { if (!parseNum(v, &d, 0)) return false; b.height = d; }
    else if (k == "dataset"_L1) b.dataSet = v.trimmed();
    else if (k == "newPage"_L1) b.newPage = parseBool(v, &ok);
    else if (k == "columns"_L1) {
        if (!parseNum(v, &d, 1) || d > 50 || d != std::floor(d)) return false;
        b.columns = int(d);
    }
    else if (k == "condition"_L1) b.condition = v.trimmed();
    else if (k == "printOnFirstPage"_L1) b.printOnFirstPage = parseBool(v, &ok);
    return ok;
}

bool pageHas(const PageSetup &p, QLatin1StringView k)
{
    if (k == "width"_L1 || k == "height"_L1) return p.paper == "Custom"_L1;
    return true;
}

QString pageValue(const PageSetup &p, QLatin1StringView k)
{
    if (k == "paper"_L1) return p.paper;
    if (k == "landscape"_L1) return yesNo(p.landscape);
    if (k == "width"_L1) return num(p.customWidth);
    if (k == "height"_L1) return num(p.customHeight);
    if (k == "left"_L1) return num(p.left);
    if (k == "top"_L1) return num(p.top);
    if (k == "right"_L1) return num(p.right);
    if (k == "bottom"_L1) return num(p.bottom);
    return {};
}

bool setPageValue(PageSetup &p, QLatin1StringView k, const QString &v)
{
    bool ok = true;
    double d = 0;
    if (k == "paper"_L1) {
        const QString t = v.trimmed();
        bool known = false;
        for (const QString &n : PageSetup::paperNames())
            if (n.compare(t, Qt::CaseInsensitive) == 0) { p.paper = n; known = true; }
        return known;
    }
    if (k == "landscape"_L1) p.landscape = parseBool(v, &ok);
    else if (!parseNum(v, &d, 0)) return false;
    else if (k == "width"_L1) { if (d <= 0) return false; p.customWidth = d; }
    else if (k == "height"_L1) { if (d <= 0) return false; p.customHeight = d; }
    else if (k == "left"_L1) p.left = d;
    else if (k == "top"_L1) p.top = d;
    else if (k == "right"_L1) p.right = d;
    else if (k == "bottom"_L1) p.bottom = d;
    return ok;
}
} // namespace

void ReportDesigner::fillProperties()
{
    m_filling = true;
    m_props->setRowCount(0);
    const auto addRow = [&](const Prop &pr, const QString &value) {
        const int row = m_props->rowCount();
        m_props->insertRow(row);
        auto *cap = new QTableWidgetItem(QString::fromUtf8(pr.caption));
        cap->setFlags(Qt::ItemIsEnabled);
        cap->setData(Qt::UserRole, QString::fromLatin1(pr.key));
        m_props->setItem(row, 0, cap);
        m_props->setItem(row, 1, new QTableWidgetItem(value));
    };
    if (const ReportObject *o = m_design.findObject(m_selected)) {
        for (const Prop &pr : kObjectProps)
            if (objectHas(*o, QLatin1StringView(pr.key)))
                addRow(pr, objectValue(*o, QLatin1StringView(pr.key)));
    } else if (const ReportBand *b = m_design.findBand(m_selectedBand)) {
        for (const Prop &pr : kBandProps)
            if (bandHas(*b, QLatin1StringView(pr.key)))
                addRow(pr, bandValue(*b, QLatin1StringView(pr.key)));
    } else {
        for (const Prop &pr : kPageProps)
            if (pageHas(m_design.page, QLatin1StringView(pr.key)))
                addRow(pr, pageValue(m_design.page, QLatin1StringView(pr.key)));
    }
    m_filling = false;
}

void ReportDesigner::propertyEdited(int row)
{
    const QString key = m_props->item(row, 0)->data(Qt::UserRole).toString();
    const QByteArray k8 = key.toLatin1();
    const QLatin1StringView k(k8);
    const QString value = m_props->item(row, 1)->text();
    bool ok = false;
    if (const ReportObject *o = m_design.findObject(m_selected)) {
        ReportObject after = *o;
        ok = setObjectValue(after, k, value);
        const ReportObject *clash = m_design.findObject(after.name);
        if (ok && clash && clash != o)
            ok = false; // names stay unique: the program finds objects by name
        if (ok && !(after == *o))
            replaceObject(o->name, after);
    } else if (const ReportBand *b = m_design.findBand(m_selectedBand)) {
        ReportBand after = *b;
        ok = setBandValue(after, k, value);
        const ReportBand *clash = m_design.findBand(after.name);
        if (ok && clash && clash != b)
            ok = false;
        if (ok && !(after == *b))
            replaceBand(b->name, after);
    } else {
        PageSetup after = m_design.page;
        ok = setPageValue(after, k, value);
        if (ok)
            replacePage(after);
    }
    if (!ok)
        fillProperties(); // put the old value back
}

bool ReportDesigner::save()
{
    if (m_report.fileName().isEmpty()) {
        const QString path = ReportUi::askSaveFile(this, u"保存报表"_s, m_report.name() + u".fr3"_s, u"报表文件 (*.fr3)"_s);
        if (path.isEmpty())
            return false;
        m_report.setFileName(path);
    }
    const ReportTemplate previous = m_report.design();
    m_report.setDesign(m_design);
    if (!m_report.saveToFile()) {
        m_report.setDesign(previous);
        ReportUi::showMessage(this, m_report.lastError());
        return false;
    }
    m_undo->setClean();
    return true;
}

void ReportDesigner::preview()
{
    Report copy = m_report;
    copy.setDesign(m_design);
    ReportPreview::showReport(this, copy);
}

void ReportDesigner::reject()
{
    if (!m_undo->isClean()) {
        const int answer = ReportUi::askYesNoCancel(this, u"报表已修改, 是否保存?"_s);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !save()))
            return;
    }
    QDialog::reject();
}
