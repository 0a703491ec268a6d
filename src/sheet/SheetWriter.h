#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

#include <memory>

// Writes one worksheet of an .xlsx workbook. Cells are written by row and
// column from 0; texts stay texts (a card number "000123" is never turned into
// a number), numbers carry a display format, dates a date format.
class SheetWriter
{
public:
    SheetWriter();
    ~SheetWriter();
    SheetWriter(const SheetWriter &) = delete;
    SheetWriter &operator=(const SheetWriter &) = delete;

    // lowMemory streams rows straight to disk (texts are then stored inline in
    // the sheet instead of in the shared string table); for very large sheets.
    bool open(const QString &fileName, const QString &sheetName = QStringLiteral("Sheet1"), bool lowMemory = false);
    // Number format for numbers without explicit decimals: none (General).
    void writeText(int row, int col, const QString &text, bool bold = false);
    // decimals < 0: general format; otherwise "0", "0.00" …
    void writeNumber(int row, int col, double value, int decimals = -1, bool bold = false);
    void writeDate(int row, int col, const QDate &date);
    void writeDateTime(int row, int col, const QDateTime &dateTime);
    void setColumnWidth(int col, double characters);
    // Writes the file; false with error() when it cannot be written.
    bool close();
    QString error() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
