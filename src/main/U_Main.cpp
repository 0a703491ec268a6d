#include "U_Main.h"
#include "ui_U_Main.h"

#include "RightsTable.h"
#include "app/Actions.h"
#include "app/AppPaths.h"
#include "app/Prompt.h"
#include "app/Session.h"
#include "app/U_ChangePass.h"
#include "app/U_Login.h"
#include "app/U_data.h"
#include "app/WindowHost.h"
#include "goods/GoodsActions.h"
#include "grid/U_FieldShow.h"
#include "grid/U_tree.h"
#include "members/MemberActions.h"
#include "reports/ReportActions.h"


#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
QIcon loadIcon(const QString &name)
{
    if (name.isEmpty())
        return {};
    const QString path = AppPaths::file(u"IMG/"_s + name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}
} // namespace

TFrm_Main::TFrm_Main(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::TFrm_Main>())
{
    ui->setupUi(this);
    // Child windows without a picture of their own take the program's.
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(loadIcon(u"Card.png"_s));
    WindowHost::setMdiArea(ui->MdiArea);
    WindowHost::setMainWindow(this);
    ui->MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ui->MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFrm_Main::Timer1Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(u"Timer2"_s);
    Timer2->setInterval(200);
    Timer2->setSingleShot(true);
    connect(Timer2, &QTimer::timeout, this, &TFrm_Main::Timer2Timer);

    createCommands();
    createMenus();
    createToolBar();
    createStatusBar();

    // The subsystems connect their commands to their windows.
    members::installActions(this);
    goods::installActions(this);
    reports::installActions(this);

    Session &s = Session::instance();
    connect(&s, &Session::rightsChanged, this, &TFrm_Main::applyRightsToCommands);
    connect(&s, &Session::optionsChanged, this, &TFrm_Main::updateCaption);
    connect(&s, &Session::loggedIn, this, [this] {
        m_panel[0]->setText(u" 当前操作员: "_s + Session::instance().CurrentOperator);
        Timer1->start();
    });
    applyRightsToCommands();
    if (!s.CurrentOperator.isEmpty())
        m_panel[0]->setText(u" 当前操作员: "_s + s.CurrentOperator);
    updateCaption();
}

TFrm_Main::~TFrm_Main()
{
    if (WindowHost::mainWindow() == this) {
        WindowHost::setMainWindow(nullptr);
        WindowHost::setMdiArea(nullptr);
    }
}

QMdiArea *TFrm_Main::mdiArea() const { return ui->MdiArea; }

// ---- building the window ----

void TFrm_Main::registerAction(QAction *a)
{
    m_actions.insert(a->objectName().toLower(), a);
    Actions::add(a);
}

QAction *TFrm_Main::addCommand(const QString &name, const QString &caption, const QKeySequence &shortcut,
                               const QString &icon)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    a->setShortcut(shortcut);
    a->setIcon(loadIcon(icon));
    a->setIconVisibleInMenu(false);
    registerAction(a);
    return a;
}

QAction *TFrm_Main::addEntry(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    a->setShortcut(shortcut);
    registerAction(a);
    return a;
}

// A menu entry that runs a command: it follows the command's enabled state, so
// gating the command gates the entry too.
QAction *TFrm_Main::addLinkedEntry(QMenu *menu, const QString &name, const QString &command, const QString &caption)
{
    QAction *cmd = action(command);
    Q_ASSERT(cmd);
    QAction *a = addEntry(menu, name, caption.isEmpty() ? cmd->text() : caption);
    a->setEnabled(cmd->isEnabled());
    connect(cmd, &QAction::enabledChanged, a, &QAction::setEnabled);
    connect(a, &QAction::triggered, cmd, [cmd] { cmd->trigger(); });
    return a;
}

QMenu *TFrm_Main::addSubMenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *m = parent->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    registerAction(m->menuAction());
    return m;
}

void TFrm_Main::createCommands()
{
    struct Cmd
    {
        const char16_t *name;
        const char16_t *caption;
        QKeyCombination key;
        const char16_t *icon;
    };
    const QKeyCombination none{};
    // Commands of the whole program; the windows of each subsystem attach to them by name.
    const Cmd commands[] = {
        {u"M_Card", u"会员信息", none, u"Card.png"},
        {u"AddCard", u"添加会员", Qt::CTRL | Qt::Key_A, nullptr},
        {u"EditCard", u"编辑会员", Qt::CTRL | Qt::Key_E, nullptr},
        {u"DelCard", u"删除会员", Qt::CTRL | Qt::Key_D, nullptr},
        {u"S_Card", u"会员查询", none, u"Search.png"},
        {u"BatchEdit", u"批量修改会员分类", none, nullptr},
        {u"M_Awoke", u" 到期提醒 ", none, u"Awoke.png"},
        {u"ExportEmail", u"导出E-Mail", none, nullptr},
        {u"ExportMobile", u"导出手机号码", none, nullptr},
        {u"M_Category", u"会员分组管理", none, nullptr},
        {u"M_CardType", u"会员卡级别", none, nullptr},
        {u"AddCardType", u"新增&A", none, nullptr},
        {u"EditCardType", u"编辑&E", none, nullptr},
        {u"DelCardType", u"删除&D", none, nullptr},
        {u"SaveCardType", u"保存&S", none, nullptr},
        {u"CancelCardType", u"取消&C", none, nullptr},
        {u"AddCash", u"新增消费", none, nullptr},
        {u"EditCash", u"编辑消费", none, nullptr},
        {u"DelCash", u"删除消费", none, nullptr},
        {u"Card_XF", u"会员续费", none, nullptr},
        {u"CardPast", u"会员转帐(&Y)", none, nullptr},
        {u"Card_GS", u"会员卡挂失", none, nullptr},
        {u"Card_CancalGS", u"取消挂失", none, nullptr},
        {u"HuanCard", u"会员换卡", none, nullptr},
        {u"CardPass", u"输入密码", none, nullptr},
        {u"M_Goods", u"商品资料", none, u"Goods.png"},
        {u"AddGoods", u"新增&A", none, nullptr},
        {u"EditGoods", u"编辑&E", none, nullptr},
        {u"DelGoods", u"删除&D", none, nullptr},
        {u"CancelGoods", u"取消&C", none, nullptr},
        {u"Addgoods_Add", u"添加商品", Qt::CTRL | Qt::Key_A, nullptr},
        {u"Addgoods_Edit", u"编辑商品", Qt::CTRL | Qt::Key_E, nullptr},
        {u"Addgoods_del", u"删除商品", Qt::CTRL | Qt::Key_D, nullptr},
        {u"Exp_goods", u"Excel", none, nullptr},
        {u"Q_goods", u"打印&P", none, nullptr},
        {u"Select_addgoods", u"新增", none, nullptr},
        {u"M_DHGoods", u"兑换商品资料", none, nullptr},
        {u"AddDHGoods", u"新增&A", none, nullptr},
        {u"EditDHGoods", u"编辑&E", none, nullptr},
        {u"DelDHGoods", u"删除&D", none, nullptr},
        {u"SaveDHGoods", u"保存&S", none, nullptr},
        {u"CancelDHGoods", u"取消&C", none, nullptr},
        {u"Q_DHGoods", u"打印&P", none, nullptr},
        {u"Exp_DHGoods", u"Excel", none, nullptr},
        {u"M_CashPercent", u"消费积分管理", none, nullptr},
        {u"AddCent", u"添加(&A)", none, nullptr},
        {u"EditCent", u"编辑(&E)", none, nullptr},
        {u"DelCent", u"删除(&D)", none, nullptr},
        {u"SaveCent", u"保存(&S)", none, nullptr},
        {u"CancelCent", u"取消&C", none, nullptr},
        {u"M_DHRecord", u"兑换记录", none, u"Exchange.png"},
        {u"M_Reports", u"统计报表", none, u"Reports.png"},
        {u"M_ClearData", u"清除数据", none, nullptr},
        {u"M_Backup", u"数据库备份", none, nullptr},
        {u"M_FieldShow", u"设置字段显示", none, nullptr},
        {u"Help", u"帮助文件", none, u"Help.png"},
    };
    for (const Cmd &c : commands)
        addCommand(QString::fromUtf16(c.name), QString::fromUtf16(c.caption), QKeySequence(c.key),
                   c.icon ? QString::fromUtf16(c.icon) : QString());

    // Tool buttons show the icon text; the reminder's caption keeps its blanks there.
    action(u"M_Awoke"_s)->setIconText(action(u"M_Awoke"_s)->text());

    // Save and cancel of the maintenance windows only make sense while adding or editing.
    for (const char16_t *n : {u"SaveCardType", u"CancelCardType", u"CancelGoods", u"SaveDHGoods", u"CancelDHGoods",
                              u"SaveCent", u"CancelCent"})
        action(QString::fromUtf16(n))->setEnabled(false);

    connect(action(u"Help"_s), &QAction::triggered, this, &TFrm_Main::HelpExecute);
    connect(action(u"M_FieldShow"_s), &QAction::triggered, this, [this] {
        TFrm_FieldShow dlg(this);
        dlg.ConfigTableName = u"Card"_s;
        dlg.exec();
    });
    connect(action(u"M_Category"_s), &QAction::triggered, this, [this] {
        TFrm_Tree::open(this, u"Mem_Category"_s, u"会员分组"_s);
    });
}

void TFrm_Main::createMenus()
{
    // 系统设置
    QMenu *m = ui->N1;
    addEntry(m, u"Sys_User"_s, u"操作员管理"_s);
    addLinkedEntry(m, u"N_ClearData"_s, u"M_ClearData"_s, u"数据初始化"_s);
    m->addSeparator();
    connect(addEntry(m, u"Sys_Relogin"_s, u"重新登录"_s), &QAction::triggered, this, &TFrm_Main::Sys_ReloginClick);
    addEntry(m, u"N52"_s, u"选项设置"_s);
    connect(addEntry(m, u"N31"_s, u"修改密码"_s), &QAction::triggered, this, &TFrm_Main::N31Click);
    addEntry(m, u"Sys_Company"_s, u"公司信息"_s);
    m->addSeparator();
    QMenu *design = addSubMenu(m, u"N5"_s, u"报表设置"_s);
    addEntry(design, u"N39"_s, u"  会员基本资料报表设计"_s);
    addEntry(design, u"N8"_s, u"  信封标签报表设计"_s);
    addEntry(design, u"N9"_s, u"  会员详细资料打印报表设计  "_s);
    addEntry(design, u"N40"_s, u"  商品资料报表设计"_s);
    addEntry(design, u"N56"_s, u"  消费单据设计"_s);
    addEntry(design, u"N57"_s, u"  储值卡充值单据设计"_s);
    addEntry(design, u"N58"_s, u"  计次卡充值单据设计"_s);
    addLinkedEntry(m, u"Sys_Backup"_s, u"M_Backup"_s, u"数据库备份"_s);
    QMenu *import = addSubMenu(m, u"N21"_s, u"导入数据"_s);
    addEntry(import, u"Excel1"_s, u"从Excel导入会员数据"_s);
    addEntry(import, u"Excel2"_s, u"从Excel导入商品数据"_s);
    m->addSeparator();
    connect(addEntry(m, u"N2"_s, u"退出程序"_s, QKeySequence(Qt::CTRL | Qt::Key_Q)), &QAction::triggered, this,
            &TFrm_Main::N2Click);

    // 数据操作
    m = ui->N24;
    QMenu *members = addSubMenu(m, u"N28"_s, u"会员信息"_s);
    members->addActions({action(u"AddCard"_s), action(u"EditCard"_s), action(u"DelCard"_s)});
    QMenu *bills = addSubMenu(m, u"N48"_s, u"消费记录"_s);
    bills->addActions({action(u"AddCash"_s), action(u"EditCash"_s), action(u"DelCash"_s)});
    m->addSeparator();
    addLinkedEntry(m, u"N26"_s, u"M_Goods"_s);
    addLinkedEntry(m, u"N27"_s, u"M_DHGoods"_s);
    m->addSeparator();
    addLinkedEntry(m, u"N25"_s, u"M_CardType"_s);
    addLinkedEntry(m, u"N23"_s, u"M_Category"_s);
    addEntry(m, u"N53"_s, u"民族信息"_s);
    addEntry(m, u"N54"_s, u"计量单位信息"_s);
    addLinkedEntry(m, u"N35"_s, u"M_CashPercent"_s);

    // 统计报表
    m = ui->N3;
    addEntry(m, u"N_R_Card"_s, u"会员基本资料打印"_s);
    addEntry(m, u"N_R_Label"_s, u"信封标签打印"_s);
    addEntry(m, u"N4"_s, u"会员详细资料打印"_s);
    m->addSeparator();
    addLinkedEntry(m, u"N34"_s, u"M_Reports"_s);

    // 实用工具
    m = ui->N15;
    connect(addEntry(m, u"N16"_s, u"计算器"_s), &QAction::triggered, this, &TFrm_Main::N16Click);
    connect(addEntry(m, u"N17"_s, u"记事本"_s), &QAction::triggered, this, &TFrm_Main::N17Click);
    QAction *sep = m->addSeparator();
    sep->setObjectName(u"N36"_s);
    registerAction(sep);
    addEntry(m, u"N37"_s, u"数据库升级工具"_s);

    // 帮助文件
    m = ui->N6;
    QAction *help = addLinkedEntry(m, u"N10"_s, u"Help"_s, u"帮助文件"_s);
    help->setShortcut(QKeySequence(Qt::Key_F1));

    // The top menus themselves are reachable by name as well.
    for (QMenu *top : {ui->N1, ui->N24, ui->N3, ui->N15, ui->N6}) {
        top->menuAction()->setObjectName(top->objectName());
        registerAction(top->menuAction());
    }

    // Shift handover entries live in the drop-down of their tool button.
    auto *shift = new QMenu(this);
    shift->setObjectName(u"PopupMenu_Shift"_s);
    connect(addEntry(shift, u"N59"_s, u"交班管理"_s), &QAction::triggered, this, &TFrm_Main::N59Click);
    connect(addEntry(shift, u"N60"_s, u"开始交班"_s), &QAction::triggered, this, &TFrm_Main::N60Click);
}

QToolButton *TFrm_Main::addToolButton(const QString &name, QAction *command, QMenu *dropDown)
{
    auto *b = new QToolButton(ui->ToolBar1);
    b->setObjectName(name);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(32, 32));
    b->setMinimumSize(67, 51);
    b->setAutoRaise(true);
    if (command)
        b->setDefaultAction(command);
    if (dropDown) {
        b->setMenu(dropDown);
        b->setPopupMode(command ? QToolButton::MenuButtonPopup : QToolButton::InstantPopup);
    }
    ui->ToolBar1->addWidget(b);
    return b;
}

void TFrm_Main::createToolBar()
{
    auto dropDown = [this](const QString &name, const QStringList &actions) {
        auto *menu = new QMenu(this);
        menu->setObjectName(name);
        for (const QString &a : actions)
            menu->addAction(action(a));
        return menu;
    };
    addToolButton(u"ToolButton1"_s, action(u"M_Card"_s),
                  dropDown(u"PopupMenu_Card"_s, {u"AddCard"_s, u"EditCard"_s, u"DelCard"_s}));
    addToolButton(u"TB_Add"_s, action(u"M_Goods"_s), dropDown(u"PopupMenu_Goods"_s, {u"M_Goods"_s, u"M_DHGoods"_s}));
    ui->ToolBar1->addSeparator();
    addToolButton(u"TB_Search"_s, action(u"S_Card"_s));
    addToolButton(u"ToolButton5"_s, action(u"M_DHRecord"_s));
    QToolButton *shift = addToolButton(u"ToolButton7"_s, nullptr, findChild<QMenu *>(u"PopupMenu_Shift"_s));
    shift->setText(u"交班管理"_s);
    shift->setIcon(loadIcon(u"Shift.png"_s));
    addToolButton(u"TB_Awoke"_s, action(u"M_Awoke"_s));
    addToolButton(u"ToolButton6"_s, action(u"M_Reports"_s));
    ui->ToolBar1->addSeparator();
    addToolButton(u"TB_Help"_s, action(u"Help"_s));
}

void TFrm_Main::createStatusBar()
{
    const int widths[3] = {150, 250, 50};
    for (int i = 0; i < 3; ++i) {
        auto *l = new QLabel(ui->StatusBar1);
        l->setObjectName(u"StatusPanel"_s + QString::number(i));
        l->setMinimumWidth(widths[i]);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        if (i < 2)
            l->setFixedWidth(widths[i]);
        // The last panel takes what is left, as the path of the program needs it.
        ui->StatusBar1->addWidget(l, i == 2 ? 1 : 0);
        m_panel[i] = l;
    }
    m_panel[2]->setText(QCoreApplication::applicationFilePath());
}

// ---- settings and rights ----

void TFrm_Main::updateCaption()
{
    const Session &s = Session::instance();
    if (s.ProgramTitle.isEmpty() && s.ProgramVersion.isEmpty())
        return;
    setWindowTitle(s.ProgramTitle + s.ProgramVersion);
    if (!s.ProgramTitle.isEmpty())
        QGuiApplication::setApplicationDisplayName(s.ProgramTitle);
}

void TFrm_Main::LoadTitleAndOptions()
{
    m_panel[2]->setText(QCoreApplication::applicationFilePath());
    TFrm_Data *data = TFrm_Data::instance();
    if (!data || !data->DbConnected)
        return;
    QString error;
    if (!Session::instance().loadTitleAndOptions(data->ADOConnection1, &error))
        Prompt::databaseError(this, error);
    updateCaption();
}

void TFrm_Main::ApplyRights()
{
    TFrm_Data *data = TFrm_Data::instance();
    if (!data)
        return;
    QString error;
    if (!Session::instance().loadRights(data->ADOConnection1, &error))
        Prompt::databaseError(this, error);
}

void TFrm_Main::applyRightsToCommands()
{
    const Session &s = Session::instance();
    for (const GatedCommands &g : mainWindowRights())
        for (const QString &name : g.names)
            if (QAction *a = action(name))
                a->setEnabled(s.right(g.position));
}

// ---- timers ----

void TFrm_Main::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (m_firstShown)
        return;
    m_firstShown = true;
    LoadTitleAndOptions();
    Timer1->start();
    action(u"N36"_s)->setVisible(false);
    action(u"N37"_s)->setVisible(false);
    Timer2->start();
}

void TFrm_Main::stopReminderTimer() { Timer1->stop(); }

void TFrm_Main::Timer1Timer()
{
    TFrm_Data *data = TFrm_Data::instance();
    if (!data || data->Ini.readInteger(u"other"_s, u"Awoke"_s, -1) != 0)
        return;
    // Off before the reminder opens: its modal loop would otherwise see this
    // timer fire again every second and open it once more.
    Timer1->stop();
    Actions::trigger(u"M_Awoke"_s);
}

void TFrm_Main::Timer2Timer()
{
    Timer2->stop();
    Actions::trigger(u"M_Card"_s);
}

// ---- menu handlers ----

void TFrm_Main::Sys_ReloginClick()
{
    WindowHost::closeAllChildren();
    // A cancelled login leaves the current operator logged in; a successful one
    // fills the session, which switches the commands and restarts the reminder.
    TFrm_Login dlg(this);
    dlg.exec();
}

void TFrm_Main::N31Click()
{
    TFrm_ChangePass dlg(this);
    dlg.exec();
}

void TFrm_Main::N59Click()
{
    Session::instance().ShiftEnd = QDateTime::currentDateTime();
    Actions::trigger(u"M_Statistic"_s);
}

void TFrm_Main::N60Click()
{
    if (Prompt::yesNo(this, u"警告"_s, u"你确认交班吗?"_s, Prompt::Icon::Information))
        Sys_ReloginClick();
}

void TFrm_Main::N2Click() { close(); }

QStringList TFrm_Main::calculatorPrograms()
{
    return {u"gnome-calculator"_s, u"kcalc"_s, u"galculator"_s, u"mate-calc"_s, u"qalculate-gtk"_s, u"xcalc"_s};
}

QStringList TFrm_Main::notepadPrograms()
{
    return {u"gedit"_s,    u"gnome-text-editor"_s, u"kate"_s, u"kwrite"_s,     u"mousepad"_s,
            u"pluma"_s,    u"xed"_s,               u"leafpad"_s, u"featherpad"_s};
}

void TFrm_Main::startProgram(const QStringList &candidates, const QString &missingText)
{
    for (const QString &p : candidates) {
        const QString exe = QStandardPaths::findExecutable(p);
        if (!exe.isEmpty() && QProcess::startDetached(exe, {}))
            return;
    }
    Prompt::plain(this, missingText);
}

void TFrm_Main::N16Click() { startProgram(calculatorPrograms(), u"本机没有安装计算器程序。"_s); }

void TFrm_Main::N17Click() { startProgram(notepadPrograms(), u"本机没有安装记事本(文本编辑器)程序。"_s); }

void TFrm_Main::HelpExecute()
{
    const QString file = AppPaths::file(u"help/index.html"_s);
    if (!QFile::exists(file)) {
        Prompt::warning(this, u"警告"_s, u"找不到帮助文件: "_s + file);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

// ---- closing ----

void TFrm_Main::writeMemberCount()
{
    TFrm_Data *data = TFrm_Data::instance();
    if (!data || !data->DbConnected)
        return;
    bool ok = false;
    QString error;
    const QVariant n = data->ADOConnection1.scalar(u"SELECT COUNT(*) FROM T_Card"_s, SqlParams{}, &ok, &error);
    if (!ok) {
        Prompt::databaseError(this, error);
        return;
    }
    data->Ini.writeInteger(u"Config"_s, u"Max"_s, n.toInt());
}

void TFrm_Main::closeEvent(QCloseEvent *e)
{
    WindowHost::closeAllChildren();
    Timer1->stop();
    Timer2->stop();
    writeMemberCount();
    e->accept();
}
