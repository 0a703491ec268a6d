#pragma once
class QWidget;

namespace goods {
// Connects the main window's goods commands (M_Goods, AddGoods, EditGoods, DelGoods,
// Addgoods_*, Exp_goods, Q_goods, Select_addgoods) to the goods windows.
void installActions(QWidget *mainWindow);
} // namespace goods
