#pragma once
#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QByteArray>

// The design of one report: page, bands and the objects on them. Plain values,
// so the designer can copy, compare and restore them for undo. All lengths are
// millimetres; object positions are relative to their band's top-left corner.

enum class ObjectKind { Memo, Picture, Line, Rect };
enum class BandKind { ReportTitle, PageHeader, GroupHeader, MasterData, GroupFooter, PageFooter, ReportSummary };

struct ReportObject
{
    ObjectKind kind = ObjectKind::Memo;
    QString name;
    QRectF rect;                 // lines run from topLeft to bottomRight
    // memo
    QString text;                // literal text with [expressions]
    QString fontFamily;          // empty: the report's CJK default
    double fontSize = 9.0;       // points
    bool bold = false;
    bool italic = false;
    Qt::Alignment hAlign = Qt::AlignLeft;
    Qt::Alignment vAlign = Qt::AlignVCenter;
    bool wordWrap = false;
    bool stretch = false;        // grows (wrapping) to fit its text; the band grows with it
    QString format;              // "0.00", "#,##0.00", "yyyy-MM-dd"
    QColor color = Qt::black;
    // memo, picture, rect: which sides get a frame line ("ltrb" in any order)
    QString frame;
    double lineWidth = 0.2;      // frame, line and rectangle width
    QColor fill;                 // invalid: transparent
    // picture
    QString file;                // path, relative paths to the template's folder
    QString field;               // expression giving a file path, e.g. B."Pic"
    bool keepAspect = true;

    bool operator==(const ReportObject &) const = default;
};

struct ReportBand
{
    BandKind kind = BandKind::MasterData;
    QString name;
    double height = 10.0;
    QString dataSet;             // master data: alias of the data set walked
    bool newPage = false;        // master data: every row after the first starts a page
    int columns = 1;             // master data: rows side by side across the page (label sheets)
    QString condition;           // group header: expression whose change starts a group
    bool printOnFirstPage = true;// page header / page footer
    QList<ReportObject> objects;

    bool operator==(const ReportBand &) const = default;
};

struct PageSetup
{
    QString paper = QStringLiteral("A4");  // A4, A5, DL, Roll80, Roll58, Custom
    bool landscape = false;
    double customWidth = 210.0;  // Custom only, portrait sense
    double customHeight = 297.0;
    double left = 10.0, top = 10.0, right = 10.0, bottom = 10.0;

    // Rolls have no fixed height: a page is as long as its content.
    bool continuous() const;
    // Size as printed (landscape applied); height 0 for rolls.
    QSizeF size() const;
    static QStringList paperNames();

    bool operator==(const PageSetup &) const = default;
};

class ReportTemplate
{
public:
    QString name;
    PageSetup page;
    QList<ReportBand> bands;

    bool isEmpty() const { return bands.isEmpty(); }
    void clear() { *this = ReportTemplate(); }

    // Parses our XML; on failure leaves *this empty and returns a readable reason.
    bool fromXml(const QByteArray &xml, QString *error);
    // Writes only the attributes that differ from their defaults.
    QByteArray toXml() const;

    ReportObject *findObject(const QString &name);
    const ReportObject *findObject(const QString &name) const;
    ReportBand *findBand(const QString &name);
    const ReportBand *findBand(const QString &name) const;
    // Index of the band holding the named object, -1 if none.
    int bandIndexOfObject(const QString &name) const;
    // "Memo1", "Memo2", ... the first free name for a new object or band.
    QString uniqueName(const QString &prefix) const;

    bool operator==(const ReportTemplate &) const = default;

    static QString kindName(BandKind kind);
    static bool kindFromName(const QString &name, BandKind *kind);
    static QString kindName(ObjectKind kind);
};
