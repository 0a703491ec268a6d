#include "RightsTable.h"

using namespace Qt::StringLiterals;

const QList<GatedCommands> &mainWindowRights()
{
    static const QList<GatedCommands> table = {
        {2, {u"AddCard"_s}},
        {3, {u"EditCard"_s}},
        {4, {u"DelCard"_s}},
        {5, {u"S_Card"_s}},
        {9, {u"AddGoods"_s, u"Addgoods_Add"_s, u"Select_addgoods"_s}},
        {10, {u"EditGoods"_s, u"Addgoods_Edit"_s}},
        {11, {u"DelGoods"_s, u"Addgoods_del"_s}},
        {13, {u"Q_goods"_s}},
        {15, {u"Exp_goods"_s}},
        {17, {u"AddCash"_s}},
        {18, {u"EditCash"_s}},
        {19, {u"DelCash"_s}},
        {22, {u"AddDHGoods"_s}},
        {23, {u"EditDHGoods"_s}},
        {24, {u"DelDHGoods"_s}},
        {25, {u"Q_DHGoods"_s}},
        {26, {u"Exp_DHGoods"_s}},
        {31, {u"N_R_Card"_s}},
        {32, {u"N_R_Label"_s}},
        {33, {u"N4"_s}},
        {35, {u"N39"_s}},
        {36, {u"N8"_s}},
        {37, {u"N9"_s}},
        {38, {u"N40"_s}},
        {39, {u"N56"_s}},
        {41, {u"Sys_User"_s}},
        {42, {u"M_ClearData"_s}},
        {43, {u"N52"_s}},
        // The backup entry and the command behind it go together, so nothing reaches the backup without the right.
        {44, {u"Sys_Backup"_s, u"M_Backup"_s}},
        {46, {u"M_CardType"_s}},
        {47, {u"M_Category"_s}},
        {48, {u"N53"_s}},
        {49, {u"N54"_s}},
        {50, {u"M_CashPercent"_s}},
        {51, {u"N21"_s}},
        {52, {u"Excel1"_s}},
        {53, {u"Excel2"_s}},
        {58, {u"M_Reports"_s}},
    };
    return table;
}
