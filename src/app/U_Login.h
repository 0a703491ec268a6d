#pragma once
#include <QDialog>
#include <memory>

namespace Ui { class TFrm_Login; }

// Every use of the system happens under a named operator: this dialog picks one
// and checks the password. A successful login fills the Session.
class TFrm_Login : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_Login(QWidget *parent = nullptr);
    ~TFrm_Login() override;

    bool loginSucceeded() const { return m_success; }

    void FormShow();
    void Btn_okClick();
    void Btn_ExitClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    std::unique_ptr<Ui::TFrm_Login> ui;
    bool m_success = false;
    bool m_shown = false;
};
