#pragma once
#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QFont;
class QPainter;

// A prepared report: pages of device-independent primitives in millimetres from
// the paper's top-left corner. Laid out once, then painted as often as needed to
// the preview, the printer and PDF.

struct LayoutItem
{
    enum Kind { Text, Line, Rect, Image };
    Kind kind = Text;
    QRectF rect;               // Line: from topLeft to bottomRight
    QString objectName;
    // text
    QString text;
    QString fontFamily;
    double fontSize = 9.0;
    bool bold = false;
    bool italic = false;
    int flags = 0;             // Qt::Alignment | Qt::TextWordWrap
    QColor color = Qt::black;
    // frame (text, image, rect): sides "ltrb"; Line and Rect use lineWidth too
    QString frame;
    double lineWidth = 0.2;
    QColor fill;
    // image
    QImage image;
    bool keepAspect = true;
    QString imageSource;       // file the image came from (the fallback shows here)
};

struct LayoutPage
{
    QSizeF size;               // millimetres
    QList<LayoutItem> items;
};

using LayoutPages = QList<LayoutPage>;

namespace report {

// The family asked for when a memo names none; installed with the program.
QString defaultFontFamily();
QStringList fontFamilies(const QString &family);

// The font a text item is drawn with, sized in hundredths of a millimetre.
QFont itemFont(const LayoutItem &item);
// Height in millimetres the item's text needs when wrapped at its own width.
double textHeight(const LayoutItem &item);

// Paints one page; pxPerMm is the device's resolution (PDF: dpi / 25.4,
// preview: zoom × screen dpi / 25.4). The painter's origin is the paper's corner.
void paintPage(QPainter &p, const LayoutPage &page, double pxPerMm);

// Writes all pages to a PDF file at their own sizes, fonts embedded.
bool writePdf(const LayoutPages &pages, const QString &path, const QString &title, QString *error);

} // namespace report
