#include "U_Login.h"
#include "ui_U_Login.h"

#include "AppPaths.h"
#include "Prompt.h"
#include "Session.h"
#include "U_data.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace {
QPixmap banner(int w, int h)
{
    QPixmap pm(w, h);
    QPainter p(&pm);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    g.setColorAt(1, QColor(0x3a, 0x7c, 0xa5));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPointSize(16);
    f.setBold(true);
    p.setFont(f);
    const QString title = Session::instance().ProgramTitle.isEmpty() ? u"会员管理系统"_s
                                                                     : Session::instance().ProgramTitle;
    p.drawText(pm.rect(), Qt::AlignCenter, title);
    return pm;
}
} // namespace

TFrm_Login::TFrm_Login(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrm_Login>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(sizeHint().expandedTo(QSize(400, 250)));
    connect(ui->Btn_ok, &QPushButton::clicked, this, &TFrm_Login::Btn_okClick);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &TFrm_Login::Btn_ExitClick);
}

TFrm_Login::~TFrm_Login() = default;

void TFrm_Login::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Login::FormShow()
{
    ui->Image1->setPixmap(banner(width(), 64));
    ui->Combo_User->clear();
    TFrm_Data *dm = Frm_Data();
    if (!dm || !dm->ADOConnection1.isOpen())
        return;
    if (!dm->OpenSQL(dm->Qry_Temp, u"select * from admin where IsUser=1"_s))
        return;
    // The name is the table's second column.
    for (int r = 0; r < dm->Qry_Temp->rowCount(); ++r)
        ui->Combo_User->addItem(dm->Qry_Temp->text(r, 1));
    const int pos = dm->Ini.readInteger(u"login"_s, u"username"_s, -1);
    ui->Combo_User->setCurrentIndex(pos >= 0 && pos < ui->Combo_User->count() ? pos : -1);
    ui->Edit_Pass->setFocus();
}

void TFrm_Login::Btn_okClick()
{
    TFrm_Data *dm = Frm_Data();
    const QString user = ui->Combo_User->currentText();
    const QString typed = ui->Edit_Pass->text();

    // Whatever happens, the chosen position is remembered for the next start.
    struct RememberPosition {
        TFrm_Data *dm; QComboBox *combo;
        ~RememberPosition() { if (dm) dm->Ini.writeInteger(u"login"_s, u"username"_s, combo->currentIndex()); }
    } remember{dm, ui->Combo_User};

    QString stored;
    if (!dm->OpenSQL(dm->Qry_Temp, u"select * from admin where username = :name"_s, SqlParams{{u"name"_s, user}}))
        return;
    if (!dm->Qry_Temp->isEmpty())
        stored = dm->Qry_Temp->text(0, dm->Qry_Temp->fieldIndex(u"password"_s));

    if (user.trimmed().isEmpty()) {
        Prompt::error(this, u"警告"_s, u"请选择一个用户名！"_s);
        return;
    }
    if (typed != stored) {
        if (typed.isEmpty()) {
            Prompt::error(this, u"警告"_s, u"请输入密码！"_s);
            ui->Edit_Pass->setFocus();
        } else if (stored.trimmed().isEmpty()) {
            Prompt::error(this, u"警告"_s, user + u"密码为空，您可以直接点击确定按钮登录！"_s);
            ui->Edit_Pass->clear();
        } else {
            Prompt::error(this, u"警告"_s, u"密码错误，请重新输入密码！"_s);
            ui->Edit_Pass->clear();
        }
        return;
    }
    QString error;
    if (!Session::instance().logIn(dm->ADOConnection1, user, &error))
        Prompt::databaseError(this, error);
    m_success = true;
    accept();
}

void TFrm_Login::Btn_ExitClick()
{
    m_success = false;
    reject();
}
