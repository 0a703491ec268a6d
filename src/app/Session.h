#pragma once
#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>

class Database;

// The login state and the program-wide settings every window reads: who is
// logged in, what that operator may do, when the shift began, and the grid
// decimals. The main window holds it; windows read it without knowing the main window.
class Session : public QObject
{
    Q_OBJECT
public:
    static constexpr int RightCount = 104;
    static Session &instance();

    QString CurrentOperator;
    QDateTime LoginTime;
    QDateTime ShiftEnd;
    QString ProgramTitle;
    QString ProgramVersion;
    int PriceDecimals = 2;
    int QuantityDecimals = 2;
    int AmountDecimals = 2;

    // Rights are numbered from 1 to 104; anything outside is never granted.
    bool right(int position) const;
    void setRight(int position, bool granted);
    void clearRights() { m_rights.fill(false); }

    // Fills the rights from the operator's rows in catalogue order: the n-th row is right n.
    // Rows beyond the 104th are ignored; an operator without rows gets none. False on a database error.
    bool loadRights(Database &db, QString *error = nullptr);
    // A successful login: operator (cut to 20 legacy bytes), rights, login time; then tells everyone.
    bool logIn(Database &db, const QString &operatorName, QString *error = nullptr);
    // Reads title and decimals from T_SoftInfo.
    bool loadTitleAndOptions(Database &db, QString *error = nullptr);
    // Number format for a column's dotsize (1 price, 2 quantity, 3 amount); -1 for none.
    int decimalsFor(int dotsize) const;

    void reset();

signals:
    void loggedIn();
    void rightsChanged();
    void optionsChanged();

private:
    Session() = default;
    std::array<bool, RightCount + 1> m_rights{};
};
