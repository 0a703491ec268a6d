#pragma once
#include <QList>
#include <QString>
#include <QStringList>

class Database;
class DataSet;

namespace goods {

// The next proposed goods code: the last four characters (the whole code when it
// is shorter) are a counter that goes up by one and keeps at least four digits.
// SP0009 → SP0010, 7 → 0008, A9999 → A10000. A code whose counter part is not all
// digits (or an empty code) gives no proposal: an empty text.
QString AutoAdd(const QString &code);

// This workstation's copy of the "automatic goods codes" setting; the editor's
// "自动" box sets it whenever it changes.
bool autoGoodsCode();
void setAutoGoodsCode(bool on);

// Whether another goods item already uses the code (compared as the database
// compares names, without case). exceptGoodsId skips the item being edited.
// False with *error set when the database fails.
bool goodsCodeTaken(Database &db, const QString &code, const QVariant &exceptGoodsId, bool *taken,
                    QString *error);

// What the editor writes to a goods row.
struct GoodsFields
{
    QString type;     // category code
    QString code;
    QString name;
    QString salePrice; // operator's text; must be a number
    QString inPrice;
    QString units;
    QString barCode;
    QString remark;
};

// Which price text is not a number: "SalePrice", "InPrice", or empty when both are.
QString badPriceField(const GoodsFields &f);

// Appends (append = true) or edits the current row of the goods data set and posts it.
// When editing changes the code away from oldCode, the bill lines that name oldCode
// are rewritten to the new code in the same transaction; on any failure nothing is
// kept and the data set is reloaded from the database. False with *error on failure.
bool saveGoods(DataSet *goods, const GoodsFields &f, bool append, const QString &oldCode, QString *error);

// Deletes the goods items with these keys, each in a transaction of its own, so a
// failure on one leaves the others deleted. Returns the keys that could not be
// deleted; *firstError gets the database's text of the first failure.
QList<QVariant> deleteGoods(DataSet *goods, const QList<QVariant> &goodsIds, QString *firstError = nullptr);

} // namespace goods
