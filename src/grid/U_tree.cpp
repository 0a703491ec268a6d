#include "grid/U_tree.h"
#include "ui_U_tree.h"

#include "app/Prompt.h"
#include "app/U_data.h"
#include "grid/CategoryTree.h"

#include <QAction>
#include <QMenu>
#include <QSqlQuery>
#include <QTreeWidget>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString kCaption = u"提示"_s;

bool allDigits(const QString &s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

Database &db() { return Frm_Data()->ADOConnection1; }

// Whether a statement finds a row; a failure is shown and counts as "unknown" (nullopt).
std::optional<bool> rowExists(QWidget *parent, const QString &sql, const SqlArgs &args)
{
    QString error;
    bool ok = false;
    const QVariant n = db().scalar(sql, args, &ok, &error);
    if (!ok && !error.isEmpty()) {
        Prompt::databaseError(parent, error);
        return std::nullopt;
    }
    return ok && n.toLongLong() > 0;
}

} // namespace

TFrm_Tree::TFrm_Tree(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_Tree>())
{
    ui->setupUi(this);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    N1 = new QAction(u"新增同级节点"_s, this);
    N1->setObjectName(u"N1"_s);
    N1->setShortcut(QKeySequence(Qt::Key_F3));
    N2 = new QAction(u"新增下级节点"_s, this);
    N2->setObjectName(u"N2"_s);
    N2->setShortcut(QKeySequence(Qt::Key_F4));
    PopupMenu1->addAction(N1);
    PopupMenu1->addAction(N2);
    addAction(N1); // F3 and F4 work without opening the menu
    addAction(N2);
    ui->tb_add->setMenu(PopupMenu1);
    ui->tb_add->setPopupMode(QToolButton::MenuButtonPopup);

    const auto setIcon = [this](QToolButton *b, QStyle::StandardPixmap px) { b->setIcon(style()->standardIcon(px)); };
    setIcon(ui->tb_add, QStyle::SP_FileDialogNewFolder);
    setIcon(ui->tb_edit, QStyle::SP_FileDialogDetailedView);
    setIcon(ui->tb_del, QStyle::SP_TrashIcon);
    setIcon(ui->TB_Save, QStyle::SP_DialogSaveButton);
    setIcon(ui->TB_Cancel, QStyle::SP_DialogCancelButton);
    setIcon(ui->ToolButton1, QStyle::SP_DialogApplyButton);
    setIcon(ui->tb_result, QStyle::SP_BrowserReload);
    setIcon(ui->tb_close, QStyle::SP_DialogCloseButton);

    connect(ui->tb_add, &QToolButton::clicked, this, &TFrm_Tree::tb_addClick);
    connect(N1, &QAction::triggered, this, &TFrm_Tree::N1Click);
    connect(N2, &QAction::triggered, this, &TFrm_Tree::N2Click);
    connect(ui->tb_edit, &QToolButton::clicked, this, &TFrm_Tree::tb_editClick);
    connect(ui->tb_del, &QToolButton::clicked, this, &TFrm_Tree::tb_delClick);
    connect(ui->TB_Save, &QToolButton::clicked, this, &TFrm_Tree::TB_SaveClick);
    connect(ui->TB_Cancel, &QToolButton::clicked, this, &TFrm_Tree::TB_CancelClick);
    connect(ui->ToolButton1, &QToolButton::clicked, this, &TFrm_Tree::ToolButton1Click);
    connect(ui->tb_result, &QToolButton::clicked, this, &TFrm_Tree::tb_resultClick);
    connect(ui->tb_close, &QToolButton::clicked, this, &QDialog::reject);
    connect(ui->TreeView1, &QTreeWidget::itemClicked, this, &TFrm_Tree::TreeView1Click);
    // Moving with the keyboard shows the node too, as a click does.
    connect(ui->TreeView1, &QTreeWidget::currentItemChanged, this, &TFrm_Tree::TreeView1Click);
    connect(ui->TreeView1, &QTreeWidget::itemDoubleClicked, this, &TFrm_Tree::TreeView1DblClick);

    ui->Edit_code->clear();
    ui->Edit_name->clear();
}

TFrm_Tree::~TFrm_Tree() = default;

QString TFrm_Tree::table() const { return CategoryTableName(TableName); }

void TFrm_Tree::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Tree::FormShow()
{
    m_shown = true;
    setWindowTitle(RootCaption);
    LoadCategoryTree(ui->TreeView1, TableName, RootCaption);
}

void TFrm_Tree::TreeView1Click()
{
    QTreeWidgetItem *item = ui->TreeView1->currentItem();
    if (ui->TreeView1->topLevelItemCount() == 0 || !item)
        return;
    ui->Edit_code->setText(CategoryCode(item));
    ui->Edit_name->setText(CategoryName(item));
}

void TFrm_Tree::TreeView1DblClick() { pick(); }
void TFrm_Tree::ToolButton1Click() { pick(); }

void TFrm_Tree::tb_addClick() { startAdd(true); }
void TFrm_Tree::N1Click() { startAdd(false); }
void TFrm_Tree::N2Click() { startAdd(true); }

void TFrm_Tree::setBrowsing(bool browsing)
{
    ui->tb_add->setEnabled(browsing);
    N1->setEnabled(browsing);
    N2->setEnabled(browsing);
    ui->tb_edit->setEnabled(browsing);
    ui->tb_del->setEnabled(browsing);
    ui->TB_Save->setEnabled(!browsing);
    ui->TB_Cancel->setEnabled(!browsing);
}

void TFrm_Tree::startAdd(bool asChild)
{
    BaseCode = ui->Edit_code->text().trimmed();
    if (BaseCode.isEmpty())
        BaseCode = u"0"_s;
    const CodeProposal proposal = ProposeCode(db(), TableName, BaseCode, asChild);
    if (!proposal.ok) {
        // Nothing pending: a proposal that cannot be saved is never offered.
        Prompt::information(this, kCaption, proposal.message);
        return;
    }
    ui->Edit_code->setEnabled(true);
    ui->Edit_name->setEnabled(true);
    AddMode = 1;
    AddAsChild = asChild;
    ui->Edit_code->setText(proposal.code);
    if (!proposal.firstCode)
        ui->Edit_name->clear();
    ui->Edit_name->setFocus();
    setBrowsing(false);
}

void TFrm_Tree::tb_editClick()
{
    AddMode = 0;
    ui->Edit_name->setEnabled(true);
    ui->Edit_code->setEnabled(false);
    ui->Edit_name->setFocus();
    setBrowsing(false);
}

void TFrm_Tree::TB_SaveClick()
{
    if (table().isEmpty()) {
        Prompt::information(this, kCaption, u"不是分类表: "_s + TableName);
        return;
    }
    if (AddMode == 1)
        saveNew();
    else
        saveRename();
}

void TFrm_Tree::saveNew()
{
    const QString code = ui->Edit_code->text().trimmed();
    const QString name = ui->Edit_name->text().trimmed();
    if (!allDigits(code)) {
        Prompt::information(this, kCaption, u"编码必须是数字!"_s);
        ui->Edit_code->setFocus();
        return;
    }
    // Longer than six levels would be stored but never shown.
    if (code.size() % 2 != 0 || code.size() > 12) {
        Prompt::information(this, kCaption, u"编码规则出错!"_s);
        ui->Edit_code->setFocus();
        return;
    }
    const QString t = table();
    Transaction tx(db());
    const auto repeated = rowExists(this, u"select count(*) from "_s + t + u" where code = ?"_s, {code});
    if (!repeated)
        return;
    if (*repeated) {
        Prompt::information(this, kCaption, u"编码重复!,不能保存!"_s);
        return;
    }
    const QString parentCode = code.left(code.size() - 2);
    bool parentFound = code.size() == 2;
    if (!parentFound) {
        const auto found = rowExists(this, u"select count(*) from "_s + t + u" where code = ?"_s, {parentCode});
        if (!found)
            return;
        parentFound = *found;
    }
    if (!parentFound) {
        Prompt::information(this, kCaption, u"编码错误,父节点不存在!"_s);
        ui->Edit_code->setFocus();
        return;
    }
    if (!Frm_Data()->RunSQL(u"insert into "_s + t + u" (code, name) values (?, ?)"_s, SqlArgs{code, name}))
        return;
    if (!tx.commit()) {
        Prompt::databaseError(this, db().lastError());
        return;
    }
    AddCategoryItem(ui->TreeView1, code, name);
    setBrowsing(true);
}

void TFrm_Tree::saveRename()
{
    const QString code = ui->Edit_code->text().trimmed();
    if (code.isEmpty()) {
        Prompt::show(this, kCaption, u"请点击取消按钮再重新选择一个节点进行编辑!"_s, Prompt::Icon::Question);
        return;
    }
    const QString t = table();
    const auto exists = rowExists(this, u"select count(*) from "_s + t + u" where code = ?"_s, {code});
    if (!exists)
        return;
    if (!*exists) {
        Prompt::show(this, kCaption, u"您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!"_s,
                     Prompt::Icon::Question);
        return;
    }
    const QString name = ui->Edit_name->text().trimmed();
    if (!Frm_Data()->RunSQL(u"update "_s + t + u" set name = ? where code = ?"_s, SqlArgs{name, code}))
        return;
    ui->Edit_code->setEnabled(false);
    ui->Edit_name->setEnabled(false);
    if (QTreeWidgetItem *item = FindCategoryItem(ui->TreeView1, code)) {
        item->setText(0, code + u'-' + name);
        item->setData(0, Qt::UserRole + 1, name);
    }
    setBrowsing(true);
}

void TFrm_Tree::TB_CancelClick()
{
    AddAsChild = false;
    setBrowsing(true);
}

void TFrm_Tree::tb_delClick()
{
    QTreeWidgetItem *item = ui->TreeView1->currentItem();
    if (!item)
        return;
    const QString refusal = u"不能删除有子目录的目录，请先删除子目录！"_s;
    if (item->childCount() > 0) {
        Prompt::plain(this, refusal);
        return;
    }
    const QString code = CategoryCode(item);
    const QString t = table();
    if (code.isEmpty() || t.isEmpty())
        return; // the root is no category
    // Another workstation may have added children since the tree was loaded.
    QSqlQuery q(db().handle());
    QString error;
    if (!db().query(q, u"select code from "_s + t + u" where code like ?"_s, SqlArgs{QString(code + u'%')}, &error)) {
        Prompt::databaseError(this, error);
        return;
    }
    while (q.next()) {
        const QString other = q.value(0).toString().trimmed();
        if (other.size() > code.size() && other.startsWith(code) && IsValidCategoryCode(other)) {
            Prompt::plain(this, refusal);
            return;
        }
    }
    if (Prompt::show(this, kCaption, u"你真的要删除所选择的目录吗？"_s, Prompt::Icon::Question,
                     QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    // The selected node's own code: the box may still hold a cancelled proposal.
    if (!Frm_Data()->RunSQL(u"delete from "_s + t + u" where code = ?"_s, SqlArgs{code}))
        return;
    delete item;
}

void TFrm_Tree::pick()
{
    if (PickTarget == 0)
        return;
    QTreeWidgetItem *item = ui->TreeView1->currentItem();
    if (!item)
        return;
    const QString code = CategoryCode(item).trimmed();
    const QString name = CategoryName(item);
    if (PickTarget == 1) {
        // The member editor preselects these next time.
        Frm_Data()->Ini.writeString(u"login"_s, u"Category"_s, name);
        Frm_Data()->Ini.writeString(u"login"_s, u"Catecode"_s, code);
    }
    if (onPick)
        onPick(code, name);
    accept();
}

void TFrm_Tree::tb_resultClick()
{
    LoadCategoryTree(ui->TreeView1, TableName, RootCaption);
    if (ui->TreeView1->topLevelItemCount() > 0)
        ui->TreeView1->setCurrentItem(ui->TreeView1->topLevelItem(0));
}

int TFrm_Tree::open(QWidget *parent, const QString &tableName, const QString &rootCaption, int pickTarget,
                    std::function<void(const QString &, const QString &)> onPick)
{
    TFrm_Tree dlg(parent);
    dlg.TableName = tableName;
    dlg.RootCaption = rootCaption;
    dlg.PickTarget = pickTarget;
    dlg.onPick = std::move(onPick);
    return dlg.exec();
}
