#pragma once
#include <QString>
#include <QVariant>
#include <compare>
#include <cstdint>

// An exact amount of money in ten-thousandths of a yuan, the scale the database
// keeps. Balances are the shop's debt to its customers: never add them as doubles.
class Money
{
public:
    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t tenThousandths) { Money m; m.m_v = tenThousandths; return m; }
    static Money fromDouble(double yuan);
    // Accepts "12", "-3.5", " 1,234.5 ", "12.34567" (rounded half away from zero
    // to four places). Returns false (and leaves *out alone) on anything else.
    static bool parse(const QString &text, Money *out);
    static Money fromString(const QString &text, bool *ok = nullptr);
    static Money fromVariant(const QVariant &v);

    std::int64_t units() const { return m_v; }
    double toDouble() const { return double(m_v) / 10000.0; }
    // Fixed decimals (0..4), rounded half away from zero: 1234.5 → "1234.50".
    QString toString(int decimals = 2) const;
    // Shortest form for storing and showing where the program shows bare numbers: "12.5", "0", "-3".
    QString toPlainString() const;
    bool isZero() const { return m_v == 0; }
    bool isNegative() const { return m_v < 0; }

    Money operator+(Money o) const { return fromUnits(m_v + o.m_v); }
    Money operator-(Money o) const { return fromUnits(m_v - o.m_v); }
    Money operator-() const { return fromUnits(-m_v); }
    Money &operator+=(Money o) { m_v += o.m_v; return *this; }
    Money &operator-=(Money o) { m_v -= o.m_v; return *this; }
    // Multiplies by a factor (quantity, discount), rounding to the scale.
    Money times(double factor) const;
    auto operator<=>(const Money &) const = default;

private:
    std::int64_t m_v = 0;
};
