#pragma once
#include <QDialog>
#include <memory>

class QAction;
namespace Ui { class TFrm_CardType; }

// Card levels (Dict_CardType): named discount grades. Its add, edit, delete,
// save and cancel buttons are the main window's commands, which act on the one
// open instance.
class TFrm_CardType : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_CardType(QWidget *parent = nullptr);
    ~TFrm_CardType() override;

    // The open instance, or nullptr.
    static TFrm_CardType *instance();

    int AddMode = 0; // 1 while adding, 0 while editing

    void FormShow();
    void AddCardTypeExecute();
    void EditCardTypeExecute();
    void DelCardTypeExecute();
    void SaveCardTypeExecute();
    void CancelCardTypeExecute();
    void DBGridEh1CellClick();

protected:
    void showEvent(QShowEvent *e) override;
    void done(int r) override;

private:
    QAction *command(const QString &name, const QString &caption, void (TFrm_CardType::*handler)());
    void setBrowsing(bool browsing, bool byRights);
    void copyCurrentLevel();

    std::unique_ptr<Ui::TFrm_CardType> ui;
    bool m_shown = false;
};
