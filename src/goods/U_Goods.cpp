#include "U_Goods.h"
#include "ui_U_Goods.h"

#include "GoodsActions.h"
#include "GoodsRules.h"
#include "app/Actions.h"
#include "app/Prompt.h"
#include "app/ReportSource.h"
#include "app/Session.h"
#include "app/U_data.h"
#include "grid/CategoryTree.h"
#include "grid/DataGrid.h"
#include "grid/GridOps.h"
#include "grid/U_tree.h"
#include "report/Report.h"
#include "report/ReportPreview.h"
#include "grid/U_FieldShow.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {
TFrm_Goods *g_open = nullptr;

const QString kAllGoods = u"select * from T_Goods order by GoodsCode"_s;

// Hourglass for the length of a query.
struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// A LIKE pattern that matches the text literally: % _ and \ are data, not wildcards.
QString likeLiteral(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            out += u'\\';
        out += c;
    }
    return out;
}
} // namespace

TFrm_Goods::TFrm_Goods(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrm_Goods>())
{
    ui->setupUi(this);
    g_open = this;
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    ui->Splitter1->setStretchFactor(0, 0);
    ui->Splitter1->setStretchFactor(1, 1);
    ui->Splitter1->setSizes({220, 680});
    // Deep category names scroll sideways instead of being cut off.
    ui->TreeView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->TreeView1->header()->setStretchLastSection(false);

    m_status = new QLabel(ui->StatusBar1);
    m_status->setObjectName(u"StatusBar1_Panel0"_s);
    ui->StatusBar1->addWidget(m_status, 1);

    // The record commands are the main window's actions, shared with its menus.
    const struct { QToolButton *button; const char16_t *action; } bound[] = {
        {ui->TB_Add, u"AddGoods"},   {ui->TB_Edit, u"EditGoods"},  {ui->TB_Del, u"DelGoods"},
        {ui->TB_Cancel, u"CancelGoods"}, {ui->TB_Print, u"Q_goods"}, {ui->ToolButton1, u"Exp_goods"},
    };
    for (const auto &b : bound) {
        if (QAction *a = Actions::find(QString::fromUtf16(b.action)))
            b.button->setDefaultAction(a);
        else
            b.button->setEnabled(false);
    }
    for (QToolButton *b : ui->ToolBar1->findChildren<QToolButton *>()) {
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(32, 32));
        b->setMinimumWidth(67);
        b->setAutoRaise(true);
    }
    connect(ui->TB_Exit, &QToolButton::clicked, this, &QDialog::reject);

    DataGrid *grid = ui->DBGridEh1;
    grid->setDataSet(Frm_Data()->Qry_Goods);
    grid->setReadOnly(true);
    grid->setMultiSelect(true);
    connect(grid, &DataGrid::rowDoubleClicked, this, [] { Actions::trigger(u"EditGoods"_s); });
    connect(grid, &DataGrid::sortMarkingChanged, this, [this] { ApplyGridSort(ui->DBGridEh1, Frm_Data()->Qry_Goods); });

    connect(ui->TreeView1, &QTreeWidget::itemDoubleClicked, this, [this] { TreeView1DblClick(); });
    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_Goods::Btn_OKClick);

    buildMenus();

    // Enter moves to the next control everywhere (and searches in the key box);
    // Delete in the grid deletes.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

TFrm_Goods::~TFrm_Goods()
{
    if (g_open == this)
        g_open = nullptr;
}

TFrm_Goods *TFrm_Goods::openInstance() { return g_open; }

DataGrid *TFrm_Goods::grid() const { return ui->DBGridEh1; }

QString TFrm_Goods::statusText() const { return m_status->text(); }

void TFrm_Goods::setStatus(const QString &text) { m_status->setText(text); }

void TFrm_Goods::buildMenus()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    N1 = PopupMenu1->addAction(u"刷新"_s, this, &TFrm_Goods::N1Click);
    N1->setObjectName(u"N1"_s);
    N2 = PopupMenu1->addAction(u"商品分组管理"_s, this, &TFrm_Goods::N2Click);
    N2->setObjectName(u"N2"_s);
    connect(ui->TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PopupMenu1->popup(ui->TreeView1->viewport()->mapToGlobal(p)); });

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(u"PopupMenu2"_s);
    const struct { const char16_t *action; const char16_t *entry; const char16_t *caption; } shared[] = {
        {u"Addgoods_Add", u"N3", u"添加商品"},
        {u"Addgoods_Edit", u"N13", u"编辑商品"},
        {u"Addgoods_del", u"N14", u"删除商品"},
    };
    for (const auto &s : shared) {
        // The entry is the main window's action itself, so its right and shortcut apply here too.
        if (QAction *a = Actions::find(QString::fromUtf16(s.action))) {
            PopupMenu2->addAction(a);
            addAction(a);
        }
    }
    PopupMenu2->addSeparator();
    N4 = PopupMenu2->addAction(u"刷新"_s, this, &TFrm_Goods::N4Click);
    N4->setObjectName(u"N4"_s);
    N4->setShortcut(QKeySequence(Qt::Key_F5));
    addAction(N4);
    N6 = PopupMenu2->addAction(u"批量修改商品分类"_s, this, &TFrm_Goods::N6Click);
    N6->setObjectName(u"N6"_s);
    PopupMenu2->addSeparator();
    N8_goods = PopupMenu2->addAction(u"设置字段显示"_s, this, &TFrm_Goods::N8_goodsClick);
    N8_goods->setObjectName(u"N8_goods"_s);
    N9 = PopupMenu2->addAction(u"保存表格设置"_s, this, &TFrm_Goods::N9Click);
    N9->setObjectName(u"N9"_s);
    N11 = PopupMenu2->addMenu(u"导出数据"_s);
    N11->setObjectName(u"N11"_s);
    N11->menuAction()->setObjectName(u"N11_action"_s);
    Excel1 = N11->addAction(u"导出成Excel文件"_s, this, &TFrm_Goods::Excel1Click);
    Excel1->setObjectName(u"Excel1"_s);
    Excel2 = N11->addAction(u"另存为Excel文件"_s, this, &TFrm_Goods::Excel2Click);
    Excel2->setObjectName(u"Excel2"_s);

    setContextMenuPolicy(Qt::CustomContextMenu);
    auto popup = [this](QWidget *w) {
        return [this, w](const QPoint &p) { PopupMenu2->popup(w->mapToGlobal(p)); };
    };
    connect(this, &QWidget::customContextMenuRequested, this, popup(this));
    QTableView *view = ui->DBGridEh1->view();
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, popup(view->viewport()));
}

void TFrm_Goods::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Goods::rebuildColumns()
{
    BuildGridColumns(ui->DBGridEh1, Frm_Data()->Qry_Goods, u"goods"_s);
}

void TFrm_Goods::FormShow()
{
    m_shown = true;
    TFrm_Data *dm = Frm_Data();
    setWindowTitle(u"商品资料管理"_s);
    ui->Edit_key->clear();
    ui->Edit_key->setFocus();

    ui->Combo_Field->clear();
    QSqlQuery q;
    if (dm->ADOConnection1.query(q, u"select name from T_FieldShow where tablename = ? order by ShowID"_s,
                                 SqlArgs{u"goods"_s}))
        while (q.next())
            ui->Combo_Field->addItem(q.value(0).toString());
    if (ui->Combo_Field->count() > 1)
        ui->Combo_Field->setCurrentIndex(1);

    if (dm->OpenSQL(dm->Qry_Goods, kAllGoods))
        BuildGridColumns(ui->DBGridEh1, dm->Qry_Goods, u"Goods"_s);
    LoadCategoryTree(ui->TreeView1, u"goods_Category"_s, u"商品分类"_s);
    setStatus(u"当前共有 "_s + QString::number(dm->Qry_Goods->rowCount()) + u" 条记录"_s);

    ui->TB_Save->hide();
    ui->TB_Cancel->hide();
    ui->ToolButton2->hide();
    applyWindowRights();
}

void TFrm_Goods::applyWindowRights()
{
    const Session &s = Session::instance();
    ui->Btn_OK->setEnabled(s.right(12));
    N6->setEnabled(s.right(14));
    N11->menuAction()->setEnabled(s.right(15));
    N11->setEnabled(s.right(15));
    N8_goods->setEnabled(s.right(62));
    N2->setEnabled(s.right(63));
}

void TFrm_Goods::TreeView1DblClick()
{
    QTreeWidget *tree = ui->TreeView1;
    if (tree->topLevelItemCount() == 0)
        return;
    QTreeWidgetItem *item = tree->currentItem();
    if (!item)
        return;
    TFrm_Data *dm = Frm_Data();
    WaitCursor wait;
    const QString code = CategoryCode(item);
    // A category lists its own goods and those of every category below it.
    const bool ok = code.isEmpty()
        ? dm->OpenSQL(dm->Qry_Goods, u"select * from T_Goods order by GoodsID"_s)
        : dm->OpenSQL(dm->Qry_Goods, u"select * from T_Goods where GoodsType like ? escape '\\' order by GoodsID"_s,
                      SqlArgs{QString(likeLiteral(code) + u'%')});
    if (ok)
        rebuildColumns();
    setStatus(u" 共有 "_s + QString::number(dm->Qry_Goods->rowCount()) + u" 条记录"_s);
}

void TFrm_Goods::Btn_OKClick()
{
    TFrm_Data *dm = Frm_Data();
    Database &db = dm->ADOConnection1;
    WaitCursor wait;
    ui->Btn_OK->setEnabled(false);
    const QString key = ui->Edit_key->text().trimmed();
    bool ok = false;
    if (key.isEmpty()) {
        // An empty key lists every row, also those whose column is empty (NULL).
        ok = dm->OpenSQL(dm->Qry_Goods, u"select * from T_Goods"_s);
    } else {
        QString error;
        bool found = false;
        const QVariant field = db.scalar(u"select Field from T_FieldShow where tablename = ? and name = ?"_s,
                                         SqlArgs{u"goods"_s, ui->Combo_Field->currentText()}, &found, &error);
        const QString column = field.toString().trimmed();
        // The column name goes into the statement as an identifier: only a column of
        // the goods table is accepted.
        QStringList columns;
        QSqlQuery probe;
        if (db.query(probe, u"select * from T_Goods where 1 = 0"_s))
            for (int i = 0; i < probe.record().count(); ++i)
                columns << probe.record().fieldName(i);
        if (!found || !columns.contains(column, Qt::CaseInsensitive)) {
            Prompt::databaseError(this, error.isEmpty() ? QString(u"无效的查询字段: "_s + column) : error);
        } else {
            ok = dm->OpenSQL(dm->Qry_Goods,
                             u"select * from T_Goods where "_s + db.likeCI(db.asText(column), u"?"_s),
                             SqlArgs{QString(u'%' + likeLiteral(key) + u'%')});
        }
    }
    if (ok)
        rebuildColumns();
    setStatus(u" 共有 "_s + QString::number(dm->Qry_Goods->rowCount()) + u" 条记录"_s);
    ui->Btn_OK->setEnabled(Session::instance().right(12));
}

void TFrm_Goods::N1Click() { LoadCategoryTree(ui->TreeView1, u"goods_Category"_s, u"商品分类"_s); }

void TFrm_Goods::N2Click()
{
    TFrm_Tree::open(this, u"Goods_Category"_s, u"商品分类"_s);
}

void TFrm_Goods::N4Click()
{
    TFrm_Data *dm = Frm_Data();
    if (dm->OpenSQL(dm->Qry_Goods, kAllGoods))
        rebuildColumns();
    setStatus(u"当前共有 "_s + QString::number(dm->Qry_Goods->rowCount()) + u" 条记录"_s);
}

void TFrm_Goods::N6Click() { Actions::trigger(u"BatchEdit"_s); }

void TFrm_Goods::N8_goodsClick()
{
    TFrm_FieldShow dlg(this);
    dlg.ConfigTableName = u"goods"_s;
    dlg.exec();
    rebuildColumns();
}

void TFrm_Goods::N9Click() { SaveGridLayout(ui->DBGridEh1, u"goods"_s, 1); }

void TFrm_Goods::Excel1Click() { ExportGridToExcel(Frm_Data()->Qry_Goods, ui->DBGridEh1, this); }

void TFrm_Goods::Excel2Click()
{
    DataSet *g = Frm_Data()->Qry_Goods;
    if (g->isEmpty()) {
        Prompt::plain(this, u"当前没有记录"_s);
        return;
    }
    const QString typed = Prompt::saveFileName(this, u"另存为Excel文件"_s, QString(), u"Excel文件(*.xlsx)"_s);
    if (typed.isEmpty())
        return;
    QString error;
    if (!WriteGridWorkbook(g, ui->DBGridEh1, ExportFileName(typed), &error, this))
        Prompt::error(this, u"错误"_s, error);
}

void TFrm_Goods::DelGoodsExecute()
{
    DataSet *g = Frm_Data()->Qry_Goods;
    if (g->isEmpty()) {
        Prompt::plain(this, u"没有删除的记录！"_s);
        return;
    }
    const QList<int> rows = ui->DBGridEh1->selectedRows();
    const bool batch = rows.size() >= 2;
    const QString question = batch ? u"确定要删除这批商品记录吗！"_s : u"确定要删除这条商品记录吗！"_s;
    if (Prompt::yesNo(this, u"警告"_s, question, Prompt::Icon::Information)) {
        QList<QVariant> ids;
        if (batch) {
            for (int row : rows)
                ids << g->value(row, u"GoodsID"_s);
        } else {
            ids << g->value(u"GoodsID"_s);
        }
        const QList<QVariant> failed = goods::deleteGoods(g, ids);
        const QString failure = batch ? u"批量删除商品记录失败,请与软件开发商联系!"_s
                                      : u"删除商品记录失败,请与软件开发商联系!"_s;
        // One box per row that stayed, as each row is deleted on its own.
        for (qsizetype i = 0; i < failed.size(); ++i)
            Prompt::show(this, Session::instance().ProgramTitle, failure, Prompt::Icon::Question);
    }
    N4Click();
}

void TFrm_Goods::Q_goodsExecute()
{
    TFrm_Data *dm = Frm_Data();
    Report *report = dm->report(u"frx_goods"_s);
    if (!report)
        return;
    // The report lists what the catalogue shows: the shared goods query as data set "m".
    DataSetReportSource source(dm->Qry_Goods);
    report->bind(u"m"_s, &source);
    ReportPreview::showReport(this, *report);
    report->bind(u"m"_s, nullptr);
}

void TFrm_Goods::done(int r)
{
    goods::CancelGoodsExecute();
    QDialog::done(r);
}

bool TFrm_Goods::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        const int key = ke->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The key box searches on Enter, as far as the operator may search at all.
            if (watched == ui->Edit_key && ui->Btn_OK->isEnabled())
                Btn_OKClick();
            focusNextChild();
            return true;
        }
        if (key == Qt::Key_Delete && (watched == ui->DBGridEh1->view() || watched == ui->DBGridEh1->view()->viewport())) {
            Actions::trigger(u"DelGoods"_s);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
