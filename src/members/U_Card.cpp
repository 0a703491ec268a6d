#include "U_Card.h"
#include "ui_U_Card.h"

#include "MemberRules.h"
#include "app/Actions.h"
#include "app/Prompt.h"
#include "app/Session.h"
#include "app/U_data.h"
#include "app/WindowHost.h"
#include "core/Format.h"
#include "grid/CategoryTree.h"
#include "grid/DataGrid.h"
#include "grid/GridOps.h"
#include "grid/U_FieldShow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString FieldCardCode = u"会员卡号"_s;

struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TFrm_Card::TFrm_Card(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TFrm_Card>())
{
    ui->setupUi(this);
    setFont(QFont(u"WenQuanYi Micro Hei"_s, 9));
    ui->Splitter1->setStretchFactor(0, 0);
    ui->Splitter1->setStretchFactor(1, 1);
    ui->Splitter1->setSizes({180, 900});
    ui->Splitter2->setSizes({520, 300});
    ui->Splitter2->setStretchFactor(0, 3);
    ui->Splitter2->setStretchFactor(1, 2);
    ui->Splitter3->setStretchFactor(0, 3);
    ui->Splitter3->setStretchFactor(1, 2);

    ui->DBGridEh1->setMultiSelect(true);
    ui->DBGridEh1->setReadOnly(true);
    ui->DBGridEh2->setReadOnly(true);
    ui->DBGridEh4->setReadOnly(true);
    ui->DBGridEh2->setFooterVisible(true);
    ui->DBGridEh4->setFooterVisible(true);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TFrm_Card::Timer1Timer);

    buildMenus();

    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_Card::Btn_OKClick);
    connect(ui->Button1, &QPushButton::clicked, this, [] { Actions::trigger(u"Card_XF"_s); });
    connect(ui->Btn_huancard, &QPushButton::clicked, this,
            [this] { PopupMenu5->popup(ui->Btn_huancard->mapToGlobal(QPoint(0, ui->Btn_huancard->height()))); });
    // A card reader types the whole number and Enter well within the 100 ms;
    // anything typed by hand into this box is cleared.
    connect(ui->Edit_key, &QLineEdit::textChanged, this, [this] {
        if (!Timer1->isActive())
            Timer1->start();
    });
    connect(ui->Edit_key, &QLineEdit::returnPressed, this, &TFrm_Card::Edit_keyKeyPress);
    connect(ui->Edit_key1, &QLineEdit::returnPressed, this, [this] {
        if (ui->Btn_OK->isEnabled())
            Btn_OKClick();
    });
    connect(ui->TreeView1, &QTreeWidget::itemDoubleClicked, this, [this] { TreeView1DblClick(); });
    connect(ui->TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PopupMenu4->popup(ui->TreeView1->viewport()->mapToGlobal(p)); });
    connect(ui->DBGridEh1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PopupMenu1->popup(ui->DBGridEh1->mapToGlobal(p)); });
    connect(ui->DBGridEh2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PopupMenu2->popup(ui->DBGridEh2->mapToGlobal(p)); });
    connect(ui->DBGridEh1, &DataGrid::rowDoubleClicked, this, [] {
        if (Actions::isEnabled(u"EditCard"_s))
            Actions::trigger(u"EditCard"_s);
    });
    connect(ui->DBGridEh2, &DataGrid::rowDoubleClicked, this, [] {
        if (Actions::isEnabled(u"EditCash"_s))
            Actions::trigger(u"EditCash"_s);
    });
    connect(ui->DBGridEh2->view(), &QAbstractItemView::clicked, this, [this] { ui->DBGridEh4->refreshFooter(); });
    connect(ui->DBGridEh1, &DataGrid::sortMarkingChanged, this,
            [this] { ApplyGridSort(ui->DBGridEh1, Frm_Data()->Qry_Card); });
    connect(ui->DBGridEh2, &DataGrid::sortMarkingChanged, this,
            [this] { ApplyGridSort(ui->DBGridEh2, Frm_Data()->Qry_CardCash); });
    ui->DBGridEh1->view()->installEventFilter(this);

    connect(ui->SpeedButton1, &QToolButton::clicked, this, [] { Actions::trigger(u"AddCash"_s); });
    connect(ui->SpeedButton2, &QToolButton::clicked, this, [] { Actions::trigger(u"EditCash"_s); });
    connect(ui->SpeedButton3, &QToolButton::clicked, this, [] { Actions::trigger(u"DelCash"_s); });

    if (TFrm_Data *dm = Frm_Data()) {
        ui->DBGridEh1->setDataSet(dm->Qry_Card);
        ui->DBGridEh2->setDataSet(dm->Qry_CardCash);
        ui->DBGridEh4->setDataSet(dm->Qry_Detail);
        DataSet *cards = dm->Qry_Card;
        ui->DBGridEh1->setRowColor([cards](int row) {
            return fmt::isExpired(cards->value(row, u"EndDate"_s)) ? QColor(Qt::red) : QColor();
        });
        connect(cards, &DataSet::afterScroll, this, &TFrm_Card::RefreshFooters);
    }
    connect(&Session::instance(), &Session::rightsChanged, this, &TFrm_Card::applyRights);
}

TFrm_Card::~TFrm_Card() = default;

DataGrid *TFrm_Card::memberGrid() const { return ui->DBGridEh1; }

QAction *TFrm_Card::actionItem(QMenu *menu, const char *itemName, const QString &caption, const QString &actionName)
{
    auto *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(itemName));
    if (!actionName.isEmpty()) {
        if (QAction *main = Actions::find(actionName)) {
            if (!main->text().isEmpty())
                a->setText(main->text());
            a->setShortcut(main->shortcut());
        }
        connect(a, &QAction::triggered, this, [actionName] { Actions::trigger(actionName); });
    }
    return a;
}

void TFrm_Card::buildMenus()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    actionItem(PopupMenu1, "AddCard1", u"添加会员"_s, u"AddCard"_s);
    actionItem(PopupMenu1, "DelCard1", u"编辑会员"_s, u"EditCard"_s);
    actionItem(PopupMenu1, "DelCard2", u"删除会员"_s, u"DelCard"_s);
    actionItem(PopupMenu1, "N6", u"会员查询"_s, u"S_Card"_s);
    QAction *n5 = actionItem(PopupMenu1, "N5", u"刷新"_s, {});
    n5->setShortcut(QKeySequence(Qt::Key_F5));
    n5->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(n5); // F5 works without opening the menu
    connect(n5, &QAction::triggered, this, &TFrm_Card::N5Click);
    actionItem(PopupMenu1, "N20", u"兑换记录"_s, u"M_DHRecord"_s);
    PopupMenu1->addSeparator();
    connect(actionItem(PopupMenu1, "N8", u"设置字段显示"_s, {}), &QAction::triggered, this, &TFrm_Card::N8Click);
    connect(actionItem(PopupMenu1, "N13", u"保存表格设置"_s, {}), &QAction::triggered, this, &TFrm_Card::N13Click);
    actionItem(PopupMenu1, "N10", u"批量修改会员分类"_s, u"BatchEdit"_s);
    QMenu *n15 = PopupMenu1->addMenu(u"导出数据"_s);
    n15->setObjectName(u"N15"_s);
    n15->menuAction()->setObjectName(u"N15"_s);
    actionItem(n15, "Email1", u"导出E-Mail"_s, u"ExportEmail"_s);
    actionItem(n15, "N16", u"导出手机号码"_s, u"ExportMobile"_s);
    connect(actionItem(n15, "Excel1", u"导出成Excel文件"_s, {}), &QAction::triggered, this, &TFrm_Card::Excel1Click);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(u"PopupMenu2"_s);
    actionItem(PopupMenu2, "N2", u"新增消费"_s, u"AddCash"_s);
    actionItem(PopupMenu2, "N3", u"编辑消费"_s, u"EditCash"_s);
    actionItem(PopupMenu2, "N4", u"删除消费"_s, u"DelCash"_s);

    PopupMenu4 = new QMenu(this);
    PopupMenu4->setObjectName(u"PopupMenu4"_s);
    connect(actionItem(PopupMenu4, "N18", u"刷新"_s, {}), &QAction::triggered, this, &TFrm_Card::N18Click);
    actionItem(PopupMenu4, "N19", u"会员分组管理"_s, u"M_Category"_s);

    PopupMenu5 = new QMenu(this);
    PopupMenu5->setObjectName(u"PopupMenu5"_s);
    connect(actionItem(PopupMenu5, "MenuItem1", u"会员卡挂失"_s, {}), &QAction::triggered, this,
            &TFrm_Card::MenuItem1Click);
    connect(actionItem(PopupMenu5, "MenuItem2", u"取消挂失"_s, {}), &QAction::triggered, this,
            &TFrm_Card::MenuItem2Click);
    actionItem(PopupMenu5, "MenuItem3", u"会员换卡"_s, u"HuanCard"_s);
    actionItem(PopupMenu5, "N25", u"会员转帐"_s, u"CardPast"_s);

    // Items that stand for the main window's commands share their enablement.
    const QList<QPair<QString, QString>> follow = {
        {u"AddCard1"_s, u"AddCard"_s},   {u"DelCard1"_s, u"EditCard"_s}, {u"DelCard2"_s, u"DelCard"_s},
        {u"N6"_s, u"S_Card"_s},          {u"N20"_s, u"M_DHRecord"_s},   {u"N2"_s, u"AddCash"_s},
        {u"N3"_s, u"EditCash"_s},        {u"N4"_s, u"DelCash"_s},       {u"N19"_s, u"M_Category"_s},
        {u"MenuItem3"_s, u"HuanCard"_s}, {u"N25"_s, u"CardPast"_s},
    };
    for (QMenu *menu : {PopupMenu1, PopupMenu2, PopupMenu4, PopupMenu5}) {
        connect(menu, &QMenu::aboutToShow, this, [this, follow] {
            for (const auto &[item, action] : follow)
                if (auto *a = findChild<QAction *>(item))
                    a->setEnabled(Actions::isEnabled(action));
            applyRights();
        });
    }
}

void TFrm_Card::applyRights()
{
    const Session &s = Session::instance();
    ui->Btn_OK->setEnabled(s.right(5));
    ui->SpeedButton1->setEnabled(s.right(17));
    ui->SpeedButton2->setEnabled(s.right(18));
    ui->SpeedButton3->setEnabled(s.right(19));
    auto gate = [this](const QString &item, bool on, const QString &action = {}) {
        if (auto *a = findChild<QAction *>(item))
            a->setEnabled(on && (action.isEmpty() || !Actions::find(action) || Actions::isEnabled(action)));
    };
    gate(u"N15"_s, s.right(6));
    gate(u"N10"_s, s.right(7), u"BatchEdit"_s);
    gate(u"Email1"_s, s.right(57), u"ExportEmail"_s);
    gate(u"N16"_s, s.right(58), u"ExportMobile"_s);
    gate(u"N8"_s, s.right(61));
}

void TFrm_Card::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Card::FormShow()
{
    m_shown = true;
    setWindowTitle(u"会员信息"_s);
    if (QWidget *main = WindowHost::mainWindow())
        if (main->metaObject()->indexOfMethod("stopReminderTimer()") >= 0)
            QMetaObject::invokeMethod(main, "stopReminderTimer");
    ui->Edit_key->clear();
    Timer1->stop();
    ui->Edit_key->setFocus();

    TFrm_Data *dm = Frm_Data();
    if (!dm)
        return;
    ui->Combo_Field->clear();
    if (dm->OpenSQL(dm->Qry_Str, u"select * from T_FieldShow where tablename = ?"_s, SqlArgs{u"Card"_s})) {
        for (int r = 0; r < dm->Qry_Str->rowCount(); ++r)
            ui->Combo_Field->addItem(dm->Qry_Str->value(r, u"Name"_s).toString(),
                                     dm->Qry_Str->value(r, u"Field"_s).toString());
        ui->Combo_Field->setCurrentIndex(ui->Combo_Field->count() > 0 ? 0 : -1);
    }
    dm->OpenSQL(dm->Qry_Card, u"select * from T_Card"_s);
    dm->OpenSQL(dm->Qry_CardCash, u"select * from T_CardCash where CardCode = :CardCode order by CashDate DESC"_s);
    dm->OpenSQL(dm->Qry_Detail, u"select * from T_CardCashDetail where BillCode = :BillCode"_s);
    BuildGridColumns(ui->DBGridEh1, dm->Qry_Card, u"card"_s);
    BuildGridColumns(ui->DBGridEh2, dm->Qry_CardCash, u"Cash"_s);
    BuildGridColumns(ui->DBGridEh4, dm->Qry_Detail, u"CashDetail2"_s);
    ShowStatusText();
    LoadCategoryTree(ui->TreeView1, u"Mem_Category"_s, u"会员分类"_s);
    applyRights();
    RefreshFooters();
}

QString TFrm_Card::statusText() const
{
    const TFrm_Data *dm = Frm_Data();
    const int n = dm && dm->Qry_Card->isOpen() ? dm->Qry_Card->rowCount() : 0;
    return QString(u" 共有 "_s + QString::number(n) + u" 条记录"_s);
}

void TFrm_Card::ShowStatusText()
{
    if (QWidget *main = WindowHost::mainWindow())
        if (auto *panel = main->findChild<QLabel *>(u"StatusPanel1"_s))
            panel->setText(statusText());
}

void TFrm_Card::RefreshFooters()
{
    ui->DBGridEh2->refreshFooter();
    ui->DBGridEh4->refreshFooter();
}

void TFrm_Card::openMembers(const QString &sql, const QVariantList &args)
{
    TFrm_Data *dm = Frm_Data();
    {
        BusyCursor busy;
        dm->OpenSQL(dm->Qry_Card, sql, SqlArgs(args));
    }
    BuildGridColumns(ui->DBGridEh1, dm->Qry_Card, u"Card"_s);
    ShowStatusText();
}

void TFrm_Card::Btn_OKClick()
{
    TFrm_Data *dm = Frm_Data();
    if (!dm)
        return;
    BusyCursor busy;
    ui->Btn_OK->setEnabled(false);
    const QString field = ui->Combo_Field->currentData().toString();
    const QString text = ui->Edit_key->text().isEmpty() ? ui->Edit_key1->text() : ui->Edit_key->text();
    // The column comes from the grid configuration; it is spliced as a name, so only a plain name will do.
    static const QRegularExpression plainName(u"^[A-Za-z_][A-Za-z0-9_]*$"_s);
    if (text.isEmpty() || !plainName.match(field).hasMatch()) {
        openMembers(u"select * from T_Card"_s);
    } else {
        Database &db = dm->ADOConnection1;
        openMembers(u"select * from T_Card where "_s + db.likeCI(field, u"?"_s),
                    {members::containsPattern(text)});
    }
    ui->Btn_OK->setEnabled(Session::instance().right(5));
}

void TFrm_Card::Edit_keyKeyPress()
{
    QString text = ui->Edit_key->text();
    // Magnetic-stripe track data comes framed by its start and end sentinels.
    if (text.startsWith(u';') && ui->Combo_Field->currentText() == FieldCardCode)
        ui->Edit_key->setText(text.mid(1, text.size() - 2));
    Btn_OKClick();
}

void TFrm_Card::Timer1Timer()
{
    if (!ui->Edit_key->text().isEmpty())
        ui->Edit_key->clear();
    Timer1->stop();
}

void TFrm_Card::TreeView1DblClick()
{
    QTreeWidgetItem *item = ui->TreeView1->currentItem();
    if (ui->TreeView1->topLevelItemCount() == 0 || !item)
        return;
    const QString code = CategoryCode(item);
    if (!item->parent() || code.isEmpty()) {
        openMembers(u"select * from T_Card order by UserID"_s);
        return;
    }
    QString prefix = members::containsPattern(code);
    prefix.remove(0, 1); // codes match from their start: '{code}%'
    openMembers(u"select * from T_Card where Category like ? ESCAPE '\\' order by UserID"_s, {prefix});
    RefreshFooters();
}

void TFrm_Card::N5Click()
{
    TFrm_Data *dm = Frm_Data();
    if (!dm)
        return;
    if (!dm->Qry_Card->refresh() && !dm->Qry_Card->lastError().isEmpty())
        Prompt::databaseError(this, dm->Qry_Card->lastError());
    BuildGridColumns(ui->DBGridEh1, dm->Qry_Card, u"card"_s);
    ShowStatusText();
}

void TFrm_Card::N13Click()
{
    SaveGridLayout(ui->DBGridEh1, u"Card"_s, 1);
    SaveGridLayout(ui->DBGridEh2, u"Cash"_s, 0);
    SaveGridLayout(ui->DBGridEh4, u"CashDetail2"_s, 0);
}

void TFrm_Card::N8Click()
{
    TFrm_FieldShow dlg(this);
    dlg.ConfigTableName = u"Card"_s;
    dlg.exec();
}

void TFrm_Card::Excel1Click() { ExportGridToExcel(Frm_Data()->Qry_Card, ui->DBGridEh1, this); }

void TFrm_Card::N18Click() { LoadCategoryTree(ui->TreeView1, u"Mem_Category"_s, u"会员分类"_s); }

void TFrm_Card::changeLossState(bool report)
{
    TFrm_Data *dm = Frm_Data();
    DataSet *cards = dm->Qry_Card;
    const bool any = cards->isOpen() && cards->rowCount() > 0 && cards->currentRow() >= 0;
    const QString state = any ? cards->text(u"state"_s) : QString();
    const QString kind = any ? cards->text(u"NewCard"_s) : QString();
    const QString cardCode = any ? cards->text(u"CardCode"_s) : QString();
    ui->Edit_key->setText(cardCode);
    if (!any) {
        Prompt::information(this, u"提示"_s, u"请先选择一个会员！"_s);
        return;
    }
    if (report && state == members::StateLost) {
        Prompt::information(this, u"提示"_s, u"该会员卡已挂失！"_s);
        return;
    }
    if (!report && state == members::StateUsable) {
        Prompt::information(this, u"提示"_s, u"该会员卡没有挂失！"_s);
        return;
    }
    if (kind != members::KindDiscount) {
        Actions::trigger(report ? u"Card_GS"_s : u"Card_CancalGS"_s);
        return;
    }
    const bool yes = Prompt::yesNo(this, u"提示"_s, report ? u"该会员是否要挂失！"_s : u"该会员是否要取消挂失！"_s);
    if (yes) {
        QString error;
        if (!members::SetCardState(dm->ADOConnection1, cards->value(u"UserID"_s).toLongLong(),
                                   report ? members::StateLost : members::StateUsable, &error)) {
            Prompt::databaseError(this, error);
            return;
        }
    }
    if (yes || !report)
        cards->refresh();
}

void TFrm_Card::MenuItem1Click() { changeLossState(true); }

void TFrm_Card::MenuItem2Click() { changeLossState(false); }

bool TFrm_Card::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->DBGridEh1->view()) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
            if (Actions::isEnabled(u"DelCard"_s))
                Actions::trigger(u"DelCard"_s);
            return true;
        }
        if (event->type() == QEvent::KeyRelease)
            RefreshFooters();
    }
    return QWidget::eventFilter(watched, event);
}

void TFrm_Card::closeEvent(QCloseEvent *e)
{
    SaveGridLayout(ui->DBGridEh4, u"CashDetail2"_s, 0);
    SaveGridLayout(ui->DBGridEh2, u"Cash"_s, 0);
    QWidget::closeEvent(e);
}
