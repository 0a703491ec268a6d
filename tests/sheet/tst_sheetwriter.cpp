#include <QTest>
class tst_SheetWriter : public QObject
{
    Q_OBJECT
};
QTEST_GUILESS_MAIN(tst_SheetWriter)
#include "tst_sheetwriter.moc"
