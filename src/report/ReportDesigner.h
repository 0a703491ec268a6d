#pragma once
#include "Report.h"

#include <QDialog>
#include <functional>

class QListWidget;
class QTableWidget;
class QTreeWidget;
class QUndoStack;
class DesignCanvas;

// The visual designer, opened modally on one report: bands on a page canvas,
// objects placed, moved and resized with the mouse on a 1 mm grid, a property
// table, the bound data sets' fields to drop onto bands, undo and redo, and a
// list of names the design uses that the data sets do not have. Saving writes
// the report's own file and puts the design into the report object, so the next
// print uses it.
//
// The program calls ReportDesigner::designReport(parent, report). As with the
// preview, a test hook makes it return at once after handing over the dialog.
class ReportDesigner : public QDialog
{
    Q_OBJECT
public:
    explicit ReportDesigner(Report &report, QWidget *parent = nullptr);
    ~ReportDesigner() override;

    static int designReport(QWidget *parent, Report &report);
    using TestHook = std::function<void(ReportDesigner *)>;
    static void setTestHook(TestHook hook);

    const ReportTemplate &design() const { return m_design; }
    QUndoStack *undoStack() const { return m_undo; }
    QString selectedObject() const { return m_selected; }
    QString selectedBand() const { return m_selectedBand; }
    void selectObject(const QString &name);
    void selectBand(const QString &name);
    // Where an object is drawn on the canvas (widget pixels), for tests and tools.
    QRectF canvasRect(const QString &object) const;
    QRectF canvasBandRect(const QString &band) const;
    QStringList problems() const;

    // Edits, each one undoable step.
    void addObject(ObjectKind kind, const QString &band, const QPointF &posMm, const QString &text = {});
    void dropField(const QString &alias, const QString &field, const QString &band, const QPointF &posMm);
    void addBand(BandKind kind);
    void deleteSelection();
    void replaceObject(const QString &name, const ReportObject &after, const QString &band = {});
    void replaceBand(const QString &name, const ReportBand &after);
    void replacePage(const PageSetup &after);
    bool save();

    // Used by the undo commands: they address objects and bands by name.
    void applyObject(const QString &removeName, const QString &band, int index, const ReportObject *obj);
    void applyBand(const QString &removeName, int index, const ReportBand *band);
    void applyPage(const PageSetup &page);

protected:
    void reject() override;

private:
    friend class DesignCanvas;
    void designChanged();
    void fillProperties();
    void propertyEdited(int row);
    void fillFields();
    void preview();
    QString targetBand() const;

    Report &m_report;
    ReportTemplate m_design;
    QString m_selected;       // object name, or empty
    QString m_selectedBand;   // band name when a band (not an object) is selected
    QUndoStack *m_undo = nullptr;
    DesignCanvas *m_canvas = nullptr;
    QTableWidget *m_props = nullptr;
    QTreeWidget *m_fields = nullptr;
    QListWidget *m_problems = nullptr;
    bool m_filling = false;
};
