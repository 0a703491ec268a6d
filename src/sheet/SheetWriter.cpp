#include "SheetWriter.h"

#include <QHash>

#include <xlsxwriter.h>

struct SheetWriter::Private
{
    lxw_workbook *book = nullptr;
    lxw_worksheet *sheet = nullptr;
    QHash<int, lxw_format *> numberFormats; // decimals (or -1) and bold flag
    lxw_format *bold = nullptr;
    lxw_format *date = nullptr;
    lxw_format *dateTime = nullptr;
    QString error;

    lxw_format *numberFormat(int decimals, bool isBold)
    {
        const int key = decimals * 2 + (isBold ? 1 : 0);
        if (auto *f = numberFormats.value(key))
            return f;
        lxw_format *f = workbook_add_format(book);
        if (decimals >= 0) {
            QByteArray pattern = "0";
            if (decimals > 0)
                pattern += '.' + QByteArray(decimals, '0');
            format_set_num_format(f, pattern.constData());
        }
        if (isBold)
            format_set_bold(f);
        numberFormats.insert(key, f);
        return f;
    }
};

SheetWriter::SheetWriter() : d(std::make_unique<Private>()) {}

SheetWriter::~SheetWriter()
{
    if (d->book)
        workbook_close(d->book);
}

bool SheetWriter::open(const QString &fileName, const QString &sheetName, bool lowMemory)
{
    if (d->book)
        close();
    d->numberFormats.clear();
    d->error.clear();
    lxw_workbook_options options{};
    options.constant_memory = lowMemory ? LXW_TRUE : LXW_FALSE;
    options.use_zip64 = LXW_TRUE;
    d->book = workbook_new_opt(fileName.toLocal8Bit().constData(), &options);
    if (!d->book) {
        d->error = QStringLiteral("cannot create workbook");
        return false;
    }
    d->sheet = workbook_add_worksheet(d->book, sheetName.toUtf8().constData());
    d->bold = workbook_add_format(d->book);
    format_set_bold(d->bold);
    d->date = workbook_add_format(d->book);
    format_set_num_format(d->date, "yyyy-mm-dd");
    d->dateTime = workbook_add_format(d->book);
    format_set_num_format(d->dateTime, "yyyy-mm-dd hh:mm:ss");
    return d->sheet != nullptr;
}

void SheetWriter::writeText(int row, int col, const QString &text, bool bold)
{
    if (d->sheet)
        worksheet_write_string(d->sheet, lxw_row_t(row), lxw_col_t(col), text.toUtf8().constData(),
                               bold ? d->bold : nullptr);
}

void SheetWriter::writeNumber(int row, int col, double value, int decimals, bool bold)
{
    if (d->sheet)
        worksheet_write_number(d->sheet, lxw_row_t(row), lxw_col_t(col), value,
                               decimals < 0 && !bold ? nullptr : d->numberFormat(decimals, bold));
}

void SheetWriter::writeDate(int row, int col, const QDate &date)
{
    if (!d->sheet || !date.isValid())
        return;
    lxw_datetime dt{date.year(), date.month(), date.day(), 0, 0, 0};
    worksheet_write_datetime(d->sheet, lxw_row_t(row), lxw_col_t(col), &dt, d->date);
}

void SheetWriter::writeDateTime(int row, int col, const QDateTime &value)
{
    if (!d->sheet || !value.isValid())
        return;
    const QTime t = value.time();
    lxw_datetime dt{value.date().year(), value.date().month(), value.date().day(), t.hour(), t.minute(),
                    t.second() + t.msec() / 1000.0};
    worksheet_write_datetime(d->sheet, lxw_row_t(row), lxw_col_t(col), &dt, d->dateTime);
}

void SheetWriter::setColumnWidth(int col, double characters)
{
    if (d->sheet)
        worksheet_set_column(d->sheet, lxw_col_t(col), lxw_col_t(col), characters, nullptr);
}

bool SheetWriter::close()
{
    if (!d->book)
        return false;
    const lxw_error rc = workbook_close(d->book);
    d->book = nullptr;
    d->sheet = nullptr;
    if (rc != LXW_NO_ERROR) {
        d->error = QString::fromUtf8(lxw_strerror(rc));
        return false;
    }
    return true;
}

QString SheetWriter::error() const { return d->error; }
