#include "U_ChangePass.h"
#include "ui_U_ChangePass.h"

#include "Prompt.h"
#include "Session.h"
#include "U_data.h"

using namespace Qt::StringLiterals;

TFrm_ChangePass::TFrm_ChangePass(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrm_ChangePass>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(sizeHint().expandedTo(QSize(300, 150)));
    connect(ui->Btn_ok, &QPushButton::clicked, this, &TFrm_ChangePass::Btn_okClick);
    connect(ui->btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_ChangePass::~TFrm_ChangePass() = default;

void TFrm_ChangePass::Btn_okClick()
{
    TFrm_Data *dm = Frm_Data();
    // Its own data set: the row is written back through it.
    DataSet row(&dm->ADOConnection1);
    row.setTable(u"Admin"_s, u"UserID"_s);
    DataSet *q = &row;
    if (!dm->OpenSQL(q, u"select * from admin where username = :name"_s,
                     SqlParams{{u"name"_s, Session::instance().CurrentOperator}}))
        return;
    const QString stored = q->isEmpty() ? QString() : q->text(u"password"_s);
    if (ui->Edit_oldpass->text() != stored) {
        Prompt::plain(this, u"旧密码错误!"_s);
        return;
    }
    if (ui->Edit_pass->text() != ui->Edit_newpass->text()) {
        Prompt::information(this, u"验证密码"_s,
                            u"在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码."_s);
        return;
    }
    // An operator deleted meanwhile has no row to change.
    if (q->isEmpty()) {
        Prompt::warning(this, u"警告"_s, u"当前操作员已不存在, 密码没有修改!"_s);
        return;
    }
    q->edit();
    q->setValue(u"password"_s, ui->Edit_newpass->text());
    if (!q->post()) {
        Prompt::databaseError(this, q->lastError());
        q->cancel();
        return;
    }
    Prompt::information(this, u"成功"_s, u"修改密码成功!"_s);
    accept();
}
