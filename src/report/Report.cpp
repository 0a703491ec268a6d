#include "Report.h"
#include "ReportExpression.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QSet>
#include <QTime>
#include <limits>

using namespace Qt::StringLiterals;
using report::ExprNode;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPictureDpi = 300.0;  // pictures are scaled down to this before drawing

bool usesTotalPages(const QString &text) { return text.contains("TotalPages#"_L1, Qt::CaseInsensitive); }
} // namespace

// One layout pass over a report. Kept out of the header: it is the engine's inside.
class ReportRun : public report::ExprContext
{
public:
    ReportRun(Report &r, int totalPages) : m_r(r), m_t(r.m_design), m_totalPages(totalPages) {}

    LayoutPages run()
    {
        const PageSetup &pg = m_t.page;
        m_continuous = pg.continuous();
        m_pageSize = pg.size();
        for (int i = 0; i < m_t.bands.size(); ++i) {
            const ReportBand &b = m_t.bands.at(i);
            if (b.kind == BandKind::ReportTitle && !m_title) m_title = &b;
            if (b.kind == BandKind::PageHeader && !m_header) m_header = &b;
            if (b.kind == BandKind::PageFooter && !m_footer) m_footer = &b;
            if (b.kind == BandKind::ReportSummary && !m_summary) m_summary = &b;
        }
        m_limitBase = m_continuous ? kInf : m_pageSize.height() - pg.bottom - (m_footer ? m_footer->height : 0);

        startPage();
        for (int i = 0; i < m_t.bands.size(); ++i) {
            if (m_t.bands.at(i).kind != BandKind::MasterData)
                continue;
            const ReportBand *gh = (i > 0 && m_t.bands.at(i - 1).kind == BandKind::GroupHeader) ? &m_t.bands.at(i - 1) : nullptr;
            const ReportBand *gf = (i + 1 < m_t.bands.size() && m_t.bands.at(i + 1).kind == BandKind::GroupFooter) ? &m_t.bands.at(i + 1) : nullptr;
            walkMaster(m_t.bands.at(i), gh, gf);
        }
        if (m_summary)
            place(*m_summary);
        finishPage();
        return m_pages;
    }

    // ExprContext
    QVariant field(const QString &alias, const QString &name) override
    {
        const QString a = alias.toLower();
        const ReportDataSource *src = m_r.m_sources.value(a);
        if (!src) {
            problem(u"未知数据集: %1"_s.arg(alias));
            return {};
        }
        const QString key = a + u'.' + name.toLower();
        auto known = m_knownFields.constFind(key);
        if (known == m_knownFields.constEnd())
            known = m_knownFields.insert(key, src->hasField(name));
        if (!*known) {
            problem(u"未知字段: %1.\"%2\""_s.arg(alias, name));
            return {};
        }
        const auto active = m_activeRow.constFind(a);
        return src->value(active != m_activeRow.constEnd() ? *active : src->currentRow(), name);
    }

    QVariant variable(const QString &name) override
    {
        if (name.compare("Date"_L1, Qt::CaseInsensitive) == 0) return QDate::currentDate();
        if (name.compare("Time"_L1, Qt::CaseInsensitive) == 0) return QTime::currentTime();
        if (name.compare("Page#"_L1, Qt::CaseInsensitive) == 0) return int(m_pages.size());
        if (name.compare("TotalPages#"_L1, Qt::CaseInsensitive) == 0) return m_totalPages;
        if (name.compare("Line#"_L1, Qt::CaseInsensitive) == 0) return m_line;
        problem(u"未知名称: %1"_s.arg(name));
        return {};
    }

    void unknownFunction(const QString &name) override { problem(u"未知函数: %1"_s.arg(name)); }

    QVariant aggregate(const QString &func, const ExprNode *arg, const QString &bandName) override
    {
        const ReportBand *band = nullptr;
        if (!bandName.isEmpty())
            band = m_t.findBand(bandName);
        else if (m_currentMaster)
            band = m_currentMaster;
        else
            for (const ReportBand &b : m_t.bands)
                if (b.kind == BandKind::MasterData) { band = &b; break; }
        if (!band || band->kind != BandKind::MasterData) {
            problem(u"未知数据带: %1"_s.arg(bandName));
            return {};
        }
        const QString alias = band->dataSet.toLower();
        const ReportDataSource *src = m_r.m_sources.value(alias);
        int from = 0, to = src ? src->rowCount() - 1 : (band->dataSet.isEmpty() ? 0 : -1);
        if (m_group && m_group->band == band) {
            from = m_group->from;
            to = m_group->to;
        }
        const QString key = func + u'|' + QString::number(quintptr(arg)) + u'|' + band->name + u'|'
                          + QString::number(from) + u'|' + QString::number(to);
        if (auto c = m_aggCache.constFind(key); c != m_aggCache.constEnd())
            return *c;

        const bool hadActive = m_activeRow.contains(alias);
        const int savedRow = m_activeRow.value(alias);
        double sum = 0, best = 0;
        int count = 0;
        for (int row = from; row <= to; ++row) {
            if (!alias.isEmpty())
                m_activeRow.insert(alias, row);
            if (!arg) {
                ++count;
                continue;
            }
            const QVariant v = report::evaluate(*arg, *this);
            bool ok = false;
            const double d = v.toDouble(&ok);
            if (!v.isValid() || v.isNull() || !ok)
                continue;
            if (count == 0 || (func == "MIN"_L1 ? d < best : d > best))
                best = d;
            sum += d;
            ++count;
        }
        if (hadActive)
            m_activeRow.insert(alias, savedRow);
        else
            m_activeRow.remove(alias);

        QVariant result;
        if (func == "SUM"_L1) result = sum;
        else if (func == "COUNT"_L1) result = count;
        else if (func == "AVG"_L1) result = count ? QVariant(sum / count) : QVariant();
        else result = count ? QVariant(best) : QVariant();
        m_aggCache.insert(key, result);
        return result;
    }

private:
    struct Group { const ReportBand *band; int from; int to; };

    void problem(const QString &p)
    {
        if (!m_r.m_problems.contains(p))
            m_r.m_problems.append(p);
    }

    void walkMaster(const ReportBand &band, const ReportBand *gh, const ReportBand *gf)
    {
        const QString alias = band.dataSet.toLower();
        const ReportDataSource *src = alias.isEmpty() ? nullptr : m_r.m_sources.value(alias);
        if (!alias.isEmpty() && !src)
            problem(u"未知数据集: %1"_s.arg(band.dataSet));
        const int n = alias.isEmpty() ? 1 : (src ? src->rowCount() : 0);
        m_currentMaster = &band;
        QString groupKey;
        int groupStart = 0;
        for (int row = 0; row < n; ++row) {
            if (!alias.isEmpty())
                m_activeRow.insert(alias, row);
            m_line = row + 1;
            if (gh) {
                const QString key = evalText(gh->condition, QString());
                if (row == 0 || key != groupKey) {
                    if (row > 0 && gf)
                        placeGroupFooter(*gf, band, alias, groupStart, row - 1);
                    groupKey = key;
                    groupStart = row;
                    place(*gh);
                }
            }
            if (band.newPage && row > 0) {
                endColumns();
                newPage();
            }
            if (band.columns > 1)
                placeInColumn(band);
            else
                place(band);
        }
        endColumns();
        if (gf && n > 0)
            placeGroupFooter(*gf, band, alias, groupStart, n - 1);
        if (!alias.isEmpty())
            m_activeRow.remove(alias);
        m_currentMaster = nullptr;
    }

    void placeGroupFooter(const ReportBand &gf, const ReportBand &master, const QString &alias, int from, int to)
    {
        // The footer reads the group's last row; the walk goes on from where it was.
        Group g{&master, from, to};
        m_group = &g;
        const int resume = m_activeRow.value(alias);
        if (!alias.isEmpty())
            m_activeRow.insert(alias, to);
        place(gf);
        if (!alias.isEmpty())
            m_activeRow.insert(alias, resume);
        m_group = nullptr;
    }

    void startPage()
    {
        LayoutPage page;
        page.size = m_pageSize;
        m_pages.append(page);
        m_y = m_t.page.top;
        if (m_pages.size() == 1 && m_title)
            emitBand(*m_title);
        if (m_header && (m_pages.size() > 1 || m_header->printOnFirstPage))
            emitBand(*m_header);
        m_bodyTop = m_y;
    }

    void finishPage()
    {
        if (m_footer && (m_pages.size() > 1 || m_footer->printOnFirstPage)) {
            if (!m_continuous)
                m_y = m_limitBase;
            emitBand(*m_footer);
        }
        if (m_continuous)
            m_pages.last().size.setHeight(m_y + m_t.page.bottom);
    }

    void newPage()
    {
        finishPage();
        startPage();
    }

    // Label sheets: rows fill the line left to right, then the next line starts.
    void placeInColumn(const ReportBand &b)
    {
        const double width = (m_pageSize.width() - m_t.page.left - m_t.page.right) / b.columns;
        const int fallbacks = m_r.m_fallbackCount;
        BandOut out = build(b);
        if (m_col == 0 && m_y + out.height > m_limitBase + 1e-6 && m_y > m_bodyTop + 1e-6) {
            newPage();
            m_r.m_fallbackCount = fallbacks;
            out = build(b);
        }
        m_lineHeight = std::max(m_lineHeight, out.height);
        out.height = 0;
        commit(std::move(out), m_col * width);
        if (++m_col == b.columns)
            endColumns();
    }

    void endColumns()
    {
        if (m_col > 0)
            m_y += m_lineHeight;
        m_col = 0;
        m_lineHeight = 0;
    }

    void place(const ReportBand &b)
    {
        const int fallbacks = m_r.m_fallbackCount;
        BandOut out = build(b);
        if (m_y + out.height > m_limitBase + 1e-6 && m_y > m_bodyTop + 1e-6) {
            // evaluated again on the new page: [Page#] and friends change
            newPage();
            m_r.m_fallbackCount = fallbacks;
            out = build(b);
        }
        commit(std::move(out));
    }

    QString evalText(const QString &text, const QString &format)
    {
        auto parts = m_textCache.constFind(text);
        if (parts == m_textCache.constEnd())
            parts = m_textCache.insert(text, report::parseMemoText(text));
        QString out;
        for (const report::TextPart &p : *parts) {
            if (!p.expr) {
                if (!p.error.isEmpty())
                    problem(u"表达式错误 [%1]: %2"_s.arg(p.source, p.error));
                out += p.literal;
                continue;
            }
            out += report::formatValue(report::evaluate(*p.expr, *this), format);
        }
        return out;
    }

    QImage loadImage(const QString &path, const QSizeF &mm)
    {
        const QString key = path + u'|' + QString::number(mm.width()) + u'x' + QString::number(mm.height());
        if (auto c = m_images.constFind(key); c != m_images.constEnd())
            return *c;
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QImage img = reader.read();
        if (!img.isNull()) {
            const QSize max(std::max(1, qRound(mm.width() / 25.4 * kPictureDpi)),
                            std::max(1, qRound(mm.height() / 25.4 * kPictureDpi)));
            if (img.width() > max.width() || img.height() > max.height())
                img = img.scaled(max, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        m_images.insert(key, img);
        return img;
    }

    QString resolvePath(const QString &file) const
    {
        if (file.isEmpty() || QDir::isAbsolutePath(file) || m_r.m_fileName.isEmpty())
            return file;
        return QFileInfo(m_r.m_fileName).absoluteDir().filePath(file);
    }

    void fillPicture(const ReportObject &o, LayoutItem &it)
    {
        const QString key = o.name.toLower();
        if (auto rule = m_r.m_pictureRules.constFind(key); rule != m_r.m_pictureRules.constEnd()) {
            const QString path = report::formatValue(field(rule->alias, rule->field), QString()).trimmed();
            if (!path.isEmpty() && QFileInfo(path).isFile()) {
                it.image = loadImage(path, o.rect.size());
                it.imageSource = path;
            }
            if (it.image.isNull()) {
                ++m_r.m_fallbackCount;
                it.imageSource = rule->fallback;
                it.image = rule->fallback.isEmpty() ? QImage() : loadImage(rule->fallback, o.rect.size());
            }
            return;
        }
        if (auto pic = m_r.m_pictures.constFind(key); pic != m_r.m_pictures.constEnd()) {
            it.image = *pic;
            it.imageSource = u"(program)"_s;
            return;
        }
        QString path;
        if (!o.field.isEmpty())
            path = evalText(u'[' + o.field + u']', QString()).trimmed();
        else
            path = resolvePath(o.file);
        if (!path.isEmpty() && QFileInfo(path).isFile()) {
            it.image = loadImage(path, o.rect.size());
            it.imageSource = path;
        }
    }

    struct BandOut { QList<LayoutItem> items; double height = 0; };

    void emitBand(const ReportBand &b) { commit(build(b)); }

    void commit(BandOut &&out, double x = 0)
    {
        LayoutPage &page = m_pages.last();
        const QPointF origin(m_t.page.left + x, m_y);
        for (LayoutItem &it : out.items) {
            it.rect.translate(origin);
            page.items.append(std::move(it));
        }
        m_y += out.height;
    }

    // The band's objects evaluated for the current row, relative to the band's corner.
    BandOut build(const ReportBand &b)
    {
        BandOut out;
        out.height = b.height;
        out.items.reserve(b.objects.size());
        bool stretched = false;
        for (const ReportObject &o : b.objects) {
            LayoutItem it = report::designItem(o);
            switch (o.kind) {
            case ObjectKind::Memo: {
                const auto over = m_r.m_memoTexts.constFind(o.name.toLower());
                it.text = over != m_r.m_memoTexts.constEnd() ? *over : evalText(o.text, o.format);
                if (o.stretch) {
                    const double need = report::textHeight(it);
                    if (need > o.rect.height()) {
                        it.rect.setHeight(need);
                        out.height = std::max(out.height, o.rect.y() + need);
                        stretched = true;
                    }
                }
                break;
            }
            case ObjectKind::Picture:
                fillPicture(o, it);
                break;
            case ObjectKind::Line:
            case ObjectKind::Rect:
                break;
            }
            out.items.append(std::move(it));
        }
        if (stretched) {
            // What reached the band's bottom still does: ruled table cells stay
            // aligned, and a rule along the bottom moves down.
            const double grow = out.height - b.height;
            for (int i = 0; i < b.objects.size(); ++i) {
                const ReportObject &o = b.objects.at(i);
                LayoutItem &it = out.items[i];
                if (std::abs(o.rect.bottom() - b.height) > 0.01)
                    continue;
                if (o.kind == ObjectKind::Line && o.rect.height() == 0)
                    it.rect.translate(0, grow);
                else
                    it.rect.setBottom(out.height);
            }
        }
        return out;
    }

    Report &m_r;
    const ReportTemplate &m_t;
    int m_totalPages = 0;
    LayoutPages m_pages;
    bool m_continuous = false;
    QSizeF m_pageSize;
    const ReportBand *m_title = nullptr, *m_header = nullptr, *m_footer = nullptr, *m_summary = nullptr;
    const ReportBand *m_currentMaster = nullptr;
    double m_limitBase = 0, m_y = 0, m_bodyTop = 0;
    int m_line = 0;
    int m_col = 0;
    double m_lineHeight = 0;
    Group *m_group = nullptr;
    QHash<QString, int> m_activeRow;
    QHash<QString, bool> m_knownFields;
    QHash<QString, QList<report::TextPart>> m_textCache;
    QHash<QString, QVariant> m_aggCache;
    QHash<QString, QImage> m_images;
};

bool Report::loadFromFile(const QString &path)
{
    clear();
    m_fileName = path;
    QFile f(path);
    if (!f.exists())
        return false;
    if (!f.open(QIODevice::ReadOnly)) {
        m_loadError = u"无法读取报表文件 %1: %2"_s.arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    QString err;
    ReportTemplate t;
    if (!t.fromXml(f.readAll(), &err)) {
        m_loadError = u"报表文件 %1 已损坏, 报表为空。\n%2"_s.arg(QDir::toNativeSeparators(path), err);
        return false;
    }
    m_design = t;
    return true;
}

bool Report::saveToFile(const QString &path)
{
    const QString target = path.isEmpty() ? m_fileName : path;
    m_lastError.clear();
    if (target.isEmpty()) {
        m_lastError = u"报表没有文件名"_s;
        return false;
    }
    QDir().mkpath(QFileInfo(target).absolutePath());
    QSaveFile f(target);
    if (!f.open(QIODevice::WriteOnly) || f.write(m_design.toXml()) < 0 || !f.commit()) {
        m_lastError = u"无法保存报表文件 %1: %2"_s.arg(QDir::toNativeSeparators(target), f.errorString());
        return false;
    }
    m_fileName = target;
    m_loadError.clear();
    return true;
}

void Report::clear()
{
    m_design.clear();
    m_loadError.clear();
    m_pages.clear();
    m_prepared = false;
    m_problems.clear();
}

void Report::setDesign(const ReportTemplate &design)
{
    m_design = design;
    m_pages.clear();
    m_prepared = false;
}

void Report::bind(const QString &alias, const ReportDataSource *source)
{
    const QString key = alias.toLower();
    if (source) {
        m_sources.insert(key, source);
        m_aliasNames.insert(key, alias);
    } else {
        m_sources.remove(key);
        m_aliasNames.remove(key);
    }
    m_prepared = false;
}

const ReportDataSource *Report::source(const QString &alias) const { return m_sources.value(alias.toLower()); }

QStringList Report::aliases() const
{
    QStringList a = m_aliasNames.values();
    a.sort(Qt::CaseInsensitive);
    return a;
}

bool Report::setMemoText(const QString &name, const QString &text)
{
    const ReportObject *o = m_design.findObject(name);
    if (!o || o->kind != ObjectKind::Memo)
        return false;
    m_memoTexts.insert(name.toLower(), text);
    return true;
}

bool Report::setPicture(const QString &name, const QImage &image)
{
    const ReportObject *o = m_design.findObject(name);
    if (!o || o->kind != ObjectKind::Picture)
        return false;
    m_pictures.insert(name.toLower(), image);
    return true;
}

void Report::setPictureRule(const QString &objectName, const QString &alias, const QString &field,
                            const QString &fallbackFile)
{
    m_pictureRules.insert(objectName.toLower(), PictureRule{alias, field, fallbackFile});
}

void Report::clearRunValues()
{
    m_memoTexts.clear();
    m_pictures.clear();
    m_pictureRules.clear();
}

const LayoutPages &Report::prepare()
{
    m_problems.clear();
    m_fallbackCount = 0;
    m_pages.clear();
    if (!m_design.isEmpty()) {
        bool twoPass = false;
        for (const ReportBand &b : m_design.bands)
            for (const ReportObject &o : b.objects)
                twoPass = twoPass || usesTotalPages(o.text) || usesTotalPages(m_memoTexts.value(o.name.toLower()));
        int total = 0;
        if (twoPass) {
            total = int(ReportRun(*this, 0).run().size());
            m_problems.clear();
            m_fallbackCount = 0;
        }
        m_pages = ReportRun(*this, total).run();
    }
    m_prepared = true;
    return m_pages;
}

QStringList Report::check() const
{
    QStringList out;
    const auto add = [&](const QString &p) { if (!out.contains(p)) out.append(p); };
    static const QStringList known = {u"Date"_s, u"Time"_s, u"Page#"_s, u"TotalPages#"_s, u"Line#"_s};
    const auto checkExpr = [&](const report::ExprNode &e) {
        QList<std::pair<QString, QString>> fields;
        report::collectFields(e, &fields);
        for (const auto &[alias, field] : fields) {
            const ReportDataSource *s = source(alias);
            if (!s)
                add(u"未知数据集: %1"_s.arg(alias));
            else if (!s->hasField(field))
                add(u"未知字段: %1.\"%2\""_s.arg(alias, field));
        }
        QStringList names;
        report::collectNames(e, &names);
        for (const QString &n : names) {
            const bool isBand = m_design.findBand(n) != nullptr;
            if (!isBand && !known.contains(n, Qt::CaseInsensitive))
                add(u"未知名称: %1"_s.arg(n));
        }
    };
    const auto checkText = [&](const QString &text, const QString &where) {
        for (const report::TextPart &p : report::parseMemoText(text)) {
            if (!p.error.isEmpty())
                add(u"%1: 表达式错误 [%2]: %3"_s.arg(where, p.source, p.error));
            else if (p.expr)
                checkExpr(*p.expr);
        }
    };
    for (const ReportBand &b : m_design.bands) {
        if (b.kind == BandKind::MasterData && !b.dataSet.isEmpty() && !source(b.dataSet))
            add(u"未知数据集: %1"_s.arg(b.dataSet));
        if (!b.condition.isEmpty())
            checkText(b.condition, b.name);
        for (const ReportObject &o : b.objects) {
            if (o.kind == ObjectKind::Memo)
                checkText(o.text, o.name);
            else if (o.kind == ObjectKind::Picture && !o.field.isEmpty())
                checkText(u'[' + o.field + u']', o.name);
        }
    }
    return out;
}

bool Report::exportPdf(const QString &path)
{
    if (!m_prepared)
        prepare();
    m_lastError.clear();
    return report::writePdf(m_pages, path, m_name, &m_lastError);
}

LayoutItem report::designItem(const ReportObject &o)
{
    LayoutItem it;
    it.objectName = o.name;
    it.rect = o.rect;
    it.frame = o.frame;
    it.lineWidth = o.lineWidth;
    it.fill = o.fill;
    switch (o.kind) {
    case ObjectKind::Memo:
        it.kind = LayoutItem::Text;
        it.text = o.text;
        it.fontFamily = o.fontFamily;
        it.fontSize = o.fontSize;
        it.bold = o.bold;
        it.italic = o.italic;
        it.flags = int(o.hAlign | o.vAlign) | (o.wordWrap || o.stretch ? int(Qt::TextWordWrap) : 0);
        it.color = o.color;
        break;
    case ObjectKind::Picture:
        it.kind = LayoutItem::Image;
        it.keepAspect = o.keepAspect;
        break;
    case ObjectKind::Line:
        it.kind = LayoutItem::Line;
        break;
    case ObjectKind::Rect:
        it.kind = LayoutItem::Rect;
        break;
    }
    return it;
}
