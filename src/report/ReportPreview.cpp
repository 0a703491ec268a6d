#include "ReportPreview.h"
#include "Report.h"
#include "ReportUi.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
ReportPreview::TestHook &testHook()
{
    static ReportPreview::TestHook h;
    return h;
}
constexpr int kGap = 16;  // grey border around the page
} // namespace

// Paints one prepared page at the preview's zoom.
class ReportPageView : public QWidget
{
public:
    explicit ReportPageView(QWidget *parent) : QWidget(parent) { setObjectName(u"PageView"_s); }

    void show(const LayoutPage *page, QSizeF paperMm, double pxPerMm)
    {
        m_page = page;
        m_paper = paperMm;
        m_pxPerMm = pxPerMm;
        setFixedSize(QSize(qRound(m_paper.width() * pxPerMm) + 2 * kGap, qRound(m_paper.height() * pxPerMm) + 2 * kGap));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        const QRectF paper(kGap, kGap, m_paper.width() * m_pxPerMm, m_paper.height() * m_pxPerMm);
        p.fillRect(paper.translated(3, 3), QColor(60, 60, 60));
        p.fillRect(paper, Qt::white);
        if (m_page) {
            p.translate(paper.topLeft());
            report::paintPage(p, *m_page, m_pxPerMm);
        }
    }

private:
    const LayoutPage *m_page = nullptr;
    QSizeF m_paper{210, 297};
    double m_pxPerMm = 1;
};

ReportPreview::ReportPreview(Report &report, QWidget *parent)
    : QDialog(parent), m_report(report)
{
    setObjectName(u"ReportPreview"_s);
    setWindowTitle(u"打印预览"_s + (report.name().isEmpty() ? QString() : u" - "_s + report.name()));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(1000, 760);
    m_pages = m_report.prepare();

    auto *bar = new QToolBar(this);
    bar->setObjectName(u"PreviewToolBar"_s);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto act = [&](const QString &name, const QString &text, const QKeySequence &key, auto slot) {
        QAction *a = bar->addAction(text);
        a->setObjectName(name);
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_print = act(u"Act_Print"_s, u"打印"_s, QKeySequence::Print, [this] { print(); });
    m_pdf = act(u"Act_ExportPdf"_s, u"导出PDF"_s, QKeySequence(), [this] { exportPdfAsked(); });
    bar->addSeparator();
    act(u"Act_ZoomIn"_s, u"放大"_s, QKeySequence::ZoomIn, [this] { setZoom(m_zoom * 1.25); });
    act(u"Act_ZoomOut"_s, u"缩小"_s, QKeySequence::ZoomOut, [this] { setZoom(m_zoom / 1.25); });
    act(u"Act_FitWidth"_s, u"适合宽度"_s, QKeySequence(), [this] { fitWidth(); });
    act(u"Act_Zoom100"_s, u"100%"_s, QKeySequence(), [this] { setZoom(1.0); });
    bar->addSeparator();
    m_first = act(u"Act_First"_s, u"首页"_s, QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { setCurrentPage(0); });
    m_prev = act(u"Act_Prior"_s, u"上一页"_s, QKeySequence(Qt::Key_PageUp), [this] { setCurrentPage(m_page - 1); });
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(u"Lbl_Page"_s);
    m_pageLabel->setMinimumWidth(90);
    m_pageLabel->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_pageLabel);
    m_next = act(u"Act_Next"_s, u"下一页"_s, QKeySequence(Qt::Key_PageDown), [this] { setCurrentPage(m_page + 1); });
    m_last = act(u"Act_Last"_s, u"末页"_s, QKeySequence(Qt::CTRL | Qt::Key_End), [this] { setCurrentPage(pageCount() - 1); });
    bar->addSeparator();
    act(u"Act_Close"_s, u"关闭"_s, QKeySequence(), [this] { accept(); });

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(u"PreviewArea"_s);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new ReportPageView(m_scroll);
    m_scroll->setWidget(m_view);

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(bar);
    lay->addWidget(m_scroll, 1);
    updateState();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::setTestHook(TestHook hook) { testHook() = std::move(hook); }

int ReportPreview::showReport(QWidget *parent, Report &report)
{
    ReportUi::reportLoadError(parent, report);
    ReportPreview dlg(report, parent);
    if (testHook()) {
        testHook()(&dlg);
        return QDialog::Rejected;
    }
    return dlg.exec();
}

void ReportPreview::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_fitted) {
        // The first look shows the whole width of the paper.
        m_fitted = true;
        fitWidth();
    }
}

int ReportPreview::pageCount() const { return int(m_pages.size()); }

void ReportPreview::setCurrentPage(int page)
{
    m_page = std::clamp(page, 0, std::max(0, pageCount() - 1));
    updateState();
    m_scroll->verticalScrollBar()->setValue(0);
}

void ReportPreview::setZoom(double zoom)
{
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    updateState();
}

void ReportPreview::fitWidth()
{
    const QSizeF paper = m_pages.isEmpty() ? m_report.design().page.size() : m_pages.at(m_page).size;
    const double pxPerMm100 = logicalDpiX() / 25.4;
    // Leave room for the vertical scroll bar a full page needs.
    const int avail = m_scroll->width() - m_scroll->verticalScrollBar()->sizeHint().width() - 2 * kGap - 8;
    if (paper.width() > 0)
        setZoom(avail / (paper.width() * pxPerMm100));
}

void ReportPreview::updateState()
{
    const int n = pageCount();
    m_pageLabel->setText(n ? u"第 %1 / %2 页"_s.arg(m_page + 1).arg(n) : u"(空报表)"_s);
    m_print->setEnabled(n > 0);  // an empty report has nothing to print
    m_pdf->setEnabled(n > 0);
    m_first->setEnabled(m_page > 0);
    m_prev->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < n);
    m_last->setEnabled(m_page + 1 < n);
    QSizeF paper = n ? m_pages.at(m_page).size : m_report.design().page.size();
    if (paper.height() <= 0)
        paper.setHeight(100);
    m_view->show(n ? &m_pages.at(m_page) : nullptr, paper, m_zoom * logicalDpiX() / 25.4);
}

void ReportPreview::printTo(QPrinter &printer, int fromPage, int toPage)
{
    if (m_pages.isEmpty())
        return;
    const int from = fromPage > 0 ? fromPage - 1 : 0;
    const int to = toPage > 0 ? std::min(toPage, pageCount()) - 1 : pageCount() - 1;
    printer.setFullPage(true);
    const auto layoutFor = [](const LayoutPage &pg) {
        const bool landscape = pg.size.width() > pg.size.height();
        const QSizeF portrait = landscape ? pg.size.transposed() : pg.size;
        return QPageLayout(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                           landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
    };
    printer.setPageLayout(layoutFor(m_pages.at(from)));
    QPainter p;
    if (!p.begin(&printer))
        return;
    for (int i = from; i <= to; ++i) {
        if (i > from) {
            printer.setPageLayout(layoutFor(m_pages.at(i)));
            printer.newPage();
        }
        report::paintPage(p, m_pages.at(i), printer.resolution() / 25.4);
    }
    p.end();
}

void ReportPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_report.name());
    QPrintDialog dlg(&printer, this);
    dlg.setMinMax(1, std::max(1, pageCount()));
    if (dlg.exec() != QDialog::Accepted)
        return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    printTo(printer, range ? printer.fromPage() : 0, range ? printer.toPage() : 0);
}

bool ReportPreview::exportPdf(const QString &path)
{
    QString error;
    if (!report::writePdf(m_pages, path, m_report.name(), &error)) {
        ReportUi::showMessage(this, u"导出 PDF 失败: %1"_s.arg(error));
        return false;
    }
    return true;
}

void ReportPreview::exportPdfAsked()
{
    const QString suggested = (m_report.name().isEmpty() ? u"report"_s : m_report.name()) + u".pdf"_s;
    const QString path = ReportUi::askSaveFile(this, u"导出PDF"_s, suggested, u"PDF 文件 (*.pdf)"_s);
    if (!path.isEmpty())
        exportPdf(path);
}
