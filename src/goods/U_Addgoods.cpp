#include "U_Addgoods.h"
#include "ui_U_Addgoods.h"

#include "GoodsRules.h"
#include "app/Prompt.h"
#include "app/Session.h"
#include "app/U_data.h"
#include "grid/U_tree.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

TFrm_Addgoods::TFrm_Addgoods(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrm_Addgoods>())
{
    ui->setupUi(this);
    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_Addgoods::Btn_OKClick);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->combo_typeButton, &QToolButton::clicked, this, &TFrm_Addgoods::combo_typeButtonClick);
    // Ticking the box from the stored setting runs the same handler as a click.
    connect(ui->cb_Auto, &QCheckBox::toggled, this, &TFrm_Addgoods::cb_AutoClick);
    connect(ui->DBNavigator1_First, &QToolButton::clicked, this, [this] { navigate(-2); });
    connect(ui->DBNavigator1_Prior, &QToolButton::clicked, this, [this] { navigate(-1); });
    connect(ui->DBNavigator1_Next, &QToolButton::clicked, this, [this] { navigate(1); });
    connect(ui->DBNavigator1_Last, &QToolButton::clicked, this, [this] { navigate(2); });
    FormCreate();
}

TFrm_Addgoods::~TFrm_Addgoods() = default;

void TFrm_Addgoods::ask(const QString &text)
{
    Prompt::show(this, Session::instance().ProgramTitle, text, Prompt::Icon::Question);
}

void TFrm_Addgoods::FormCreate()
{
    TFrm_Data *dm = Frm_Data();
    if (!dm->OpenSQL(dm->Qry_SoftInfo, u"select * from T_SoftInfo"_s))
        return;
    if (!dm->Qry_SoftInfo->isEmpty() && dm->Qry_SoftInfo->value(u"autogoodscode"_s).toInt() == 1)
        ui->cb_Auto->setChecked(true);
}

void TFrm_Addgoods::cb_AutoClick()
{
    TFrm_Data *dm = Frm_Data();
    const bool on = ui->cb_Auto->isChecked();
    // The setting is shared by every workstation and written as soon as it changes.
    dm->RunSQL(u"update T_SoftInfo set autogoodscode = ?"_s, SqlArgs{on ? 1 : 0});
    goods::setAutoGoodsCode(on);
    ui->Edit_Code->setText(on ? dm->Ini.readString(u"Other"_s, u"goodsCode"_s) : QString());
}

void TFrm_Addgoods::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Addgoods::FormShow()
{
    TFrm_Data *dm = Frm_Data();
    ui->Combo_Units->clear();
    QSqlQuery q;
    if (dm->ADOConnection1.query(q, u"select Name from Dict_Units"_s))
        while (q.next())
            ui->Combo_Units->addItem(q.value(0).toString());
    ui->Combo_Units->setCurrentIndex(ui->Combo_Units->count() >= 4 ? 3 : -1);

    // Opened from elsewhere than the catalogue, the shared goods query may not be open yet.
    if (!dm->Qry_Goods->isOpen())
        dm->OpenSQL(dm->Qry_Goods, u"select * from T_Goods order by GoodsCode"_s);

    if (AddMode == 1) {
        setWindowTitle(u"新增商品信息"_s);
        ui->combo_type->clear();
        CategoryCode.clear();
        ui->Edit_Name->clear();
        ui->Edit_Bar->clear();
        ui->Edit_Remark->clear();
        ui->Edit_SalePrice->setText(u"0"_s);
        ui->Edit_InPrice->setText(u"0"_s);
        ui->DBNavigator1->hide();
        ui->Edit_Code->setText(goods::autoGoodsCode() ? dm->Ini.readString(u"Other"_s, u"goodsCode"_s) : QString());
    } else {
        setWindowTitle(u"编辑商品信息"_s);
        LoadCurrentRow();
    }
    ui->Edit_Name->setFocus();
}

void TFrm_Addgoods::LoadCurrentRow()
{
    DataSet *g = Frm_Data()->Qry_Goods;
    OldCode = g->text(u"GoodsCode"_s);
    ui->Edit_Code->setText(OldCode);
    ui->Edit_Name->setText(g->text(u"GoodsName"_s));
    ui->Edit_SalePrice->setText(g->isEmpty() ? QString() : g->money(u"SalePrice"_s).toPlainString());
    ui->Edit_InPrice->setText(g->isEmpty() ? QString() : g->money(u"InPrice"_s).toPlainString());
    ui->Edit_Bar->setText(g->text(u"BarCode"_s));
    ui->Combo_Units->setCurrentText(g->text(u"Units"_s));
    ui->Edit_Remark->setText(g->text(u"Remark"_s));
    CategoryCode = g->text(u"GoodsType"_s);
    const QVariant name = Frm_Data()->ADOConnection1.scalar(u"select Name from Goods_Category where Code = ?"_s,
                                                            SqlArgs{CategoryCode});
    ui->combo_type->setText(name.toString());
}

void TFrm_Addgoods::navigate(int step)
{
    DataSet *g = Frm_Data()->Qry_Goods;
    switch (step) {
    case -2: g->first(); break;
    case -1: g->prior(); break;
    case 1: g->next(); break;
    case 2: g->last(); break;
    }
    LoadCurrentRow();
}

void TFrm_Addgoods::combo_typeButtonClick()
{
    TFrm_Tree::open(this, u"goods_Category"_s, u"商品分组"_s, 3, [this](const QString &code, const QString &name) {
        CategoryCode = code;
        ui->combo_type->setText(name);
    });
}

void TFrm_Addgoods::Btn_OKClick()
{
    TFrm_Data *dm = Frm_Data();
    Database &db = dm->ADOConnection1;
    DataSet *g = dm->Qry_Goods;

    if (ui->Edit_Name->text().trimmed().isEmpty()) {
        ask(u"商品名称不能为空!"_s);
        ui->Edit_Name->setFocus();
        return;
    }

    goods::GoodsFields f;
    f.type = CategoryCode;
    f.code = ui->Edit_Code->text().trimmed();
    f.name = ui->Edit_Name->text();
    f.salePrice = ui->Edit_SalePrice->text();
    f.inPrice = ui->Edit_InPrice->text();
    f.units = ui->Combo_Units->currentText();
    f.barCode = ui->Edit_Bar->text();
    f.remark = ui->Edit_Remark->text();

    // A price that is not a number is refused here, before anything is written.
    const QString badPrice = goods::badPriceField(f);
    if (!badPrice.isEmpty()) {
        const bool sale = badPrice == u"SalePrice"_s;
        Prompt::warning(this, u"警告"_s, sale ? u"销售单价必须是数字!"_s : u"进货单价必须是数字!"_s);
        (sale ? ui->Edit_SalePrice : ui->Edit_InPrice)->setFocus();
        return;
    }

    const bool adding = AddMode == 1;
    // Adding, and editing to a code another item already has, are refused alike.
    if (adding || f.code != OldCode) {
        bool taken = false;
        QString err;
        const QVariant self = adding ? QVariant() : g->value(u"GoodsID"_s);
        if (!goods::goodsCodeTaken(db, f.code, self, &taken, &err)) {
            Prompt::databaseError(this, err);
            return;
        }
        if (taken) {
            ask(u"商品编码有重复,请换一个名称!"_s);
            ui->Edit_Code->setFocus();
            return;
        }
    }

    QString err;
    const bool codeChanged = !adding && f.code != OldCode;
    if (!goods::saveGoods(g, f, adding, OldCode, &err)) {
        if (codeChanged) {
            ask(u"保存数据失败"_s);
            accept();
        } else {
            Prompt::databaseError(this, err);
        }
        return;
    }
    if (adding)
        ui->Edit_Code->setText(goods::autoGoodsCode() ? goods::AutoAdd(f.code) : QString());
    accept();
}

void TFrm_Addgoods::done(int r)
{
    // The box's content becomes the next proposal: after a save the next code,
    // after 退出 whatever the operator left there.
    if (AddMode == 1 && goods::autoGoodsCode())
        Frm_Data()->Ini.writeString(u"Other"_s, u"goodsCode"_s, ui->Edit_Code->text());
    QDialog::done(r);
}
