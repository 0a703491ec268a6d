#include "Ledger.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace ledger {

bool record(Database &db, const Entry &e, QString *error)
{
    return db.exec(u"INSERT INTO T_CardLedger (CardCode, UserID, Kind, Change, Balance, BillCode, UserName, LogTime) "
                   u"VALUES (?, ?, ?, ?, ?, ?, ?, ?)"_s,
                   SqlArgs{e.cardCode, e.userId, e.kind, db.money(e.change), db.money(e.balance), e.billCode,
                           e.userName, QDateTime::currentDateTime()},
                   error);
}

QList<Mismatch> mismatches(Database &db, QString *error)
{
    QList<Mismatch> out;
    QSqlQuery q;
    // Journal rows follow the member (UserID): a card change renames the card, not the member.
    if (!db.query(q, u"SELECT c.UserID, c.CardCode, c.Money, COALESCE(SUM(l.Change), 0) "
                     u"FROM T_Card c LEFT JOIN T_CardLedger l ON l.UserID = c.UserID "
                     u"GROUP BY c.UserID, c.CardCode, c.Money ORDER BY c.UserID"_s,
                  SqlParams{}, error))
        return out;
    while (q.next()) {
        const Money balance = Money::fromVariant(q.value(2));
        const Money journal = Money::fromVariant(q.value(3));
        if (balance != journal)
            out << Mismatch{q.value(0).toLongLong(), q.value(1).toString(), balance, journal};
    }
    return out;
}

} // namespace ledger
