#include "U_FieldShow.h"

#include "U_FieldCaption.h"
#include "app/Prompt.h"
#include "app/U_data.h"
#include "data/DataSet.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrm_FieldShow::TFrm_FieldShow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Frm_FieldShow"_s);
    setWindowTitle(u"选择显示的字段"_s);
    auto makeButton = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    auto makePanel = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Raised);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumHeight(24);
        return l;
    };
    Panel1 = makePanel("Panel1", u"不显示的字段"_s);
    Panel2 = makePanel("Panel2", u"显示的字段"_s);
    SrcList = new QListWidget(this);
    SrcList->setObjectName(u"SrcList"_s);
    SrcList->setToolTip(u"双击已选择的字段可以移到\"显示的字段\"框内"_s);
    DstList = new QListWidget(this);
    DstList->setObjectName(u"DstList"_s);
    DstList->setToolTip(u"双击已选择的字段可以移到\"不显示的字段\"框内"_s);
    SP_right = makeButton("SP_right", u">"_s);
    SP_allright = makeButton("SP_allright", u">>"_s);
    SP_left = makeButton("SP_left", u"<"_s);
    SP_allleft = makeButton("SP_allleft", u"<<"_s);
    Btn_ok = makeButton("Btn_ok", u"确定(&Y)"_s);
    Btn_exit = makeButton("Btn_exit", u"取消(&C)"_s);
    BitBtn1 = makeButton("BitBtn1", u"字段名称"_s);
    Btn_ok->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(Panel1, 0, 0);
    grid->addWidget(Panel2, 0, 2);
    grid->addWidget(SrcList, 1, 0);
    grid->addWidget(DstList, 1, 2);
    auto *mid = new QVBoxLayout;
    mid->addStretch();
    for (QPushButton *b : {SP_right, SP_allright, SP_left, SP_allleft}) {
        b->setFixedWidth(40);
        mid->addWidget(b);
    }
    mid->addStretch();
    grid->addLayout(mid, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addStretch();
    buttons->addWidget(Btn_ok);
    buttons->addWidget(Btn_exit);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(grid);
    lay->addLayout(buttons);
    resize(460, 400);

    connect(SP_right, &QPushButton::clicked, this, &TFrm_FieldShow::SP_rightClick);
    connect(SP_allright, &QPushButton::clicked, this, &TFrm_FieldShow::SP_allrightClick);
    connect(SP_left, &QPushButton::clicked, this, &TFrm_FieldShow::SP_leftClick);
    connect(SP_allleft, &QPushButton::clicked, this, &TFrm_FieldShow::SP_allleftClick);
    connect(SrcList, &QListWidget::itemDoubleClicked, this, &TFrm_FieldShow::SP_rightClick);
    connect(DstList, &QListWidget::itemDoubleClicked, this, &TFrm_FieldShow::SP_leftClick);
    connect(Btn_ok, &QPushButton::clicked, this, &TFrm_FieldShow::Btn_okClick);
    connect(Btn_exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &TFrm_FieldShow::BitBtn1Click);
}

void TFrm_FieldShow::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_FieldShow::FormShow()
{
    SrcList->clear();
    DstList->clear();
    DataSet *q = Frm_Data()->Qry_Temp;
    for (auto [list, show] : {std::pair{SrcList, 0}, std::pair{DstList, 1}}) {
        if (!Frm_Data()->OpenSQL(q, u"select * from T_FieldShow where Show=:s and TableName=:t"_s,
                                 SqlParams{{u":s"_s, show}, {u":t"_s, ConfigTableName}}))
            break;
        for (int r = 0; r < q->rowCount(); ++r)
            list->addItem(q->value(r, u"Name"_s).toString());
    }
    q->close();
    updateButtons();
}

void TFrm_FieldShow::updateButtons()
{
    SP_right->setEnabled(SrcList->count() > 0);
    SP_allright->setEnabled(SrcList->count() > 0);
    SP_left->setEnabled(DstList->count() > 0);
    SP_allleft->setEnabled(DstList->count() > 0);
}

void TFrm_FieldShow::moveSelected(QListWidget *from, QListWidget *to)
{
    const int row = from->currentRow();
    if (row >= 0 && from->currentItem() && from->currentItem()->isSelected())
        to->addItem(from->takeItem(row));
    if (from->count() > 0)
        from->setCurrentRow(0);
    updateButtons();
}

void TFrm_FieldShow::moveAll(QListWidget *from, QListWidget *to)
{
    while (from->count() > 0)
        to->addItem(from->takeItem(0));
    updateButtons();
}

void TFrm_FieldShow::SP_rightClick() { moveSelected(SrcList, DstList); }
void TFrm_FieldShow::SP_allrightClick() { moveAll(SrcList, DstList); }
void TFrm_FieldShow::SP_leftClick() { moveSelected(DstList, SrcList); }
void TFrm_FieldShow::SP_allleftClick() { moveAll(DstList, SrcList); }

void TFrm_FieldShow::Btn_okClick()
{
    Database &db = Frm_Data()->ADOConnection1;
    Transaction tr(db);
    for (auto [list, show] : {std::pair{SrcList, 0}, std::pair{DstList, 1}}) {
        for (int i = 0; i < list->count(); ++i) {
            QString error;
            if (!db.exec(u"update T_FieldShow set Show=:s where Name=:n and TableName=:t"_s,
                         SqlParams{{u":s"_s, show}, {u":n"_s, list->item(i)->text().trimmed()}, {u":t"_s, ConfigTableName}},
                         &error)) {
                Prompt::databaseError(this, error);
                return;
            }
        }
    }
    if (!tr.commit()) {
        Prompt::databaseError(this, db.lastError());
        return;
    }
    Prompt::plain(this, u"修改完成！"_s);
}

void TFrm_FieldShow::BitBtn1Click()
{
    TFrm_FieldCaption dlg(this);
    dlg.ConfigTableName = ConfigTableName;
    dlg.exec();
}
