#include "Session.h"

#include "core/Format.h"
#include "data/Database.h"

using namespace Qt::StringLiterals;

Session &Session::instance()
{
    static Session s;
    return s;
}

bool Session::right(int position) const
{
    return position >= 1 && position <= RightCount && m_rights[size_t(position)];
}

void Session::setRight(int position, bool granted)
{
    if (position >= 1 && position <= RightCount) {
        m_rights[size_t(position)] = granted;
        emit rightsChanged();
    }
}

bool Session::loadRights(Database &db, QString *error)
{
    clearRights();
    QSqlQuery q;
    const bool ok = db.query(q, u"SELECT Authority FROM T_UserAuthority WHERE UserName = ? ORDER BY UserAuthorityID"_s,
                             SqlArgs{CurrentOperator}, error);
    if (ok) {
        int i = 1;
        while (q.next() && i <= RightCount)
            m_rights[size_t(i++)] = q.value(0).toInt() != 0;
    }
    emit rightsChanged();
    return ok;
}

bool Session::logIn(Database &db, const QString &operatorName, QString *error)
{
    CurrentOperator = fmt::cutToLegacyBytes(operatorName.trimmed(), 20);
    const bool ok = loadRights(db, error);
    LoginTime = QDateTime::currentDateTime();
    emit loggedIn();
    return ok;
}

bool Session::loadTitleAndOptions(Database &db, QString *error)
{
    QSqlQuery q;
    if (!db.query(q, u"SELECT SoftName, Version, INI1, INI2, INI3 FROM T_SoftInfo"_s, SqlParams{}, error))
        return false;
    if (q.next()) {
        ProgramTitle = q.value(0).toString();
        ProgramVersion = q.value(1).toString();
        PriceDecimals = q.value(2).toInt();
        QuantityDecimals = q.value(3).toInt();
        AmountDecimals = q.value(4).toInt();
    }
    emit optionsChanged();
    return true;
}

int Session::decimalsFor(int dotsize) const
{
    switch (dotsize) {
    case 1: return PriceDecimals;
    case 2: return QuantityDecimals;
    case 3: return AmountDecimals;
    default: return -1;
    }
}

void Session::reset()
{
    CurrentOperator.clear();
    LoginTime = {};
    ShiftEnd = {};
    clearRights();
}
