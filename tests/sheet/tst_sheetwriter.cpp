#include "sheet/SheetWriter.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_SheetWriter : public QObject
{
    Q_OBJECT

    static QString member(const QString &file, const QString &name)
    {
        QProcess p;
        p.start(u"unzip"_s, {u"-p"_s, file, name});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private slots:
    void cellsKeepTheirKind()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"t.xlsx"_s);
        SheetWriter w;
        QVERIFY(w.open(file));
        w.writeText(0, 0, u"卡号"_s, true);
        w.writeText(1, 0, u"000123"_s);
        w.writeNumber(1, 1, 1234.5, 2);
        w.writeDate(1, 2, QDate(2026, 1, 5));
        QVERIFY2(w.close(), qPrintable(w.error()));
        const QString sheet = member(file, u"xl/worksheets/sheet1.xml"_s);
        QVERIFY(member(file, u"xl/sharedStrings.xml"_s).contains(u"<t>000123</t>"_s));
        QVERIFY2(sheet.contains(u"<c r=\"A2\" t=\"s\""_s), qPrintable(sheet));
        QVERIFY(sheet.contains(QRegularExpression(u"<c r=\"B2\" s=\"\\d+\"><v>1234.5</v>"_s)));
        QVERIFY(sheet.contains(QRegularExpression(u"<c r=\"C2\" s=\"\\d+\"><v>46027</v>"_s)));
        const QString styles = member(file, u"xl/styles.xml"_s);
        QVERIFY(styles.contains(u"formatCode=\"0.00\""_s));
        QVERIFY(styles.contains(u"formatCode=\"yyyy\\-mm\\-dd\""_s) || styles.contains(u"formatCode=\"yyyy-mm-dd\""_s));
    }

    void unwritableFileFails()
    {
        SheetWriter w;
        QVERIFY(w.open(u"/nonexistent-dir/x.xlsx"_s));
        QVERIFY(!w.close());
        QVERIFY(!w.error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_SheetWriter)
#include "tst_sheetwriter.moc"
