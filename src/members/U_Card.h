#pragma once
#include <QWidget>
#include <memory>

class DataGrid;
class QAction;
class QMenu;
class QTimer;
namespace Ui { class TFrm_Card; }

// The member list: members with a category tree, the current member's bills and
// the current bill's lines. It drives the data module's shared member query, so
// every window that works on "the current member" reads the row under its cursor.
class TFrm_Card : public QWidget
{
    Q_OBJECT
public:
    explicit TFrm_Card(QWidget *parent = nullptr);
    ~TFrm_Card() override;

    DataGrid *memberGrid() const;
    QTimer *Timer1 = nullptr;
    QMenu *PopupMenu1 = nullptr; // member grid
    QMenu *PopupMenu2 = nullptr; // bill grid
    QMenu *PopupMenu4 = nullptr; // category tree
    QMenu *PopupMenu5 = nullptr; // 会员卡 button

    // Loads everything; runs on the first show (tests call it directly too).
    void FormShow();
    void Btn_OKClick();
    void Edit_keyKeyPress(); // Enter in the swipe box
    void Timer1Timer();
    void TreeView1DblClick();
    void N5Click();          // refresh: re-runs the list's current statement
    void N13Click();         // save grid settings
    void N8Click();          // field chooser
    void Excel1Click();
    void N18Click();         // reload the category tree
    void MenuItem1Click();   // loss report
    void MenuItem2Click();   // cancel a loss report
    // Shows " 共有 n 条记录" in the main window's status bar.
    void ShowStatusText();
    QString statusText() const;
    // Footers of the bill and bill-line grids.
    void RefreshFooters();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void applyRights();
    void openMembers(const QString &sql, const QVariantList &args = {});
    void changeLossState(bool report);
    QAction *actionItem(QMenu *menu, const char *itemName, const QString &caption, const QString &actionName);

    std::unique_ptr<Ui::TFrm_Card> ui;
    bool m_shown = false;
};
