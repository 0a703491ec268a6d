#pragma once
#include <QDialog>

class DataGrid;
class DataSet;
class QPushButton;

// Caption editor: the operator edits the rows of one grid configuration in a grid.
class TFrm_FieldCaption : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_FieldCaption(QWidget *parent = nullptr);
    ~TFrm_FieldCaption() override;

    QString ConfigTableName;

    DataSet *Qry_Caption;
    DataGrid *DBGridEh1;
    QPushButton *BitBtn1;

    void FormShow();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *e) override;
    void done(int r) override;

private:
    bool m_shown = false;
};
