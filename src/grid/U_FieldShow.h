#pragma once
#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// Field chooser: which columns of a grid configuration are shown.
class TFrm_FieldShow : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_FieldShow(QWidget *parent = nullptr);

    QString ConfigTableName;

    QLabel *Panel1;
    QLabel *Panel2;
    QListWidget *SrcList;
    QListWidget *DstList;
    QPushButton *SP_right;
    QPushButton *SP_allright;
    QPushButton *SP_left;
    QPushButton *SP_allleft;
    QPushButton *Btn_ok;
    QPushButton *Btn_exit;
    QPushButton *BitBtn1;

    void FormShow();
    void SP_rightClick();
    void SP_allrightClick();
    void SP_leftClick();
    void SP_allleftClick();
    void Btn_okClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void moveSelected(QListWidget *from, QListWidget *to);
    void moveAll(QListWidget *from, QListWidget *to);
    void updateButtons();
    bool m_shown = false;
};
