#pragma once
class QWidget;

namespace goods {
// Connects the main window's goods commands (M_Goods, AddGoods, EditGoods, DelGoods,
// CancelGoods, Addgoods_*, Exp_goods, Q_goods, Select_addgoods) to the goods windows.
void installActions(QWidget *mainWindow);

// Opens the goods editor modally: addMode 1 adds, 0 edits the current goods row.
void openGoodsEditor(int addMode);

// What CancelGoods does (and closing the catalogue): the record commands follow
// the operator's rights again and CancelGoods itself is switched off.
void CancelGoodsExecute();
} // namespace goods
