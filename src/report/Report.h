#pragma once
#include "ReportDataSource.h"
#include "ReportLayout.h"
#include "ReportTemplate.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

// One report as the program uses it: a template loaded from its file, the data
// sets bound to it by alias, and the values the program writes before a run.
//
//   Report r(u"frx_yiyong"_s);
//   r.loadFromFile(home + u"/Reports/frx_yiyong.fr3"_s); // missing file: empty, no error
//   r.bind(u"B"_s, &cards); r.bind(u"A"_s, &bills); r.bind(u"F"_s, &lines);
//   r.setMemoText(u"Memo_BigMoney"_s, capitals);           // missing object: skipped
//   ReportPreview::showReport(window, r);                  // or r.exportPdf(path)
//
// The engine reads the bound sources by row index and never moves their current
// rows. Bands that do not walk a source read its current row.
// Layout measures and draws text, so a QGuiApplication must exist (offscreen is fine).
class Report
{
public:
    Report() = default;
    explicit Report(const QString &name) : m_name(name) {}

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    // Empties the report first. A missing file leaves it empty and is not an error
    // (returns false, loadError() stays empty); a damaged file leaves it empty and
    // sets loadError(). The path is kept either way: saving writes back to it.
    bool loadFromFile(const QString &path);
    // Writes the design to path, or to the file it was loaded from when path is empty.
    bool saveToFile(const QString &path = QString());
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &path) { m_fileName = path; }
    QString loadError() const { return m_loadError; }
    QString lastError() const { return m_lastError; }

    bool isEmpty() const { return m_design.isEmpty(); }
    void clear();
    const ReportTemplate &design() const { return m_design; }
    void setDesign(const ReportTemplate &design);

    // Alias without regard to case; a null source unbinds.
    void bind(const QString &alias, const ReportDataSource *source);
    const ReportDataSource *source(const QString &alias) const;
    QStringList aliases() const;

    // Object names without regard to case.
    const ReportObject *findObject(const QString &name) const { return m_design.findObject(name); }
    // Run-time values: they replace the design's text or image in every run until
    // cleared, and are never saved into the template. False if there is no such object.
    bool setMemoText(const QString &name, const QString &text);
    bool setPicture(const QString &name, const QImage &image);
    // A picture filled per row: the file named by alias."field" of the row being
    // printed (the source's current row outside its own master band), or
    // fallbackFile when that file does not exist or cannot be read.
    void setPictureRule(const QString &objectName, const QString &alias, const QString &field,
                        const QString &fallbackFile);
    void clearRunValues();

    // Lays the report out afresh (earlier prepared pages are discarded).
    const LayoutPages &prepare();
    const LayoutPages &pages() const { return m_pages; }
    bool isPrepared() const { return m_prepared; }
    // Unknown names and broken expressions met by the last prepare(); they printed empty.
    QStringList problems() const { return m_problems; }
    // How many pictures of the last prepare() fell back to the fallback file.
    int fallbackPictureCount() const { return m_fallbackCount; }

    // The same check without running: unknown data sets, fields, names and
    // expression errors of the design against the bound sources (the designer lists them).
    QStringList check() const;

    // Prepares when needed and writes a PDF with the CJK fonts embedded.
    bool exportPdf(const QString &path);

private:
    friend class ReportRun;
    struct PictureRule { QString alias, field, fallback; };

    QString m_name;
    QString m_fileName;
    QString m_loadError;
    QString m_lastError;
    ReportTemplate m_design;
    QHash<QString, const ReportDataSource *> m_sources;   // lower-case alias
    QHash<QString, QString> m_aliasNames;                  // lower-case → as bound
    QHash<QString, QString> m_memoTexts;                   // lower-case object name
    QHash<QString, QImage> m_pictures;
    QHash<QString, PictureRule> m_pictureRules;
    LayoutPages m_pages;
    bool m_prepared = false;
    QStringList m_problems;
    int m_fallbackCount = 0;
};

namespace report {
// What an object draws as before any data is read: its place, frame, fill and text
// style, with the design's own text. The engine fills in data; the designer shows it as is.
LayoutItem designItem(const ReportObject &o);
} // namespace report
