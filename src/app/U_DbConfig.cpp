#include "U_DbConfig.h"

#include "AppPaths.h"
#include "Prompt.h"
#include "core/IniFile.h"
#include "data/Database.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrm_DbConfig::TFrm_DbConfig(IniFile &ini, QWidget *parent) : QDialog(parent), m_ini(ini)
{
    setObjectName(u"TFrm_DbConfig"_s);
    setWindowTitle(u"数据库连接设置"_s);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto named = [](auto *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Combo_Driver = named(new QComboBox, "Combo_Driver");
    Combo_Driver->addItem(u"本机数据库 (SQLite, 单机使用)"_s, u"sqlite"_s);
    Combo_Driver->addItem(u"PostgreSQL 服务器 (多台电脑共用)"_s, u"postgres"_s);
    Edit_Server = named(new QLineEdit, "Edit_Server");
    Edit_Port = named(new QSpinBox, "Edit_Port");
    Edit_Port->setRange(1, 65535);
    Edit_Database = named(new QLineEdit, "Edit_Database");
    Edit_User = named(new QLineEdit, "Edit_User");
    Edit_Password = named(new QLineEdit, "Edit_Password");
    Edit_Password->setEchoMode(QLineEdit::Password);
    Btn_Test = named(new QPushButton(u"测试连接"_s), "Btn_Test");
    Btn_OK = named(new QPushButton(u"确定(&Y)"_s), "Btn_OK");
    Btn_Cancel = named(new QPushButton(u"取消(&C)"_s), "Btn_Cancel");
    lbl_Result = named(new QLabel, "lbl_Result");
    lbl_Result->setWordWrap(true);
    Btn_OK->setDefault(true);

    auto *form = new QFormLayout;
    form->addRow(u"数据库类型:"_s, Combo_Driver);
    form->addRow(u"服务器:"_s, Edit_Server);
    form->addRow(u"端口:"_s, Edit_Port);
    form->addRow(u"数据库:"_s, Edit_Database);
    form->addRow(u"用户名:"_s, Edit_User);
    form->addRow(u"密码:"_s, Edit_Password);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Btn_Test);
    buttons->addStretch();
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Cancel);
    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(lbl_Result);
    top->addLayout(buttons);
    resize(440, sizeHint().height());

    const ConnectionSettings s = ConnectionSettings::fromIni(ini, QString());
    Combo_Driver->setCurrentIndex(s.isPostgres() ? 1 : 0);
    Edit_Server->setText(s.server);
    Edit_Port->setValue(s.port);
    Edit_Database->setText(s.database.isEmpty() && !s.isPostgres() ? u"orvalis.db"_s : s.database);
    Edit_User->setText(s.user);
    Edit_Password->setText(s.password);
    updateEnabled();

    connect(Combo_Driver, &QComboBox::currentIndexChanged, this, [this] { updateEnabled(); });
    connect(Btn_Test, &QPushButton::clicked, this, &TFrm_DbConfig::Btn_TestClick);
    connect(Btn_OK, &QPushButton::clicked, this, &TFrm_DbConfig::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrm_DbConfig::updateEnabled()
{
    const bool pg = Combo_Driver->currentData().toString() == u"postgres";
    for (QWidget *w : {static_cast<QWidget *>(Edit_Server), static_cast<QWidget *>(Edit_Port),
                       static_cast<QWidget *>(Edit_User), static_cast<QWidget *>(Edit_Password)})
        w->setEnabled(pg);
}

ConnectionSettings TFrm_DbConfig::settingsFromForm() const
{
    ConnectionSettings s;
    s.driver = Combo_Driver->currentData().toString();
    s.server = Edit_Server->text().trimmed();
    s.port = Edit_Port->value();
    s.database = Edit_Database->text().trimmed();
    s.user = Edit_User->text().trimmed();
    s.password = Edit_Password->text();
    return s;
}

void TFrm_DbConfig::Btn_TestClick()
{
    ConnectionSettings s = settingsFromForm();
    if (!s.isPostgres()) {
        // The embedded file is created on first start; testing means the folder is writable.
        lbl_Result->setText(u"本机数据库文件: "_s + AppPaths::file(s.database));
        return;
    }
    Database db;
    QString error;
    if (db.open(s, &error)) {
        lbl_Result->setText(u"连接成功。"_s);
        Prompt::information(this, u"测试连接"_s, u"连接成功!"_s);
    } else {
        lbl_Result->setText(u"连接失败: "_s + error);
        Prompt::warning(this, u"测试连接"_s, u"连接失败:\n"_s + error);
    }
}

void TFrm_DbConfig::Btn_OKClick()
{
    const ConnectionSettings s = settingsFromForm();
    if (s.database.isEmpty()) {
        Prompt::warning(this, u"警告"_s, u"请输入数据库名称!"_s);
        return;
    }
    s.writeToIni(m_ini);
    accept();
}
