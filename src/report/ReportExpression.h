#pragma once
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

// Expressions inside memo texts: "[B."MemName"]", "[Date]", "[Page#]",
// "[SUM(<F."CashMoney">,MasterData1)]", "['No. ' + B."CardCode"]", "[F."Price" * 2]".
// A small tokenizer and a recursive-descent parser; no script engine.
//
//   expr    := term (('+' | '-') term)*
//   term    := unary (('*' | '/') unary)*
//   unary   := '-' unary | primary
//   primary := number | 'string' | '(' expr ')' | field | '<' field '>'
//            | name '(' [expr (',' expr)*] ')' | name
//   field   := name '.' "Field"
//
// Names are Date, Time, Page#, TotalPages#, Line# (row number within its band);
// functions are the aggregates SUM, COUNT, AVG, MIN, MAX with an optional band
// name as last argument. '+' joins texts when either side is text.

namespace report {

struct ExprNode
{
    enum Kind { Literal, Field, Name, Negate, Binary, Call };
    Kind kind = Literal;
    QVariant value;            // Literal
    QString alias;             // Field
    QString name;              // Field: field name; Name: variable; Call: function (upper case)
    QChar op;                  // Binary
    QList<std::shared_ptr<const ExprNode>> args;
};
using ExprPtr = std::shared_ptr<const ExprNode>;

// What an expression reads; the layout supplies it. Unknown names give an invalid
// QVariant (and the context notes them).
class ExprContext
{
public:
    virtual ~ExprContext() = default;
    virtual QVariant field(const QString &alias, const QString &name) = 0;
    virtual QVariant variable(const QString &name) = 0;
    // func is upper case; band is empty when not given.
    virtual QVariant aggregate(const QString &func, const ExprNode *arg, const QString &band) = 0;
    virtual void unknownFunction(const QString &name) { (void)name; }
};

ExprPtr parseExpression(const QString &text, QString *error);
QVariant evaluate(const ExprNode &node, ExprContext &ctx);

// A memo text cut into literal pieces and bracketed expressions.
struct TextPart
{
    QString literal;
    ExprPtr expr;              // set for an expression
    QString source;            // the text between the brackets
    QString error;             // parse error of that expression
};
QList<TextPart> parseMemoText(const QString &text);

// Display: "0.00" / "#,##0.00" for numbers, "yyyy-MM-dd" style for dates; without
// a format numbers show their shortest exact form and dates as yyyy-MM-dd.
// The day-0 date 1899-12-30 (how the database stores "no date") shows empty.
QString formatValue(const QVariant &value, const QString &format);

// Rounds half away from zero at the given decimals, as money is rounded on paper.
QString formatFixed(double value, int decimals, bool group = false);

// Every field reference in an expression tree (for the designer's check).
void collectFields(const ExprNode &node, QList<std::pair<QString, QString>> *fields);
void collectNames(const ExprNode &node, QStringList *names);

} // namespace report
