#include "GoodsActions.h"

#include "U_Addgoods.h"
#include "U_Goods.h"
#include "app/Actions.h"
#include "app/Session.h"
#include "app/U_data.h"
#include "app/WindowHost.h"
#include "grid/DataGrid.h"
#include "grid/GridOps.h"

#include <QAction>
#include <QApplication>

using namespace Qt::StringLiterals;

namespace goods {

namespace {
QWidget *dialogParent()
{
    if (QWidget *w = QApplication::activeModalWidget())
        return w;
    return WindowHost::mainWindow();
}

void onTrigger(QWidget *mainWindow, const QString &name, void (*handler)())
{
    if (QAction *a = Actions::find(name))
        QObject::connect(a, &QAction::triggered, mainWindow, [handler] { handler(); });
}

void showGoods()
{
    TFrm_Goods dlg(dialogParent());
    dlg.exec();
}

void addGoods() { openGoodsEditor(1); }

void editGoods()
{
    DataSet *g = Frm_Data()->Qry_Goods;
    if (!g->isOpen() || g->isEmpty() || g->currentRow() < 0)
        return;
    openGoodsEditor(0);
}

void delGoods()
{
    if (TFrm_Goods *w = TFrm_Goods::openInstance())
        w->DelGoodsExecute();
}

void expGoods()
{
    if (TFrm_Goods *w = TFrm_Goods::openInstance())
        ExportGridToExcel(Frm_Data()->Qry_Goods, w->grid(), w);
}

void printGoods()
{
    if (TFrm_Goods *w = TFrm_Goods::openInstance())
        w->Q_goodsExecute();
}

void selectAddGoods()
{
    // The picker adds through the same shared goods query the catalogue shows.
    TFrm_Data *dm = Frm_Data();
    if (!dm->OpenSQL(dm->Qry_Goods, u"select * from T_Goods"_s))
        return;
    openGoodsEditor(1);
}
} // namespace

void openGoodsEditor(int addMode)
{
    TFrm_Addgoods dlg(dialogParent());
    dlg.AddMode = addMode;
    dlg.exec();
}

void CancelGoodsExecute()
{
    const Session &s = Session::instance();
    const struct { const char16_t *name; int right; } gated[] = {
        {u"AddGoods", 9}, {u"EditGoods", 10}, {u"DelGoods", 11}};
    for (const auto &g : gated)
        if (QAction *a = Actions::find(QString::fromUtf16(g.name)))
            a->setEnabled(s.right(g.right));
    if (QAction *a = Actions::find(u"CancelGoods"_s))
        a->setEnabled(false);
}

void installActions(QWidget *mainWindow)
{
    onTrigger(mainWindow, u"M_Goods"_s, showGoods);
    onTrigger(mainWindow, u"AddGoods"_s, addGoods);
    onTrigger(mainWindow, u"Addgoods_Add"_s, addGoods);
    onTrigger(mainWindow, u"EditGoods"_s, editGoods);
    onTrigger(mainWindow, u"Addgoods_Edit"_s, editGoods);
    onTrigger(mainWindow, u"DelGoods"_s, delGoods);
    onTrigger(mainWindow, u"Addgoods_del"_s, delGoods);
    onTrigger(mainWindow, u"CancelGoods"_s, CancelGoodsExecute);
    onTrigger(mainWindow, u"Exp_goods"_s, expGoods);
    onTrigger(mainWindow, u"Q_goods"_s, printGoods);
    onTrigger(mainWindow, u"Select_addgoods"_s, selectAddGoods);
}

} // namespace goods
