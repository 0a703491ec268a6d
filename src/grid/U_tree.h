#pragma once
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QTreeWidgetItem;
namespace Ui { class TFrm_Tree; }

// The category editor and picker for Mem_Category and Goods_Category. Callers
// set TableName, RootCaption and PickTarget (and onPick when they pick), then exec().
class TFrm_Tree : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_Tree(QWidget *parent = nullptr);
    ~TFrm_Tree() override;

    // Every opener does the same: set the table, the root caption and the pick
    // target, show modally, and hear about a pick.
    static int open(QWidget *parent, const QString &tableName, const QString &rootCaption, int pickTarget = 0,
                    std::function<void(const QString &code, const QString &name)> onPick = {});

    QString TableName;     // "Mem_Category" or "Goods_Category", any letter case
    QString RootCaption;
    int PickTarget = 0;    // 0 none, 1 member editor, 2 batch change, 3 goods editor
    // Called when the operator picks (button "选择&C" or double-click) with target != 0; then the dialog closes.
    std::function<void(const QString &code, const QString &name)> onPick;

    int AddMode = 0;        // 1 while adding, 0 while editing
    bool AddAsChild = false; // the pending new node is a child (true) or a sibling (false) of the selected node
    QString BaseCode;       // code the new code was proposed from; "0" for the root

    QMenu *PopupMenu1 = nullptr;
    QAction *N1 = nullptr;  // 新增同级节点 (F3)
    QAction *N2 = nullptr;  // 新增下级节点 (F4)

    // Loads the tree; runs on the first show, and tests call it directly.
    void FormShow();

    void TreeView1Click();
    void TreeView1DblClick();
    void tb_addClick();
    void N1Click();
    void N2Click();
    void tb_editClick();
    void TB_SaveClick();
    void TB_CancelClick();
    void tb_delClick();
    void ToolButton1Click();
    void tb_resultClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void startAdd(bool asChild);
    void setBrowsing(bool browsing);
    void saveNew();
    void saveRename();
    void pick();
    QString table() const;
    QString boxCaption() const;

    std::unique_ptr<Ui::TFrm_Tree> ui;
    bool m_shown = false;
};
