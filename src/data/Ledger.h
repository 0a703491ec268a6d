#pragma once
#include "Database.h"

#include <QList>
#include <QString>

// The balance journal: one row per change of a card's Money, so every yuan of
// stored value (the shop's debt to its customers) can be traced. Each operation
// that changes a balance writes its row in the same transaction.
namespace ledger {

// Kinds of change, as stored in T_CardLedger.Kind.
inline const QString Opening = QStringLiteral("开户");
inline const QString Bill = QStringLiteral("消费");
inline const QString BillDeleted = QStringLiteral("删除消费");
inline const QString Renewal = QStringLiteral("续费");
inline const QString TransferOut = QStringLiteral("转出");
inline const QString TransferIn = QStringLiteral("转入");
inline const QString CountUse = QStringLiteral("计次消费");
inline const QString CardChange = QStringLiteral("换卡");
inline const QString CashCheckout = QStringLiteral("结帐清零");

struct Entry
{
    QString cardCode;
    qint64 userId = 0;
    QString kind;
    Money change;
    Money balance;
    QString billCode;
    QString userName;
};

bool record(Database &db, const Entry &e, QString *error = nullptr);

struct Mismatch
{
    qint64 userId;
    QString cardCode;
    Money balance;
    Money journal;
};
// Cards whose Money differs from the sum of their journal rows.
QList<Mismatch> mismatches(Database &db, QString *error = nullptr);

} // namespace ledger
