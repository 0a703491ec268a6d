#include "ReportTemplate.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

struct Paper { QLatin1StringView name; double w; double h; };
constexpr Paper kPapers[] = {
    {"A4"_L1, 210, 297}, {"A5"_L1, 148, 210}, {"DL"_L1, 110, 220},
    {"Roll80"_L1, 80, 0}, {"Roll58"_L1, 58, 0},
};

const Paper *findPaper(const QString &name)
{
    for (const Paper &p : kPapers)
        if (name.compare(p.name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

struct BandName { BandKind kind; QLatin1StringView name; };
constexpr BandName kBands[] = {
    {BandKind::ReportTitle, "ReportTitle"_L1}, {BandKind::PageHeader, "PageHeader"_L1},
    {BandKind::GroupHeader, "GroupHeader"_L1}, {BandKind::MasterData, "MasterData"_L1},
    {BandKind::GroupFooter, "GroupFooter"_L1}, {BandKind::PageFooter, "PageFooter"_L1},
    {BandKind::ReportSummary, "ReportSummary"_L1},
};

QString num(double v) { return QString::number(v, 'g', 10); }

QString hAlignName(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter) return u"center"_s;
    if (a & Qt::AlignRight) return u"right"_s;
    return u"left"_s;
}
QString vAlignName(Qt::Alignment a)
{
    if (a & Qt::AlignTop) return u"top"_s;
    if (a & Qt::AlignBottom) return u"bottom"_s;
    return u"center"_s;
}

// Reads attributes with a shared error slot, so one bad value names itself.
class Attrs
{
public:
    Attrs(const QXmlStreamAttributes &a, QString *err, const QXmlStreamReader &r) : m_a(a), m_err(err), m_r(r) {}
    bool has(QLatin1StringView n) const { return m_a.hasAttribute(n); }
    QString str(QLatin1StringView n, const QString &def = {}) const
    {
        return m_a.hasAttribute(n) ? m_a.value(n).toString() : def;
    }
    double number(QLatin1StringView n, double def) const
    {
        if (!m_a.hasAttribute(n))
            return def;
        bool ok = false;
        const double v = m_a.value(n).toDouble(&ok);
        if (!ok || !std::isfinite(v))
            fail(n);
        return ok ? v : def;
    }
    bool flag(QLatin1StringView n, bool def) const
    {
        if (!m_a.hasAttribute(n))
            return def;
        const auto v = m_a.value(n);
        if (v == "true"_L1 || v == "1"_L1) return true;
        if (v == "false"_L1 || v == "0"_L1) return false;
        fail(n);
        return def;
    }
    QColor color(QLatin1StringView n, const QColor &def) const
    {
        if (!m_a.hasAttribute(n))
            return def;
        QColor c = QColor::fromString(m_a.value(n));
        if (!c.isValid())
            fail(n);
        return c.isValid() ? c : def;
    }
    void fail(QLatin1StringView n) const
    {
        if (m_err->isEmpty())
            *m_err = u"第 %1 行: 属性 %2 的值无效"_s.arg(m_r.lineNumber()).arg(QString(n));
    }

private:
    const QXmlStreamAttributes &m_a;
    QString *m_err;
    const QXmlStreamReader &m_r;
};

} // namespace

bool PageSetup::continuous() const
{
    const Paper *p = findPaper(paper);
    return p && p->h == 0;
}

QSizeF PageSetup::size() const
{
    const Paper *p = findPaper(paper);
    const double w = p ? p->w : customWidth;
    const double h = p ? p->h : customHeight;
    if (continuous())
        return {w, 0};
    return landscape ? QSizeF(h, w) : QSizeF(w, h);
}

QStringList PageSetup::paperNames()
{
    QStringList names;
    for (const Paper &p : kPapers)
        names << QString(p.name);
    names << u"Custom"_s;
    return names;
}

QString ReportTemplate::kindName(BandKind kind)
{
    for (const BandName &b : kBands)
        if (b.kind == kind)
            return QString(b.name);
    return {};
}

bool ReportTemplate::kindFromName(const QString &name, BandKind *kind)
{
    for (const BandName &b : kBands)
        if (name.compare(b.name, Qt::CaseInsensitive) == 0) {
            *kind = b.kind;
            return true;
        }
    return false;
}

QString ReportTemplate::kindName(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Memo: return u"memo"_s;
    case ObjectKind::Picture: return u"picture"_s;
    case ObjectKind::Line: return u"line"_s;
    case ObjectKind::Rect: return u"rect"_s;
    }
    return {};
}

bool ReportTemplate::fromXml(const QByteArray &xml, QString *error)
{
    clear();
    QString err;
    QXmlStreamReader r(xml);
    ReportTemplate t;
    bool sawRoot = false;
    ReportBand *band = nullptr;
    while (!r.atEnd() && err.isEmpty()) {
        r.readNext();
        if (r.isEndElement() && r.name() == "band"_L1)
            band = nullptr;
        if (!r.isStartElement())
            continue;
        const QXmlStreamAttributes xa = r.attributes();
        Attrs a(xa, &err, r);
        const auto el = r.name();
        if (!sawRoot) {
            if (el != "report"_L1) {
                err = u"不是报表模板文件 (根元素应为 report)"_s;
                break;
            }
            sawRoot = true;
            t.name = a.str("name"_L1);
            continue;
        }
        if (el == "page"_L1) {
            PageSetup &p = t.page;
            p.paper = a.str("paper"_L1, p.paper);
            if (p.paper.compare("Custom"_L1, Qt::CaseInsensitive) != 0 && !findPaper(p.paper)) {
                a.fail("paper"_L1);
                break;
            }
            p.landscape = a.str("orientation"_L1) == "landscape"_L1;
            p.customWidth = a.number("width"_L1, p.customWidth);
            p.customHeight = a.number("height"_L1, p.customHeight);
            p.left = a.number("left"_L1, p.left);
            p.top = a.number("top"_L1, p.top);
            p.right = a.number("right"_L1, p.right);
            p.bottom = a.number("bottom"_L1, p.bottom);
            if (p.customWidth <= 0 || p.customHeight <= 0)
                a.fail("width"_L1);
        } else if (el == "band"_L1) {
            ReportBand b;
            if (!kindFromName(a.str("type"_L1), &b.kind)) {
                a.fail("type"_L1);
                break;
            }
            b.name = a.str("name"_L1);
            b.height = a.number("height"_L1, b.height);
            b.dataSet = a.str("dataset"_L1);
            b.newPage = a.flag("newPage"_L1, false);
            b.columns = int(a.number("columns"_L1, 1));
            if (b.columns < 1 || b.columns > 50)
                a.fail("columns"_L1);
            b.condition = a.str("condition"_L1);
            b.printOnFirstPage = a.flag("printOnFirstPage"_L1, true);
            if (b.height < 0)
                a.fail("height"_L1);
            t.bands.append(b);
            band = &t.bands.last();
        } else if (el == "memo"_L1 || el == "picture"_L1 || el == "line"_L1 || el == "rect"_L1) {
            if (!band) {
                err = u"第 %1 行: 对象必须位于 band 之内"_s.arg(r.lineNumber());
                break;
            }
            ReportObject o;
            o.kind = el == "memo"_L1 ? ObjectKind::Memo : el == "picture"_L1 ? ObjectKind::Picture
                   : el == "line"_L1 ? ObjectKind::Line : ObjectKind::Rect;
            o.name = a.str("name"_L1);
            o.rect = QRectF(a.number("x"_L1, 0), a.number("y"_L1, 0), a.number("w"_L1, 0), a.number("h"_L1, 0));
            o.text = a.str("text"_L1);
            o.fontFamily = a.str("font"_L1);
            o.fontSize = a.number("size"_L1, o.fontSize);
            o.bold = a.flag("bold"_L1, false);
            o.italic = a.flag("italic"_L1, false);
            const QString h = a.str("align"_L1, u"left"_s), v = a.str("valign"_L1, u"center"_s);
            o.hAlign = h == "center"_L1 ? Qt::AlignHCenter : h == "right"_L1 ? Qt::AlignRight : Qt::AlignLeft;
            o.vAlign = v == "top"_L1 ? Qt::AlignTop : v == "bottom"_L1 ? Qt::AlignBottom : Qt::AlignVCenter;
            if ((h != "left"_L1 && h != "center"_L1 && h != "right"_L1))
                a.fail("align"_L1);
            if ((v != "top"_L1 && v != "center"_L1 && v != "bottom"_L1))
                a.fail("valign"_L1);
            o.wordWrap = a.flag("wrap"_L1, false);
            o.stretch = a.flag("stretch"_L1, false);
            o.format = a.str("format"_L1);
            o.color = a.color("color"_L1, o.color);
            o.frame = a.str("frame"_L1);
            o.lineWidth = a.number("lineWidth"_L1, o.lineWidth);
            o.fill = a.color("fill"_L1, QColor());
            o.file = a.str("file"_L1);
            o.field = a.str("field"_L1);
            o.keepAspect = a.flag("keepAspect"_L1, true);
            if (o.fontSize <= 0)
                a.fail("size"_L1);
            band->objects.append(o);
        } else {
            err = u"第 %1 行: 未知元素 %2"_s.arg(r.lineNumber()).arg(el.toString());
        }
    }
    if (err.isEmpty() && r.hasError())
        err = u"第 %1 行第 %2 列: %3"_s.arg(r.lineNumber()).arg(r.columnNumber()).arg(r.errorString());
    if (err.isEmpty() && !sawRoot)
        err = u"文件为空或不是报表模板文件"_s;
    if (!err.isEmpty()) {
        if (error)
            *error = err;
        return false;
    }
    *this = t;
    return true;
}

QByteArray ReportTemplate::toXml() const
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartDocument();
    w.writeStartElement("report"_L1);
    if (!name.isEmpty())
        w.writeAttribute("name"_L1, name);
    w.writeAttribute("version"_L1, "1"_L1);

    const PageSetup def;
    w.writeEmptyElement("page"_L1);
    if (page.paper != def.paper)
        w.writeAttribute("paper"_L1, page.paper);
    if (page.landscape)
        w.writeAttribute("orientation"_L1, "landscape"_L1);
    if (page.paper.compare("Custom"_L1, Qt::CaseInsensitive) == 0) {
        w.writeAttribute("width"_L1, num(page.customWidth));
        w.writeAttribute("height"_L1, num(page.customHeight));
    }
    const auto margin = [&](QLatin1StringView n, double v, double d) {
        if (v != d)
            w.writeAttribute(n, num(v));
    };
    margin("left"_L1, page.left, def.left);
    margin("top"_L1, page.top, def.top);
    margin("right"_L1, page.right, def.right);
    margin("bottom"_L1, page.bottom, def.bottom);

    const ReportObject od;
    for (const ReportBand &b : bands) {
        w.writeStartElement("band"_L1);
        w.writeAttribute("type"_L1, kindName(b.kind));
        if (!b.name.isEmpty())
            w.writeAttribute("name"_L1, b.name);
        w.writeAttribute("height"_L1, num(b.height));
        if (!b.dataSet.isEmpty())
            w.writeAttribute("dataset"_L1, b.dataSet);
        if (b.newPage)
            w.writeAttribute("newPage"_L1, "true"_L1);
        if (b.columns != 1)
            w.writeAttribute("columns"_L1, QString::number(b.columns));
        if (!b.condition.isEmpty())
            w.writeAttribute("condition"_L1, b.condition);
        if (!b.printOnFirstPage)
            w.writeAttribute("printOnFirstPage"_L1, "false"_L1);
        for (const ReportObject &o : b.objects) {
            w.writeEmptyElement(kindName(o.kind));
            if (!o.name.isEmpty())
                w.writeAttribute("name"_L1, o.name);
            w.writeAttribute("x"_L1, num(o.rect.x()));
            w.writeAttribute("y"_L1, num(o.rect.y()));
            w.writeAttribute("w"_L1, num(o.rect.width()));
            w.writeAttribute("h"_L1, num(o.rect.height()));
            const auto s = [&](QLatin1StringView n, const QString &v) {
                if (!v.isEmpty())
                    w.writeAttribute(n, v);
            };
            const auto f = [&](QLatin1StringView n, bool v, bool d) {
                if (v != d)
                    w.writeAttribute(n, v ? "true"_L1 : "false"_L1);
            };
            s("text"_L1, o.text);
            s("font"_L1, o.fontFamily);
            if (o.fontSize != od.fontSize)
                w.writeAttribute("size"_L1, num(o.fontSize));
            f("bold"_L1, o.bold, false);
            f("italic"_L1, o.italic, false);
            if (o.hAlign != od.hAlign)
                w.writeAttribute("align"_L1, hAlignName(o.hAlign));
            if (o.vAlign != od.vAlign)
                w.writeAttribute("valign"_L1, vAlignName(o.vAlign));
            f("wrap"_L1, o.wordWrap, false);
            f("stretch"_L1, o.stretch, false);
            s("format"_L1, o.format);
            if (o.color != od.color)
                w.writeAttribute("color"_L1, o.color.name());
            s("frame"_L1, o.frame);
            if (o.lineWidth != od.lineWidth)
                w.writeAttribute("lineWidth"_L1, num(o.lineWidth));
            if (o.fill.isValid())
                w.writeAttribute("fill"_L1, o.fill.name());
            s("file"_L1, o.file);
            s("field"_L1, o.field);
            f("keepAspect"_L1, o.keepAspect, true);
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

ReportObject *ReportTemplate::findObject(const QString &n)
{
    return const_cast<ReportObject *>(std::as_const(*this).findObject(n));
}

const ReportObject *ReportTemplate::findObject(const QString &n) const
{
    for (const ReportBand &b : bands)
        for (const ReportObject &o : b.objects)
            if (o.name.compare(n, Qt::CaseInsensitive) == 0)
                return &o;
    return nullptr;
}

ReportBand *ReportTemplate::findBand(const QString &n)
{
    return const_cast<ReportBand *>(std::as_const(*this).findBand(n));
}

const ReportBand *ReportTemplate::findBand(const QString &n) const
{
    for (const ReportBand &b : bands)
        if (b.name.compare(n, Qt::CaseInsensitive) == 0)
            return &b;
    return nullptr;
}

int ReportTemplate::bandIndexOfObject(const QString &n) const
{
    for (int i = 0; i < bands.size(); ++i)
        for (const ReportObject &o : bands.at(i).objects)
            if (o.name.compare(n, Qt::CaseInsensitive) == 0)
                return i;
    return -1;
}

QString ReportTemplate::uniqueName(const QString &prefix) const
{
    for (int i = 1;; ++i) {
        const QString n = prefix + QString::number(i);
        if (!findObject(n) && !findBand(n))
            return n;
    }
}
