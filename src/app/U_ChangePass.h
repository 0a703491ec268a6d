#pragma once
#include <QDialog>
#include <memory>

namespace Ui { class TFrm_ChangePass; }

// The logged-in operator changes the own password.
class TFrm_ChangePass : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_ChangePass(QWidget *parent = nullptr);
    ~TFrm_ChangePass() override;

    void Btn_okClick();

private:
    std::unique_ptr<Ui::TFrm_ChangePass> ui;
};
