#pragma once
#include <QDialog>
#include <memory>

namespace Ui { class TFrm_Addgoods; }

// Adds one goods item or edits the current row of the shared goods query, which
// the goods catalogue shows, so the catalogue sees the change at once.
class TFrm_Addgoods : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_Addgoods(QWidget *parent = nullptr);
    ~TFrm_Addgoods() override;

    int AddMode = 1;        // 1 add, 0 edit; set before showing
    QString OldCode;        // the code of the row as loaded for editing
    QString CategoryCode;   // the picked category's code (the box shows its name)

    void Btn_OKClick();
    void combo_typeButtonClick();
    void cb_AutoClick();

protected:
    void showEvent(QShowEvent *e) override;
    void done(int r) override;

private:
    void FormCreate();
    void FormShow();
    void LoadCurrentRow();
    void navigate(int step);
    void ask(const QString &text);

    std::unique_ptr<Ui::TFrm_Addgoods> ui;
    bool m_shown = false;
};
