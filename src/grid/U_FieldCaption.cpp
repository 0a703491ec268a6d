#include "U_FieldCaption.h"

#include "DataGrid.h"
#include "GridOps.h"
#include "app/Prompt.h"
#include "app/U_data.h"
#include "data/DataSet.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrm_FieldCaption::TFrm_FieldCaption(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Frm_FieldCaption"_s);
    setWindowTitle(u"设置表头的标签"_s);
    Qry_Caption = new DataSet(&Frm_Data()->ADOConnection1, this);
    Qry_Caption->setObjectName(u"Qry_Caption"_s);
    Qry_Caption->setTable(u"T_FieldShow"_s, u"ID"_s);
    DBGridEh1 = new DataGrid(this);
    DBGridEh1->setObjectName(u"DBGridEh1"_s);
    DBGridEh1->setReadOnly(false);
    BitBtn1 = new QPushButton(u"确定(&Y)"_s, this);
    BitBtn1->setObjectName(u"BitBtn1"_s);
    BitBtn1->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(DBGridEh1);
    lay->addLayout(buttons);
    resize(560, 420);
    connect(BitBtn1, &QPushButton::clicked, this, &TFrm_FieldCaption::BitBtn1Click);
}

TFrm_FieldCaption::~TFrm_FieldCaption() = default;

void TFrm_FieldCaption::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_FieldCaption::FormShow()
{
    if (!Frm_Data()->OpenSQL(Qry_Caption, u"select * from T_FieldShow where TableName=:t"_s,
                             SqlParams{{u":t"_s, ConfigTableName}}))
        return;
    DBGridEh1->setDataSet(Qry_Caption);
    BuildGridColumns(DBGridEh1, Qry_Caption, u"FieldCaption"_s);
}

void TFrm_FieldCaption::BitBtn1Click()
{
    if (Qry_Caption->isEditing() && !Qry_Caption->post())
        Prompt::databaseError(this, Qry_Caption->lastError());
}

void TFrm_FieldCaption::done(int r)
{
    // An edit still pending when the dialog closes is discarded.
    if (Qry_Caption->isEditing())
        Qry_Caption->cancel();
    QDialog::done(r);
}
