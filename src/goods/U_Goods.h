#pragma once
#include <QDialog>
#include <memory>

class DataGrid;
class QAction;
class QLabel;
class QMenu;
namespace Ui { class TFrm_Goods; }

// The goods catalogue: goods categories on the left, the shared goods query in a
// configurable grid on the right, a one-field search above it. Adding, editing and
// deleting are the main window's goods commands; they act on the open catalogue.
class TFrm_Goods : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_Goods(QWidget *parent = nullptr);
    ~TFrm_Goods() override;

    // The catalogue being shown, if any (it is modal: at most one).
    static TFrm_Goods *openInstance();

    DataGrid *grid() const;
    QString statusText() const;

    QMenu *PopupMenu1 = nullptr; // on the tree
    QMenu *PopupMenu2 = nullptr; // on the window
    QAction *N1 = nullptr, *N2 = nullptr, *N4 = nullptr, *N6 = nullptr, *N8_goods = nullptr, *N9 = nullptr;
    QMenu *N11 = nullptr;
    QAction *Excel1 = nullptr, *Excel2 = nullptr;

    // Runs on the first show; tests call it directly.
    void FormShow();

    void TreeView1DblClick();
    void Btn_OKClick();
    void N1Click();
    void N2Click();
    void N4Click();
    void N6Click();
    void N8_goodsClick();
    void N9Click();
    void Excel1Click();
    void Excel2Click();
    void DelGoodsExecute();
    void Q_goodsExecute();

protected:
    void showEvent(QShowEvent *e) override;
    void done(int r) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void applyWindowRights();
    void setStatus(const QString &text);
    void rebuildColumns();

    std::unique_ptr<Ui::TFrm_Goods> ui;
    QLabel *m_status = nullptr;
    bool m_shown = false;
};
