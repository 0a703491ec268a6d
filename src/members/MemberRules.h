#pragma once
#include "core/Money.h"
#include "data/Database.h"

#include <QString>
#include <QVariantMap>

// Member rules shared by the member windows and the card transactions. No
// widgets here: every function works on the database it is given.
namespace members {

inline const QString KindDiscount = QStringLiteral("折扣卡");
inline const QString KindStored = QStringLiteral("储值卡");
inline const QString KindCount = QStringLiteral("计次卡");
inline const QString KindUpgrade = QStringLiteral("升级卡");
inline const QString StateUsable = QStringLiteral("可用");
inline const QString StateLost = QStringLiteral("不可用");

// The four kinds in the order of the editor's kind box (and of its pages).
QStringList cardKinds();
// Kinds that carry a balance (money, or uses for a count card) and an opening amount.
bool kindHasBalance(const QString &kind);

// A count card's uses bought by an amount of money: the whole part of amount ÷ 10
// (100 → 10, 95 → 9, 0 → 0). False when the amount is not a number.
bool CountCardUses(const QString &amountText, qint64 *uses);

// LIKE pattern that finds the keyword anywhere, with %, _ and the escape
// character taken literally (to be used with ESCAPE '\').
QString containsPattern(const QString &keyword);

// Whether a card number is already held by a member (compared without case).
bool CardCodeTaken(Database &db, const QString &cardCode, bool *ok = nullptr);

// A new member as the editor collected it: T_Card columns and their values
// (CardCode, NewCard and, for kinds with a balance, Money included), and the
// opening payment for the top-up list.
struct NewMember
{
    QVariantMap columns;
    Money openingAmount;   // money paid (a count card's Money holds uses, not this)
    QString recorder;      // operator written on the top-up row
};

// Writes the member, its opening T_Money row (when the amount is not zero) and
// its first balance journal row, all or nothing. Gives the new UserID.
bool AddMember(Database &db, const NewMember &m, qint64 *userId, QString *error = nullptr);

// Changes the given T_Card columns of a member and recomputes its totals, all or nothing.
bool UpdateMember(Database &db, qint64 userId, const QVariantMap &columns, QString *error = nullptr);

// Deletes a member with its bills, bill lines, exchange records and top-ups in
// one transaction. The balance journal keeps its rows: they are the audit trail.
bool DeleteMember(Database &db, qint64 userId, QString *error = nullptr);

// Cumulative consumption (sum of the member's bills) and points balance
// (StartCent + points of the bills − points exchanged) of one member.
bool RecomputeMemberTotals(Database &db, qint64 userId, QString *error = nullptr);

// Sets a discount card's state ("可用"/"不可用"); false when no such member.
bool SetCardState(Database &db, qint64 userId, const QString &state, QString *error = nullptr);

} // namespace members
