#include "Format.h"

#include <QDateTime>
#include <cmath>

using namespace Qt::StringLiterals;

namespace fmt {

QString numberFormatPattern(int decimals)
{
    if (decimals < 0 || decimals > 10)
        return {};
    if (decimals == 0)
        return u"0"_s;
    return u"0."_s + QString(decimals, u'0');
}

QString fixed(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 10);
    // Round half away from zero on the 15-digit decimal text, not on the binary
    // value, so 2.675 shows as 2.68 the way a shop owner expects.
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::round(QString::number(value * scale, 'g', 15).toDouble());
    double r = scaled / scale;
    if (r == 0)
        r = 0; // no "-0.00"
    return QString::number(r, 'f', decimals);
}

QString general(double value)
{
    if (value == 0)
        return u"0"_s;
    QString s = QString::number(value, 'g', 15);
    // Exponent like "1e-05" → "1E-5".
    const int e = s.indexOf(u'e');
    if (e >= 0) {
        QString mant = s.left(e);
        int exp = s.mid(e + 1).toInt();
        s = mant + u'E' + QString::number(exp);
    }
    return s;
}

bool parseNumber(const QString &text, double *out)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *out = v;
    return true;
}

int legacyByteLength(const QString &text)
{
    int n = 0;
    for (const QChar c : text) {
        if (c.isLowSurrogate())
            continue; // one character, counted with its high half
        n += c.unicode() < 0x80 ? 1 : 2;
    }
    return n;
}

QString cutToLegacyBytes(const QString &text, int maxBytes)
{
    int n = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isLowSurrogate())
            continue;
        const int w = c.unicode() < 0x80 ? 1 : 2;
        if (n + w > maxBytes)
            return text.left(i);
        n += w;
    }
    return text;
}

QDate dayZero() { return QDate(1899, 12, 30); }

qint64 dayNumber(const QDate &d) { return d.isValid() ? dayZero().daysTo(d) : 0; }

bool isDateSet(const QDate &d) { return d.isValid() && dayNumber(d) > 1857; }

bool isDateSet(const QVariant &v) { return isDateSet(toDate(v)); }

bool isExpired(const QVariant &endDate, const QDate &today)
{
    const QDate d = toDate(endDate);
    return isDateSet(d) && d < today;
}

QDate toDate(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString s = v.toString().trimmed();
    if (s.size() >= 10)
        return QDate::fromString(s.left(10), u"yyyy-MM-dd"_s);
    return QDate::fromString(s, Qt::ISODate);
}

QDateTime toDateTime(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().startOfDay();
    QString s = v.toString().trimmed();
    s.replace(u'T', u' ');
    if (s.size() <= 10)
        return QDate::fromString(s, u"yyyy-MM-dd"_s).startOfDay();
    const int dot = s.indexOf(u'.');
    if (dot > 0)
        s.truncate(dot);
    return QDateTime::fromString(s, u"yyyy-MM-dd HH:mm:ss"_s);
}

} // namespace fmt
