#include "GoodsRules.h"

#include "core/Money.h"
#include "data/DataSet.h"
#include "data/Database.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace goods {

namespace {
bool s_autoGoodsCode = false;

bool allDigits(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}
} // namespace

QString AutoAdd(const QString &code)
{
    const qsizetype split = code.size() > 4 ? code.size() - 4 : 0;
    const QString head = code.left(split);
    const QString counter = code.mid(split);
    // The item is already saved when the next code is formed: a counter that is
    // not a number must not fail there, it just leaves nothing to propose.
    if (!allDigits(counter))
        return {};
    const qint64 next = counter.toLongLong() + 1;
    return head + QString::number(next).rightJustified(4, u'0');
}

bool autoGoodsCode() { return s_autoGoodsCode; }
void setAutoGoodsCode(bool on) { s_autoGoodsCode = on; }

bool goodsCodeTaken(Database &db, const QString &code, const QVariant &exceptGoodsId, bool *taken, QString *error)
{
    QSqlQuery q;
    const bool editing = exceptGoodsId.isValid() && !exceptGoodsId.isNull();
    const bool ran = editing
        ? db.query(q, u"select GoodsID from T_Goods where GoodsCode = ? and GoodsID <> ?"_s, SqlArgs{code, exceptGoodsId},
                   error)
        : db.query(q, u"select GoodsID from T_Goods where GoodsCode = ?"_s, SqlArgs{code}, error);
    if (!ran)
        return false;
    *taken = q.next();
    return true;
}

QString badPriceField(const GoodsFields &f)
{
    Money m;
    if (!Money::parse(f.salePrice, &m))
        return u"SalePrice"_s;
    if (!Money::parse(f.inPrice, &m))
        return u"InPrice"_s;
    return {};
}

bool saveGoods(DataSet *goods, const GoodsFields &f, bool append, const QString &oldCode, QString *error)
{
    Database &db = *goods->database();
    Money sale, in;
    if (!Money::parse(f.salePrice, &sale) || !Money::parse(f.inPrice, &in)) {
        *error = u"单价不是数字"_s;
        return false;
    }
    const QString newCode = f.code.trimmed();
    const bool carry = !append && newCode != oldCode;

    Transaction tx(db);
    bool ok = tx.isActive();
    if (!ok)
        *error = db.lastError();
    if (ok) {
        if (append)
            goods->append();
        else
            goods->edit();
        if (!goods->isEditing()) {
            *error = goods->lastError().isEmpty() ? u"商品资料未打开"_s : goods->lastError();
            ok = false;
        }
    }
    if (ok) {
        goods->setValue(u"GoodsType"_s, f.type.trimmed());
        goods->setValue(u"GoodsCode"_s, newCode);
        goods->setValue(u"GoodsName"_s, f.name.trimmed());
        goods->setValue(u"SalePrice"_s, db.money(sale));
        goods->setValue(u"InPrice"_s, db.money(in));
        goods->setValue(u"Units"_s, f.units.trimmed());
        goods->setValue(u"BarCode"_s, f.barCode.trimmed());
        goods->setValue(u"Remark"_s, f.remark.trimmed());
        ok = goods->post();
        if (!ok)
            *error = goods->lastError();
    }
    if (ok && carry)
        ok = db.exec(u"update T_CardCashDetail set GoodsCode = ? where GoodsCode = ?"_s, SqlArgs{newCode, oldCode},
                     error);
    if (ok) {
        ok = tx.commit();
        if (!ok)
            *error = db.lastError();
    }
    if (!ok) {
        tx.rollback();
        if (goods->isEditing())
            goods->cancel();
        // The row in memory may show what was rolled back: show the database again.
        goods->refresh();
    }
    return ok;
}

QList<QVariant> deleteGoods(DataSet *goods, const QList<QVariant> &goodsIds, QString *firstError)
{
    QList<QVariant> failed;
    Database &db = *goods->database();
    for (const QVariant &id : goodsIds) {
        if (!goods->locate(u"GoodsID"_s, id))
            continue; // already gone
        QString err;
        Transaction tx(db);
        bool ok = tx.isActive();
        if (!ok)
            err = db.lastError();
        if (ok && !goods->remove()) {
            ok = false;
            err = goods->lastError();
        }
        if (ok && !tx.commit()) {
            ok = false;
            err = db.lastError();
        }
        if (!ok) {
            tx.rollback();
            failed << id;
            if (firstError && firstError->isEmpty())
                *firstError = err;
        }
    }
    return failed;
}

} // namespace goods
