#include "Money.h"

#include <cmath>

Money Money::fromDouble(double yuan)
{
    return fromUnits(std::int64_t(std::llround(yuan * 10000.0)));
}

bool Money::parse(const QString &text, Money *out)
{
    QString t = text.trimmed();
    t.remove(u',');
    if (t.isEmpty())
        return false;
    bool neg = false;
    int i = 0;
    if (t[0] == u'-' || t[0] == u'+') {
        neg = t[0] == u'-';
        i = 1;
    }
    std::int64_t whole = 0;
    int digits = 0;
    for (; i < t.size() && t[i].isDigit(); ++i, ++digits) {
        if (whole > 90'000'000'000'000LL)
            return false;
        whole = whole * 10 + t[i].digitValue();
    }
    std::int64_t frac = 0;
    int fracDigits = 0;
    bool roundUp = false;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        for (; i < t.size() && t[i].isDigit(); ++i) {
            if (fracDigits < 4) {
                frac = frac * 10 + t[i].digitValue();
                ++fracDigits;
            } else if (fracDigits == 4) {
                roundUp = t[i].digitValue() >= 5;
                ++fracDigits;
            }
            ++digits;
        }
    }
    if (i != t.size() || digits == 0)
        return false;
    for (int k = std::min(fracDigits, 4); k < 4; ++k)
        frac *= 10;
    std::int64_t v = whole * 10000 + frac + (roundUp ? 1 : 0);
    *out = fromUnits(neg ? -v : v);
    return true;
}

Money Money::fromString(const QString &text, bool *ok)
{
    Money m;
    const bool good = parse(text, &m);
    if (ok)
        *ok = good;
    return m;
}

Money Money::fromVariant(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return {};
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return fromDouble(v.toDouble());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return fromUnits(v.toLongLong() * 10000);
    default: {
        Money m;
        if (parse(v.toString(), &m))
            return m;
        // Exponent forms such as "1e-05" from a float column.
        bool ok = false;
        const double d = v.toString().toDouble(&ok);
        return ok ? fromDouble(d) : Money();
    }
    }
}

QString Money::toString(int decimals) const
{
    decimals = std::clamp(decimals, 0, 4);
    static constexpr std::int64_t pow10[] = {10000, 1000, 100, 10, 1};
    const std::int64_t step = pow10[decimals];
    std::int64_t a = m_v < 0 ? -m_v : m_v;
    a = (a + step / 2) / step; // half away from zero
    const std::int64_t scale = 10000 / step;
    QString s = QString::number(a / scale);
    if (decimals > 0)
        s += u'.' + QString::number(a % scale).rightJustified(decimals, u'0');
    if (m_v < 0 && a != 0)
        s.prepend(u'-');
    return s;
}

QString Money::toPlainString() const
{
    QString s = toString(4);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    return s;
}

Money Money::times(double factor) const
{
    return fromUnits(std::int64_t(std::llround(double(m_v) * factor)));
}
