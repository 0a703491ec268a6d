#pragma once
#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;
class QPushButton;
class QLabel;
class IniFile;
#include "data/Database.h"

// Connection settings (section DBConn of Config.ini): embedded file or a
// PostgreSQL server shared by several workstations. Started as `orvalis --configure`.
class TFrm_DbConfig : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_DbConfig(IniFile &ini, QWidget *parent = nullptr);

    QComboBox *Combo_Driver;
    QLineEdit *Edit_Server;
    QSpinBox *Edit_Port;
    QLineEdit *Edit_Database;
    QLineEdit *Edit_User;
    QLineEdit *Edit_Password;
    QPushButton *Btn_Test;
    QPushButton *Btn_OK;
    QPushButton *Btn_Cancel;
    QLabel *lbl_Result;

    void Btn_TestClick();
    void Btn_OKClick();

private:
    void updateEnabled();
    ConnectionSettings settingsFromForm() const;
    IniFile &m_ini;
};
