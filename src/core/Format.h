#pragma once
#include <QDate>
#include <QString>
#include <QVariant>

// Number, date and text rules shared by every window.
namespace fmt {

// Grid number format for n decimals: "0", "0.0", "0.00" … up to ten places;
// outside 0..10 there is no format (empty text).
QString numberFormatPattern(int decimals);
// A number with fixed decimals, rounded half away from zero: (1234.5, 2) → "1234.50", (1234.5, 0) → "1235".
QString fixed(double value, int decimals);
// Shortest general form with up to 15 significant digits and "." as the point:
// 12.5, 0.1, 1E-5, 20.
QString general(double value);
// Parses a number typed by an operator ("12", " 3.5", "-1"); false for anything else.
bool parseNumber(const QString &text, double *out);

// Length of a text in the legacy Chinese code page: 1 byte per ASCII character, 2 otherwise.
int legacyByteLength(const QString &text);
// The longest prefix of the text that fits in maxBytes legacy bytes (a character is never split).
QString cutToLegacyBytes(const QString &text, int maxBytes);

// Day numbers count from 30 December 1899; an empty issue or expiry date is day 0.
QDate dayZero();
qint64 dayNumber(const QDate &d);
// A stored date counts as set when its day number is above 1857 (mid 1905).
bool isDateSet(const QDate &d);
bool isDateSet(const QVariant &v);
// Expired: the expiry date is set and earlier than today.
bool isExpired(const QVariant &endDate, const QDate &today = QDate::currentDate());
// Reads a stored date in any form the backends give ("2026-12-11", "2026-12-11 10:00:00", QDate, QDateTime).
QDate toDate(const QVariant &v);
QDateTime toDateTime(const QVariant &v);

} // namespace fmt
