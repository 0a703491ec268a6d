#pragma once
#include "ReportLayout.h"

#include <QDialog>
#include <functional>

class QAction;
class QLabel;
class QPrinter;
class QScrollArea;
class Report;
class ReportPageView;

// The preview every print goes through: page navigation, zoom, print through
// the printer dialog, export to PDF. It prepares the report afresh when opened
// and paints the prepared pages from then on (no layout on repaint).
//
// The program calls ReportPreview::showReport(parent, report), which runs the
// dialog modally. Tests install a hook with setTestHook(): showReport then builds
// the dialog, hands it to the hook and returns without exec(), so nothing blocks.
class ReportPreview : public QDialog
{
    Q_OBJECT
public:
    explicit ReportPreview(Report &report, QWidget *parent = nullptr);
    ~ReportPreview() override;

    // Shows a damaged template's message first, then the preview; returns the
    // dialog's result (or QDialog::Rejected when a test hook took it).
    static int showReport(QWidget *parent, Report &report);
    using TestHook = std::function<void(ReportPreview *)>;
    static void setTestHook(TestHook hook);

    int pageCount() const;
    int currentPage() const { return m_page; }   // 0-based
    void setCurrentPage(int page);
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void fitWidth();

    // Paints the pages (from..to, 1-based, 0 = all) onto a printer at its resolution.
    void printTo(QPrinter &printer, int fromPage = 0, int toPage = 0);
    bool exportPdf(const QString &path);
    const LayoutPages &pages() const { return m_pages; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void print();
    void exportPdfAsked();
    void updateState();

    Report &m_report;
    LayoutPages m_pages;
    int m_page = 0;
    double m_zoom = 1.0;
    bool m_fitted = false;
    QScrollArea *m_scroll = nullptr;
    ReportPageView *m_view = nullptr;
    QLabel *m_pageLabel = nullptr;
    QAction *m_print = nullptr, *m_pdf = nullptr;
    QAction *m_first = nullptr, *m_prev = nullptr, *m_next = nullptr, *m_last = nullptr;
};
