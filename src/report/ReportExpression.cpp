#include "ReportExpression.h"

#include <QDate>
#include <QDateTime>
#include <cmath>

using namespace Qt::StringLiterals;

namespace report {

namespace {

struct Token
{
    enum Kind { End, Number, String, Quoted, Ident, Punct, Bad };
    Kind kind = End;
    QString text;
    double number = 0;
};

bool isIdentStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'#'; }

class Parser
{
public:
    explicit Parser(const QString &s) : m_s(s) { advance(); }

    ExprPtr parse(QString *error)
    {
        ExprPtr e = expr();
        if (m_error.isEmpty() && m_tok.kind != Token::End)
            fail(u"多余的内容: %1"_s.arg(m_tok.text));
        if (!m_error.isEmpty()) {
            if (error)
                *error = m_error;
            return {};
        }
        return e;
    }

private:
    void fail(const QString &msg)
    {
        if (m_error.isEmpty())
            m_error = msg;
    }

    void advance()
    {
        while (m_pos < m_s.size() && m_s.at(m_pos).isSpace())
            ++m_pos;
        m_tok = Token();
        if (m_pos >= m_s.size())
            return;
        const QChar c = m_s.at(m_pos);
        if (c.isDigit() || (c == u'.' && m_pos + 1 < m_s.size() && m_s.at(m_pos + 1).isDigit())) {
            const qsizetype start = m_pos;
            while (m_pos < m_s.size() && (m_s.at(m_pos).isDigit() || m_s.at(m_pos) == u'.'))
                ++m_pos;
            m_tok.text = m_s.mid(start, m_pos - start);
            bool ok = false;
            m_tok.number = m_tok.text.toDouble(&ok);
            m_tok.kind = ok ? Token::Number : Token::Bad;
        } else if (c == u'\'' || c == u'"') {
            const qsizetype start = ++m_pos;
            while (m_pos < m_s.size() && m_s.at(m_pos) != c)
                ++m_pos;
            if (m_pos >= m_s.size()) {
                m_tok.kind = Token::Bad;
                m_tok.text = u"缺少引号"_s;
                return;
            }
            m_tok.text = m_s.mid(start, m_pos - start);
            m_tok.kind = c == u'"' ? Token::Quoted : Token::String;
            ++m_pos;
        } else if (isIdentStart(c)) {
            const qsizetype start = m_pos;
            while (m_pos < m_s.size() && isIdentChar(m_s.at(m_pos)))
                ++m_pos;
            m_tok.text = m_s.mid(start, m_pos - start);
            m_tok.kind = Token::Ident;
        } else if (u"+-*/(),.<>"_s.contains(c)) {
            m_tok.kind = Token::Punct;
            m_tok.text = QString(c);
            ++m_pos;
        } else {
            m_tok.kind = Token::Bad;
            m_tok.text = QString(c);
            ++m_pos;
        }
    }

    bool isPunct(char16_t c) const { return m_tok.kind == Token::Punct && m_tok.text.at(0) == QChar(c); }
    bool expect(char16_t c)
    {
        if (!isPunct(c)) {
            fail(u"缺少 %1"_s.arg(QChar(c)));
            return false;
        }
        advance();
        return true;
    }

    static ExprPtr make(ExprNode n) { return std::make_shared<const ExprNode>(std::move(n)); }

    ExprPtr expr()
    {
        ExprPtr l = term();
        while (l && (isPunct(u'+') || isPunct(u'-'))) {
            ExprNode n{.kind = ExprNode::Binary, .op = m_tok.text.at(0)};
            advance();
            ExprPtr r = term();
            if (!r)
                return {};
            n.args = {l, r};
            l = make(std::move(n));
        }
        return l;
    }

    ExprPtr term()
    {
        ExprPtr l = unary();
        while (l && (isPunct(u'*') || isPunct(u'/'))) {
            ExprNode n{.kind = ExprNode::Binary, .op = m_tok.text.at(0)};
            advance();
            ExprPtr r = unary();
            if (!r)
                return {};
            n.args = {l, r};
            l = make(std::move(n));
        }
        return l;
    }

    ExprPtr unary()
    {
        if (isPunct(u'-')) {
            advance();
            ExprPtr e = unary();
            if (!e)
                return {};
            return make(ExprNode{.kind = ExprNode::Negate, .args = {e}});
        }
        return primary();
    }

    ExprPtr fieldAfterAlias(const QString &alias)
    {
        // current token is '.'
        advance();
        if (m_tok.kind != Token::Quoted && m_tok.kind != Token::Ident) {
            fail(u"%1. 之后应为字段名"_s.arg(alias));
            return {};
        }
        ExprNode n{.kind = ExprNode::Field, .alias = alias, .name = m_tok.text};
        advance();
        return make(std::move(n));
    }

    ExprPtr primary()
    {
        switch (m_tok.kind) {
        case Token::Number: {
            ExprNode n{.kind = ExprNode::Literal, .value = m_tok.number};
            advance();
            return make(std::move(n));
        }
        case Token::String: {
            ExprNode n{.kind = ExprNode::Literal, .value = m_tok.text};
            advance();
            return make(std::move(n));
        }
        case Token::Ident: {
            const QString name = m_tok.text;
            advance();
            if (isPunct(u'.'))
                return fieldAfterAlias(name);
            if (isPunct(u'(')) {
                advance();
                ExprNode n{.kind = ExprNode::Call, .name = name.toUpper()};
                if (!isPunct(u')')) {
                    for (;;) {
                        ExprPtr a = expr();
                        if (!a)
                            return {};
                        n.args.append(a);
                        if (!isPunct(u','))
                            break;
                        advance();
                    }
                }
                if (!expect(u')'))
                    return {};
                return make(std::move(n));
            }
            return make(ExprNode{.kind = ExprNode::Name, .name = name});
        }
        case Token::Punct:
            if (isPunct(u'(')) {
                advance();
                ExprPtr e = expr();
                if (!e || !expect(u')'))
                    return {};
                return e;
            }
            if (isPunct(u'<')) {
                advance();
                if (m_tok.kind != Token::Ident) {
                    fail(u"< 之后应为数据集名"_s);
                    return {};
                }
                const QString alias = m_tok.text;
                advance();
                if (!isPunct(u'.')) {
                    fail(u"< 之后应为 数据集.\"字段\""_s);
                    return {};
                }
                ExprPtr f = fieldAfterAlias(alias);
                if (!f || !expect(u'>'))
                    return {};
                return f;
            }
            fail(u"意外的符号 %1"_s.arg(m_tok.text));
            return {};
        case Token::End:
            fail(u"表达式不完整"_s);
            return {};
        default:
            fail(u"无法识别: %1"_s.arg(m_tok.text));
            return {};
        }
    }

    const QString &m_s;
    qsizetype m_pos = 0;
    Token m_tok;
    QString m_error;
};

bool isText(const QVariant &v)
{
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QChar;
}

bool isAggregate(const QString &f)
{
    return f == "SUM"_L1 || f == "COUNT"_L1 || f == "AVG"_L1 || f == "MIN"_L1 || f == "MAX"_L1;
}

bool isNumericFormat(const QString &f)
{
    if (f.isEmpty())
        return false;
    for (QChar c : f)
        if (c != u'0' && c != u'#' && c != u',' && c != u'.')
            return false;
    return true;
}

bool isDay0(const QDate &d) { return d == QDate(1899, 12, 30); }

QString plainNumber(double d)
{
    if (!std::isfinite(d))
        return {};
    if (std::abs(d) >= 1e15)
        return QString::number(d, 'g', 15);
    QString s = QString::number(d, 'f', 6);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    if (s == "-0"_L1)
        s = u"0"_s;
    return s;
}

} // namespace

ExprPtr parseExpression(const QString &text, QString *error)
{
    return Parser(text).parse(error);
}

QVariant evaluate(const ExprNode &n, ExprContext &ctx)
{
    switch (n.kind) {
    case ExprNode::Literal:
        return n.value;
    case ExprNode::Field:
        return ctx.field(n.alias, n.name);
    case ExprNode::Name:
        return ctx.variable(n.name);
    case ExprNode::Negate: {
        const QVariant v = evaluate(*n.args.at(0), ctx);
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!v.isValid() || (!ok && !v.isNull()))
            return {};
        return -d;
    }
    case ExprNode::Binary: {
        const QVariant l = evaluate(*n.args.at(0), ctx);
        const QVariant r = evaluate(*n.args.at(1), ctx);
        if (!l.isValid() || !r.isValid())
            return {};
        if (n.op == u'+' && (isText(l) || isText(r)))
            return QVariant(formatValue(l, {}) + formatValue(r, {}));
        bool okL = false, okR = false;
        const double a = l.isNull() ? 0.0 : l.toDouble(&okL);
        const double b = r.isNull() ? 0.0 : r.toDouble(&okR);
        if ((!okL && !l.isNull()) || (!okR && !r.isNull()))
            return {};
        switch (n.op.unicode()) {
        case u'+': return a + b;
        case u'-': return a - b;
        case u'*': return a * b;
        case u'/': return b == 0 ? QVariant() : QVariant(a / b);
        }
        return {};
    }
    case ExprNode::Call: {
        if (!isAggregate(n.name)) {
            ctx.unknownFunction(n.name);
            return {};
        }
        const ExprNode *arg = nullptr;
        QString band;
        QList<ExprPtr> args = n.args;
        if (!args.isEmpty() && args.last()->kind == ExprNode::Name && (args.size() == 2 || n.name == "COUNT"_L1)) {
            band = args.last()->name;
            args.removeLast();
        }
        if (!args.isEmpty())
            arg = args.first().get();
        if (args.size() > 1 || (!arg && n.name != "COUNT"_L1)) {
            ctx.unknownFunction(n.name);
            return {};
        }
        return ctx.aggregate(n.name, arg, band);
    }
    }
    return {};
}

QList<TextPart> parseMemoText(const QString &text)
{
    QList<TextPart> parts;
    QString literal;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c != u'[') {
            literal += c;
            ++i;
            continue;
        }
        // find the matching ']' outside quotes
        int depth = 0;
        QChar quote;
        qsizetype j = i;
        for (; j < text.size(); ++j) {
            const QChar d = text.at(j);
            if (!quote.isNull()) {
                if (d == quote)
                    quote = QChar();
            } else if (d == u'\'' || d == u'"') {
                quote = d;
            } else if (d == u'[') {
                ++depth;
            } else if (d == u']' && --depth == 0) {
                break;
            }
        }
        if (j >= text.size()) {
            literal += text.mid(i);
            break;
        }
        if (!literal.isEmpty())
            parts.append(TextPart{.literal = literal});
        literal.clear();
        TextPart p;
        p.source = text.mid(i + 1, j - i - 1);
        p.expr = parseExpression(p.source, &p.error);
        if (!p.expr && p.error.isEmpty())
            p.error = u"表达式无效"_s;
        parts.append(p);
        i = j + 1;
    }
    if (!literal.isEmpty())
        parts.append(TextPart{.literal = literal});
    return parts;
}

QString formatFixed(double value, int decimals, bool group)
{
    if (!std::isfinite(value))
        return {};
    decimals = std::clamp(decimals, 0, 8);
    const double p = std::pow(10.0, decimals);
    // Go through 15 significant digits first so 2.675 (stored as 2.67499999...) rounds up.
    const double scaled = QString::number(value * p, 'g', 15).toDouble();
    double r = std::round(scaled);
    if (r == 0)
        r = 0; // no "-0.00"
    QString s = QString::number(r / p, 'f', decimals);
    if (group) {
        const bool neg = s.startsWith(u'-');
        qsizetype dot = s.indexOf(u'.');
        if (dot < 0)
            dot = s.size();
        for (qsizetype k = dot - 3; k > (neg ? 1 : 0); k -= 3)
            s.insert(k, u',');
    }
    return s;
}

QString formatValue(const QVariant &v, const QString &format)
{
    if (!v.isValid() || v.isNull())
        return {};
    const int type = v.typeId();
    if (isNumericFormat(format)) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok && type != QMetaType::QDate && type != QMetaType::QDateTime) {
            const qsizetype dot = format.indexOf(u'.');
            return formatFixed(d, dot < 0 ? 0 : int(format.size() - dot - 1), format.contains(u','));
        }
    }
    if (type == QMetaType::QDate || type == QMetaType::QDateTime
        || (isText(v) && !format.isEmpty() && !isNumericFormat(format))) {
        QDateTime dt;
        if (type == QMetaType::QDate)
            dt = QDateTime(v.toDate(), QTime(0, 0));
        else if (type == QMetaType::QDateTime)
            dt = v.toDateTime();
        else {
            const QString s = v.toString().trimmed();
            dt = QDateTime::fromString(s, Qt::ISODate);
            if (!dt.isValid())
                dt = QDateTime(QDate::fromString(s.left(10), Qt::ISODate), QTime(0, 0));
            if (!dt.isValid())
                return v.toString();
        }
        if (isDay0(dt.date()) && dt.time() == QTime(0, 0))
            return {};
        if (!format.isEmpty())
            return dt.toString(format);
        return dt.time() == QTime(0, 0) ? dt.date().toString(u"yyyy-MM-dd"_s)
                                        : dt.toString(u"yyyy-MM-dd hh:mm:ss"_s);
    }
    if (type == QMetaType::QTime)
        return v.toTime().toString(format.isEmpty() ? u"hh:mm:ss"_s : format);
    if (type == QMetaType::Double || type == QMetaType::Float)
        return plainNumber(v.toDouble());
    return v.toString();
}

void collectFields(const ExprNode &node, QList<std::pair<QString, QString>> *fields)
{
    if (node.kind == ExprNode::Field)
        fields->append({node.alias, node.name});
    for (const ExprPtr &a : node.args)
        collectFields(*a, fields);
}

void collectNames(const ExprNode &node, QStringList *names)
{
    if (node.kind == ExprNode::Name)
        names->append(node.name);
    for (const ExprPtr &a : node.args)
        collectNames(*a, names);
}

} // namespace report
