#include <QTest>
class tst_DataGrid : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(tst_DataGrid)
#include "tst_datagrid.moc"
