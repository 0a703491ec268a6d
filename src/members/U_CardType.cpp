#include "U_CardType.h"
#include "ui_U_CardType.h"

#include "app/Actions.h"
#include "app/Prompt.h"
#include "app/Session.h"
#include "app/U_data.h"
#include "core/Format.h"
#include "grid/DataGrid.h"
#include "grid/GridOps.h"

#include <QAction>
#include <QPointer>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {
QPointer<TFrm_CardType> g_open;
const QString Caption = u"提示"_s;
} // namespace

TFrm_CardType::TFrm_CardType(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrm_CardType>())
{
    ui->setupUi(this);
    setFont(QFont(u"WenQuanYi Micro Hei"_s, 9));
    g_open = this;
    ui->TB_Add->setDefaultAction(command(u"AddCardType"_s, u"新增&A"_s, &TFrm_CardType::AddCardTypeExecute));
    ui->TB_Edit->setDefaultAction(command(u"EditCardType"_s, u"编辑&E"_s, &TFrm_CardType::EditCardTypeExecute));
    ui->TB_Del->setDefaultAction(command(u"DelCardType"_s, u"删除&D"_s, &TFrm_CardType::DelCardTypeExecute));
    ui->TB_Save->setDefaultAction(command(u"SaveCardType"_s, u"保存&S"_s, &TFrm_CardType::SaveCardTypeExecute));
    ui->TB_Cancel->setDefaultAction(
        command(u"CancelCardType"_s, u"取消&C"_s, &TFrm_CardType::CancelCardTypeExecute));
    connect(ui->TB_Exit, &QToolButton::clicked, this, &QDialog::reject);
    ui->DBGridEh1->setMultiSelect(true);
    ui->DBGridEh1->setReadOnly(true);
    if (TFrm_Data *dm = Frm_Data()) {
        ui->DBGridEh1->setDataSet(dm->Qry_CardType);
        connect(ui->DBGridEh1, &DataGrid::sortMarkingChanged, this,
                [this, dm] { ApplyGridSort(ui->DBGridEh1, dm->Qry_CardType); });
    }
    connect(ui->DBGridEh1->view(), &QAbstractItemView::clicked, this, &TFrm_CardType::DBGridEh1CellClick);
    setBrowsing(true, false);
}

TFrm_CardType::~TFrm_CardType() = default;

TFrm_CardType *TFrm_CardType::instance() { return g_open.data(); }

QAction *TFrm_CardType::command(const QString &name, const QString &caption, void (TFrm_CardType::*handler)())
{
    // The main window's command when there is one (its handler reaches this
    // window through instance()); otherwise a command of the window's own.
    if (QAction *a = Actions::find(name))
        return a;
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, handler);
    return a;
}

void TFrm_CardType::setBrowsing(bool browsing, bool byRights)
{
    const Session &s = Session::instance();
    ui->TB_Add->defaultAction()->setEnabled(browsing && (!byRights || s.right(4)));
    ui->TB_Edit->defaultAction()->setEnabled(browsing && (!byRights || s.right(5)));
    ui->TB_Del->defaultAction()->setEnabled(browsing && (!byRights || s.right(6)));
    ui->TB_Save->defaultAction()->setEnabled(!browsing);
    ui->TB_Cancel->defaultAction()->setEnabled(!browsing);
}

void TFrm_CardType::showEvent(QShowEvent *e)
{
    if (!m_shown)
        FormShow();
    QDialog::showEvent(e);
}

void TFrm_CardType::FormShow()
{
    m_shown = true;
    setWindowTitle(u"会员卡级别管理"_s);
    TFrm_Data *dm = Frm_Data();
    dm->OpenSQL(dm->Qry_CardType, u"select * from Dict_CardType"_s);
    dm->Qry_CardType->first();
    copyCurrentLevel();
    BuildGridColumns(ui->DBGridEh1, dm->Qry_CardType, u"MemLevel"_s);
}

void TFrm_CardType::copyCurrentLevel()
{
    DataSet *ds = Frm_Data()->Qry_CardType;
    if (!ds->isOpen() || ds->currentRow() < 0)
        return;
    const int row = ds->currentRow();
    ui->Edit_Name->setText(ds->text(u"CardType"_s));
    ui->Edit_Discount->setText(ds->text(row, ds->fieldIndex(u"Discount"_s)));
    const QVariant up = ds->value(u"UpgradeMoney"_s);
    ui->Edit_UpgradeMoney->setText(up.isNull() ? QString() : Money::fromVariant(up).toPlainString());
}

void TFrm_CardType::DBGridEh1CellClick() { copyCurrentLevel(); }

void TFrm_CardType::AddCardTypeExecute()
{
    AddMode = 1;
    ui->Edit_Name->clear();
    ui->Edit_Discount->clear();
    ui->Edit_UpgradeMoney->clear();
    setBrowsing(false, false);
    ui->Edit_Name->setFocus();
}

void TFrm_CardType::EditCardTypeExecute()
{
    AddMode = 0;
    copyCurrentLevel();
    setBrowsing(false, false);
    ui->Edit_Name->setFocus();
}

void TFrm_CardType::SaveCardTypeExecute()
{
    auto refuse = [this](const QString &text, QWidget *focus) {
        Prompt::show(this, Caption, text, Prompt::Icon::Question, QMessageBox::Ok);
        focus->setFocus();
    };
    TFrm_Data *dm = Frm_Data();
    Database &db = dm->ADOConnection1;
    const QString name = ui->Edit_Name->text();
    if (name.trimmed().isEmpty())
        return refuse(u"名称不能为空!"_s, ui->Edit_Name);
    if (ui->Edit_Discount->text().trimmed().isEmpty())
        return refuse(u"折扣率不能为空!"_s, ui->Edit_Discount);
    // The database would keep non-numbers as text on one backend and fail on the other: check first.
    double discount = 0;
    if (!fmt::parseNumber(ui->Edit_Discount->text(), &discount))
        return refuse(u"折扣率必须是数字!"_s, ui->Edit_Discount);
    Money upgrade;
    const bool hasUpgrade = !ui->Edit_UpgradeMoney->text().trimmed().isEmpty();
    if (hasUpgrade && !Money::parse(ui->Edit_UpgradeMoney->text().trimmed(), &upgrade))
        return refuse(u"升级金额必须是数字!"_s, ui->Edit_UpgradeMoney);
    if (AddMode == 1) {
        bool ok = false;
        const qint64 n =
            db.scalar(u"select count(*) from Dict_CardType where CardType = ?"_s, SqlArgs{name}, &ok).toLongLong();
        if (!ok) {
            Prompt::databaseError(this, db.lastError());
            return;
        }
        if (n > 0)
            return refuse(u"名称有重复,请换一个名称!"_s, ui->Edit_Name);
    }
    const QVariant upgradeValue = hasUpgrade ? db.money(upgrade) : QVariant(QMetaType::fromType<double>());
    DataSet *ds = dm->Qry_CardType;
    QVariant id;
    QString error;
    bool ok = false;
    if (AddMode == 1) {
        ok = db.exec(u"insert into Dict_CardType (CardType, Discount, UpgradeMoney) values (?, ?, ?)"_s,
                     SqlArgs{name, discount, upgradeValue}, &error);
        if (ok)
            id = db.scalar(u"select max(ID) from Dict_CardType where CardType = ?"_s, SqlArgs{name});
    } else {
        id = ds->currentRow() >= 0 ? ds->value(u"ID"_s) : QVariant();
        ok = id.isValid() && db.exec(u"update Dict_CardType set CardType = ?, Discount = ?, UpgradeMoney = ? where ID = ?"_s,
                                     SqlArgs{name, discount, upgradeValue, id}, &error);
        if (!id.isValid())
            error = u"没有要编辑的记录"_s;
    }
    if (!ok) {
        Prompt::databaseError(this, error);
        return;
    }
    ds->refresh();
    ds->locate(u"ID"_s, id);
    setBrowsing(true, true);
}

void TFrm_CardType::CancelCardTypeExecute()
{
    AddMode = 0;
    setBrowsing(true, true);
}

void TFrm_CardType::DelCardTypeExecute()
{
    if (!Prompt::yesNo(this, Caption, u"您要删除这条记录吗?"_s))
        return;
    TFrm_Data *dm = Frm_Data();
    Database &db = dm->ADOConnection1;
    DataSet *ds = dm->Qry_CardType;
    bool deleted = false;
    if (ds->isOpen() && ds->currentRow() >= 0) {
        Transaction tx(db);
        deleted = db.exec(u"delete from Dict_CardType where ID = ?"_s, SqlArgs{ds->value(u"ID"_s)}) && tx.commit();
    }
    if (!deleted) {
        Prompt::show(this, Caption, u"删除数据失败！"_s, Prompt::Icon::Warning, QMessageBox::Yes | QMessageBox::No);
        return;
    }
    ds->refresh();
    copyCurrentLevel();
}

void TFrm_CardType::done(int r)
{
    SaveGridLayout(ui->DBGridEh1, u"MemLevel"_s, 0);
    CancelCardTypeExecute();
    QDialog::done(r);
}
