#include "ReportLayout.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace report {

namespace {
// Drawing happens in hundredths of a millimetre; fonts get integral pixel sizes in
// that unit, so text measures the same at every zoom.
constexpr double kUnit = 100.0;

QRectF toUnits(const QRectF &r) { return {r.x() * kUnit, r.y() * kUnit, r.width() * kUnit, r.height() * kUnit}; }

void drawFrame(QPainter &p, const QRectF &r, const QString &sides, double width)
{
    if (sides.isEmpty())
        return;
    p.setPen(QPen(Qt::black, width * kUnit, Qt::SolidLine, Qt::SquareCap));
    p.setBrush(Qt::NoBrush);
    if (sides.contains(u'l')) p.drawLine(r.topLeft(), r.bottomLeft());
    if (sides.contains(u't')) p.drawLine(r.topLeft(), r.topRight());
    if (sides.contains(u'r')) p.drawLine(r.topRight(), r.bottomRight());
    if (sides.contains(u'b')) p.drawLine(r.bottomLeft(), r.bottomRight());
}
} // namespace

constexpr double kPad = 0.5;  // memo text keeps this much from its left and right edge

QFont itemFont(const LayoutItem &it)
{
    QFont font;
    font.setFamilies(fontFamilies(it.fontFamily));
    font.setPixelSize(std::max(1, qRound(it.fontSize * 25.4 / 72.0 * kUnit)));
    font.setBold(it.bold);
    font.setItalic(it.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

double textHeight(const LayoutItem &it)
{
    if (it.text.isEmpty())
        return 0;
    const QFontMetricsF fm(itemFont(it));
    const double w = std::max(1.0, (it.rect.width() - 2 * kPad) * kUnit);
    const QRectF br = fm.boundingRect(QRectF(0, 0, w, 1e7), it.flags | Qt::TextWordWrap, it.text);
    return br.height() / kUnit + 2 * kPad;
}

QString defaultFontFamily() { return u"WenQuanYi Micro Hei"_s; }

QStringList fontFamilies(const QString &family)
{
    QStringList f;
    if (!family.isEmpty())
        f << family;
    for (const QString &d : {defaultFontFamily(), u"Noto Sans CJK SC"_s})
        if (!f.contains(d))
            f << d;
    return f;
}

void paintPage(QPainter &p, const LayoutPage &page, double pxPerMm)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.scale(pxPerMm / kUnit, pxPerMm / kUnit);
    QHash<QString, QFont> fonts;
    for (const LayoutItem &it : page.items) {
        const QRectF r = toUnits(it.rect);
        switch (it.kind) {
        case LayoutItem::Text: {
            if (it.fill.isValid())
                p.fillRect(r, it.fill);
            if (!it.text.isEmpty()) {
                const QString key = it.fontFamily + u'|' + QString::number(it.fontSize) + (it.bold ? u'b' : u'-') + (it.italic ? u'i' : u'-');
                auto f = fonts.find(key);
                if (f == fonts.end())
                    f = fonts.insert(key, itemFont(it));
                p.setFont(*f);
                p.setPen(it.color);
                const double pad = kPad * kUnit;
                p.drawText(r.adjusted(pad, 0, -pad, 0), it.flags, it.text);
            }
            drawFrame(p, r, it.frame, it.lineWidth);
            break;
        }
        case LayoutItem::Line:
            p.setPen(QPen(Qt::black, it.lineWidth * kUnit, Qt::SolidLine, Qt::SquareCap));
            p.drawLine(r.topLeft(), r.bottomRight());
            break;
        case LayoutItem::Rect:
            p.setPen(it.lineWidth > 0 ? QPen(Qt::black, it.lineWidth * kUnit) : QPen(Qt::NoPen));
            p.setBrush(it.fill.isValid() ? QBrush(it.fill) : QBrush(Qt::NoBrush));
            p.drawRect(r);
            break;
        case LayoutItem::Image:
            if (!it.image.isNull()) {
                QRectF target = r;
                if (it.keepAspect) {
                    QSizeF s = QSizeF(it.image.size()).scaled(r.size(), Qt::KeepAspectRatio);
                    target = QRectF(r.center() - QPointF(s.width() / 2, s.height() / 2), s);
                }
                p.drawImage(target, it.image);
            }
            drawFrame(p, r, it.frame, it.lineWidth);
            break;
        }
    }
    p.restore();
}

bool writePdf(const LayoutPages &pages, const QString &path, const QString &title, QString *error)
{
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
        if (error)
            *error = probe.errorString();
        return false;
    }
    probe.close();
    constexpr int dpi = 600;
    QPdfWriter w(path);
    w.setResolution(dpi);
    w.setTitle(title);
    w.setCreator(u"Orvalis"_s);
    const auto layoutFor = [](const LayoutPage &pg) {
        QSizeF s = pg.size.isEmpty() ? QSizeF(210, 297) : pg.size;
        const bool landscape = s.width() > s.height();
        const QSizeF portrait = landscape ? s.transposed() : s;
        return QPageLayout(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                           landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
    };
    w.setPageLayout(layoutFor(pages.isEmpty() ? LayoutPage() : pages.first()));
    QPainter p;
    if (!p.begin(&w)) {
        if (error)
            *error = u"无法写入 PDF 文件"_s;
        return false;
    }
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            w.setPageLayout(layoutFor(pages.at(i)));
            w.newPage();
        }
        paintPage(p, pages.at(i), dpi / 25.4);
    }
    p.end();
    return true;
}

} // namespace report
