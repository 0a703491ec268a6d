#include "MemberRules.h"

#include "core/Format.h"
#include "data/Ledger.h"

#include <QRegularExpression>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace members {

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Column names come from the program, never from input; refuse anything else.
bool isColumnName(const QString &name)
{
    static const QRegularExpression re(u"^[A-Za-z_][A-Za-z0-9_]*$"_s);
    return re.match(name).hasMatch();
}

} // namespace

QStringList cardKinds() { return {KindDiscount, KindStored, KindCount, KindUpgrade}; }

bool kindHasBalance(const QString &kind) { return kind == KindStored || kind == KindCount || kind == KindUpgrade; }

bool CountCardUses(const QString &amountText, qint64 *uses)
{
    Money amount;
    if (!Money::parse(amountText.trimmed(), &amount))
        return false;
    // Whole part of amount ÷ 10, in exact ten-thousandths (truncated toward zero).
    *uses = amount.units() / (10 * 10000);
    return true;
}

QString containsPattern(const QString &keyword)
{
    QString escaped;
    escaped.reserve(keyword.size() + 2);
    for (const QChar c : keyword) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return QString(u'%' + escaped + u'%');
}

bool CardCodeTaken(Database &db, const QString &cardCode, bool *ok)
{
    bool found = false;
    const QVariant v = db.scalar(u"select count(*) from T_Card where CardCode = ?"_s, SqlArgs{cardCode}, &found);
    if (ok)
        *ok = found;
    return found && v.toLongLong() > 0;
}

bool AddMember(Database &db, const NewMember &m, qint64 *userId, QString *error)
{
    const QString cardCode = m.columns.value(u"CardCode"_s).toString();
    const QString kind = m.columns.value(u"NewCard"_s).toString();
    QStringList names;
    QStringList marks;
    SqlArgs args;
    for (auto it = m.columns.cbegin(); it != m.columns.cend(); ++it) {
        if (!isColumnName(it.key()))
            return fail(error, u"invalid column name "_s + it.key());
        names << it.key();
        marks << u"?"_s;
        args << it.value();
    }

    Transaction tx(db);
    // The top-up list and the card come in together or not at all.
    if (kindHasBalance(kind) && !m.openingAmount.isZero()) {
        if (!db.exec(u"insert into T_Money (CardCode, MemName, xfdate, xfmoney, UserName, CardType) "
                     u"values (?, ?, ?, ?, ?, ?)"_s,
                     SqlArgs{cardCode, m.columns.value(u"MemName"_s), QDate::currentDate(),
                             db.money(m.openingAmount), m.recorder, kind},
                     error))
            return false;
    }
    if (!db.exec(u"insert into T_Card ("_s + names.join(u", "_s) + u") values ("_s + marks.join(u", "_s) + u")"_s,
                 args, error))
        return false;
    bool ok = false;
    const qint64 id =
        db.scalar(u"select max(UserID) from T_Card where CardCode = ?"_s, SqlArgs{cardCode}, &ok, error).toLongLong();
    if (!ok || id <= 0)
        return false;
    if (kindHasBalance(kind)) {
        const Money balance = Money::fromVariant(m.columns.value(u"Money"_s));
        ledger::Entry e;
        e.cardCode = cardCode;
        e.userId = id;
        e.kind = ledger::Opening;
        e.change = balance;
        e.balance = balance;
        e.userName = m.recorder;
        if (!ledger::record(db, e, error))
            return false;
    }
    if (!tx.commit())
        return fail(error, db.lastError());
    if (userId)
        *userId = id;
    return true;
}

bool UpdateMember(Database &db, qint64 userId, const QVariantMap &columns, QString *error)
{
    QStringList sets;
    SqlArgs args;
    for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
        if (!isColumnName(it.key()))
            return fail(error, u"invalid column name "_s + it.key());
        sets << QString(it.key() + u" = ?"_s);
        args << it.value();
    }
    args << userId;
    Transaction tx(db);
    if (!sets.isEmpty()
        && !db.exec(u"update T_Card set "_s + sets.join(u", "_s) + u" where UserID = ?"_s, args, error))
        return false;
    // The initial points may have changed: the balance follows the points rule, not the initial points.
    if (!RecomputeMemberTotals(db, userId, error))
        return false;
    if (!tx.commit())
        return fail(error, db.lastError());
    return true;
}

bool DeleteMember(Database &db, qint64 userId, QString *error)
{
    bool ok = false;
    const QString cardCode =
        db.scalar(u"select CardCode from T_Card where UserID = ?"_s, SqlArgs{userId}, &ok, error).toString();
    if (!ok)
        return fail(error, error && !error->isEmpty() ? *error : u"没有这个会员"_s);
    Transaction tx(db);
    // Bill lines go first: they find their bills by number.
    const QStringList statements = {
        u"delete from T_CardCashDetail where CardCode = ? or BillCode in "
        u"(select BillCode from T_CardCash where UserID = ?)"_s,
        u"delete from T_CardCash where CardCode = ? or UserID = ?"_s,
        u"delete from T_DHRecord where CardCode = ? or UserID = ?"_s,
    };
    for (const QString &sql : statements)
        if (!db.exec(sql, SqlArgs{cardCode, userId}, error))
            return false;
    if (!db.exec(u"delete from T_Money where CardCode = ?"_s, SqlArgs{cardCode}, error)
        || !db.exec(u"delete from T_Card where UserID = ?"_s, SqlArgs{userId}, error))
        return false;
    if (!tx.commit())
        return fail(error, db.lastError());
    return true;
}

bool RecomputeMemberTotals(Database &db, qint64 userId, QString *error)
{
    bool ok = false;
    const QVariant billSum =
        db.scalar(u"select coalesce(sum(CashMoney), 0) from T_CardCash where UserID = ?"_s, SqlArgs{userId}, &ok, error);
    if (!ok)
        return false;
    const QVariant earned =
        db.scalar(u"select coalesce(sum(Cent), 0) from S_Cash where UserID = ?"_s, SqlArgs{userId}, &ok, error);
    if (!ok)
        return false;
    const QVariant spent =
        db.scalar(u"select coalesce(sum(DHCent), 0) from S_DHRecord where UserID = ?"_s, SqlArgs{userId}, &ok, error);
    if (!ok)
        return false;
    const double difference = earned.toDouble() - spent.toDouble();
    return db.exec(u"update T_Card set CashMoney = ?, Cent = coalesce(StartCent, 0) + ? where UserID = ?"_s,
                   SqlArgs{db.money(Money::fromVariant(billSum)), difference, userId}, error);
}

bool SetCardState(Database &db, qint64 userId, const QString &state, QString *error)
{
    return db.exec(u"update T_Card set state = ? where UserID = ?"_s, SqlArgs{state, userId}, error);
}

} // namespace members
