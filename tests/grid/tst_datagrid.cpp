#include "TestDb.h"
#include "app/Session.h"
#include "data/DataSet.h"
#include "grid/DataGrid.h"
#include "grid/GridOps.h"
#include "grid/U_FieldCaption.h"
#include "grid/U_FieldShow.h"

#include <QHeaderView>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {
// A small list with the kinds of columns grids show: codes that look like
// numbers, a field whose name has a digit, floats, money and dates.
const char *const Config = "GridTest";

QByteArray zipMember(const QString &file, const QString &member)
{
    QProcess p;
    p.start(u"unzip"_s, {u"-p"_s, file, member});
    p.waitForFinished();
    return p.readAllStandardOutput();
}
} // namespace

class tst_DataGrid : public QObject
{
    Q_OBJECT

    TestDb tdb;
    std::unique_ptr<DataSet> ds;

    void addColumn(const QString &field, const QString &caption, int show, int showId, int sum = 0, int dotsize = 0,
                   int width = 80)
    {
        QVERIFY(tdb.exec(u"insert into T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) "
                         "values (?, ?, ?, ?, ?, ?, ?, 0, ?)"_s,
                         {QString::fromLatin1(Config), field, caption, width, show, showId, sum, dotsize}));
    }

    void openFixture()
    {
        ds = std::make_unique<DataSet>(&tdb.db());
        QVERIFY2(ds->open(u"select * from G_Test order by ID"_s), qPrintable(ds->lastError()));
    }

private slots:
    void initTestCase()
    {
        // The shipped schema is a resource of a static library: pull it in.
        Q_INIT_RESOURCE(db);
    }

    void init()
    {
        ORVALIS_INIT_DB(tdb);
        Session::instance().PriceDecimals = 2;
        Session::instance().QuantityDecimals = 2;
        Session::instance().AmountDecimals = 2;
        QVERIFY(tdb.exec(u"create table G_Test (ID integer primary key, CardCode varchar(20), MemName varchar(20), "
                         "Other1 varchar(20), Price float, Amount numeric(19,4), EndDate date)"_s));
        const QList<QVariantList> rows = {
            {1, u"000123"_s, u"Zhang"_s, u"b"_s, 1234.5, u"0.1"_s, u"2026-01-05"_s},
            {2, u"A002"_s, u"Li"_s, u"c"_s, 2.25, u"0.2"_s, u"1899-12-30"_s},
            {3, u"000123"_s, u"Wang"_s, u"a"_s, 10.0, u"1000000.7"_s, u"2025-12-31"_s},
        };
        for (const QVariantList &r : rows)
            QVERIFY(tdb.exec(u"insert into G_Test values (?, ?, ?, ?, ?, ?, ?)"_s,
                             {r[0], r[1], r[2], r[3], r[4], tdb.db().money(Money::fromString(r[5].toString())),
                              QDate::fromString(r[6].toString(), u"yyyy-MM-dd"_s)}));
        addColumn(u"Amount"_s, u"金额"_s, 1, 2, 1, 3, 90);
        addColumn(u"CardCode"_s, u"卡号"_s, 1, 0);
        addColumn(u"MemName"_s, u"姓名"_s, 1, 1);
        addColumn(u"Other1"_s, u"自定义1"_s, 1, 3);
        addColumn(u"Price"_s, u"单价"_s, 1, 4, 0, 1);
        addColumn(u"EndDate"_s, u"到期"_s, 1, 5);
        addColumn(u"ID"_s, u"编号"_s, 0, 6);
        openFixture();
    }

    void cleanup()
    {
        ds.reset();
        tdb.tearDown();
    }

    void buildsShownColumnsByShowId()
    {
        DataGrid grid;
        grid.setObjectName(u"DBGridEh1"_s);
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        QStringList fields, captions;
        for (const auto &c : grid.columns())
            fields << c.field, captions << c.caption;
        QCOMPARE(fields, QStringList({u"CardCode"_s, u"MemName"_s, u"Amount"_s, u"Other1"_s, u"Price"_s, u"EndDate"_s}));
        QCOMPARE(captions.first(), u"卡号"_s);
        QCOMPARE(grid.columns().at(2).width, 90);
        QVERIFY(grid.footerVisible());
        QCOMPARE(grid.view()->objectName(), u"DBGridEh1_view"_s);
        const int amount = ds->fieldIndex(u"Amount"_s);
        QCOMPARE(grid.view()->model()->headerData(amount, Qt::Horizontal).toString(), u"金额"_s);

        // Selection and current row follow each other.
        grid.view()->selectRow(2);
        QCOMPARE(ds->currentRow(), 2);
        ds->moveTo(1);
        QCOMPARE(grid.view()->currentIndex().row(), 1);
        QCOMPARE(grid.selectedRows(), QList<int>{1});
    }

    void ellipsisButtonEmits()
    {
        QVERIFY(tdb.exec(u"update T_FieldShow set ShowButton=1 where TableName=? and Field='MemName'"_s,
                         {QString::fromLatin1(Config)}));
        DataGrid grid;
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        grid.resize(800, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy spy(&grid, &DataGrid::ellipsisClicked);
        QTableView *v = grid.view();
        const QRect cell = v->visualRect(v->model()->index(1, ds->fieldIndex(u"MemName"_s)));
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 5, cell.center().y()));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().at(0).toString().toLower(), u"memname"_s);
        QCOMPARE(spy.first().at(1).toInt(), 1);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 5, cell.center().y()));
        QCOMPARE(spy.size(), 1); // the text part of the cell only selects
    }

    void missingFieldStopsBuild()
    {
        addColumn(u"NoSuchField"_s, u"无"_s, 1, 6);
        ScriptedPrompt sp;
        DataGrid grid;
        QVERIFY(!BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        QCOMPARE(sp.messages.size(), 1);
        QCOMPARE(grid.columns().size(), 6); // the columns before the missing one stay
    }

    void numberFormats_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("price 2") << 2 << 0 << u"Price"_s << u"1234.50"_s;
        QTest::newRow("price 0") << 0 << 0 << u"Price"_s << u"1235"_s;
        QTest::newRow("price 3") << 3 << 1 << u"Price"_s << u"2.250"_s;
        QTest::newRow("amount 2") << 2 << 2 << u"Amount"_s << u"1000000.70"_s;
        QTest::newRow("amount 0") << 0 << 2 << u"Amount"_s << u"1000001"_s;
        QTest::newRow("text untouched") << 0 << 0 << u"CardCode"_s << u"000123"_s;
        QTest::newRow("date") << 2 << 0 << u"EndDate"_s << u"2026-01-05"_s;
        QTest::newRow("day zero is empty") << 2 << 1 << u"EndDate"_s << QString();
    }

    void numberFormats()
    {
        QFETCH(int, decimals);
        QFETCH(int, row);
        QFETCH(QString, field);
        QFETCH(QString, shown);
        Session::instance().PriceDecimals = decimals;
        Session::instance().AmountDecimals = decimals;
        DataGrid grid;
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        QCOMPARE(grid.displayText(row, field), shown);
        const QModelIndex idx = grid.view()->model()->index(row, ds->fieldIndex(field));
        QCOMPARE(idx.data().toString(), shown);
    }

    void footerSumsAreExact()
    {
        DataGrid grid;
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        QCOMPARE(grid.footerText(u"Amount"_s), u"1000001.00"_s);
        QCOMPARE(grid.footerText(u"MemName"_s), QString());
        ds->moveTo(0);
        QVERIFY(ds->edit());
        ds->setValue(u"Amount"_s, tdb.db().money(Money::fromString(u"0.15"_s)));
        QVERIFY(ds->post());
        QCOMPARE(grid.footerText(u"Amount"_s), u"1000001.05"_s);
    }

    void sortText_data()
    {
        QTest::addColumn<QStringList>("clicks"); // "+" prefix = Ctrl held
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("order");   // IDs after the sort
        QTest::newRow("one column") << QStringList{u"MemName"_s} << u"  MemName"_s << QList<int>{2, 3, 1};
        QTest::newRow("reversed") << QStringList{u"MemName"_s, u"MemName"_s} << u"  MemName DESC "_s
                                  << QList<int>{1, 3, 2};
        QTest::newRow("digit in name") << QStringList{u"Other1"_s} << u"  Other1"_s << QList<int>{3, 1, 2};
        QTest::newRow("code desc then name")
            << QStringList{u"CardCode"_s, u"CardCode"_s, u"+MemName"_s} << u"  CardCode DESC , MemName"_s
            << QList<int>{2, 3, 1};
        QTest::newRow("plain click replaces") << QStringList{u"CardCode"_s, u"+MemName"_s, u"Other1"_s}
                                              << u"  Other1"_s << QList<int>{3, 1, 2};
        QTest::newRow("ctrl click reverses in place")
            << QStringList{u"CardCode"_s, u"+Other1"_s, u"+Other1"_s} << u"  CardCode, Other1 DESC "_s
            << QList<int>{1, 3, 2};
    }

    void sortText()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, text);
        QFETCH(QList<int>, order);
        DataGrid grid;
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        QObject::connect(&grid, &DataGrid::sortMarkingChanged, &grid, [&] { ApplyGridSort(&grid, ds.get()); });
        for (const QString &c : clicks) {
            const bool ctrl = c.startsWith(u'+');
            const QString name = ds->field(ds->fieldIndex(ctrl ? c.mid(1) : c)).name; // as the query names it
            grid.clickTitle(name, ctrl);
        }
        QCOMPARE(GridSortText(&grid).toLower(), text.toLower());
        QList<int> ids;
        for (int r = 0; r < ds->rowCount(); ++r)
            ids << ds->value(r, u"ID"_s).toInt();
        QCOMPARE(ids, order);
    }

    void headerClickMarks()
    {
        DataGrid grid;
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        grid.resize(800, 300);
        grid.show();
        QSignalSpy spy(&grid, &DataGrid::sortMarkingChanged);
        QHeaderView *h = grid.view()->horizontalHeader();
        const int logical = ds->fieldIndex(u"MemName"_s);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(logical) + 10, h->height() / 2));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(grid.sortMarkers().size(), 1);
        QCOMPARE(grid.sortMarkers().first().second, Qt::AscendingOrder);
    }

    void saveLayoutAfterMove()
    {
        DataGrid grid;
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        QHeaderView *h = grid.view()->horizontalHeader();
        // The operator drags "金额" to the front and widens "姓名".
        const int amount = ds->fieldIndex(u"Amount"_s);
        h->moveSection(h->visualIndex(amount), 0);
        h->resizeSection(ds->fieldIndex(u"MemName"_s), 150);
        ScriptedPrompt sp;
        QVERIFY(SaveGridLayout(&grid, QString::fromLatin1(Config), 1));
        QVERIFY(sp.hasText(u"表格列属性已成功保存!"_s));
        QCOMPARE(sp.last().icon, Prompt::Icon::Question);
        auto pos = [&](const char *f) {
            return tdb.scalar(u"select ShowID from T_FieldShow where TableName=? and Field=?"_s,
                              {QString::fromLatin1(Config), QString::fromLatin1(f)}).toInt();
        };
        QCOMPARE(pos("Amount"), 0);
        QCOMPARE(pos("CardCode"), 1);
        QCOMPARE(pos("MemName"), 2);
        QCOMPARE(pos("EndDate"), 5);
        QCOMPARE(tdb.scalar(u"select Width from T_FieldShow where TableName=? and Field='MemName'"_s,
                            {QString::fromLatin1(Config)}).toInt(), 150);
        // A rebuild shows the saved order.
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        QCOMPARE(grid.columns().first().field, u"Amount"_s);

        // A sort keeps the operator's order (the model is reset underneath).
        grid.clickTitle(ds->field(ds->fieldIndex(u"MemName"_s)).name, false);
        ApplyGridSort(&grid, ds.get());
        QCOMPARE(grid.columns().first().field, u"Amount"_s);
        QCOMPARE(grid.columns().at(2).width, 150);

        // Nothing to save, nothing said.
        sp.clear();
        DataGrid empty;
        QVERIFY(SaveGridLayout(&empty, QString::fromLatin1(Config), 1));
        QVERIFY(sp.messages.isEmpty());
    }

    void exportFileName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("bare") << u" a "_s << u"a.xlsx"_s;
        QTest::newRow("xls") << u"a.xls"_s << u"a.xlsx"_s;
        QTest::newRow("XLS") << u"a.XLS"_s << u"a.xlsx"_s;
        QTest::newRow("xlsx") << u"a.xlsx"_s << u"a.xlsx"_s;
        QTest::newRow("cancelled") << QString() << QString();
    }

    void exportFileName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QCOMPARE(ExportFileName(typed), written);
    }

    void exportReadBack()
    {
        DataGrid grid;
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        ScriptedPrompt sp;
        const QString file = tdb.home() + u"/members.XLS"_s;
        sp.chooseFile(file);
        sp.answer(QMessageBox::Cancel);
        QVERIFY(ExportGridToExcel(ds.get(), &grid));
        const QString written = tdb.home() + u"/members.xlsx"_s;
        QVERIFY(QFile::exists(written));
        QVERIFY(sp.hasText(u"文件"_s + written + u"已建立，是否打开文件？"_s));
        QCOMPARE(sp.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);

        const QString strings = QString::fromUtf8(zipMember(written, u"xl/sharedStrings.xml"_s));
        const QString sheet = QString::fromUtf8(zipMember(written, u"xl/worksheets/sheet1.xml"_s));
        QVERIFY2(strings.contains(u"<t>卡号</t>"_s) && strings.contains(u"<t>金额</t>"_s), qPrintable(strings));
        QVERIFY(strings.contains(u"<t>000123</t>"_s)); // a code stays text
        // A1 header, A2 the code as a shared string, E2 (Price) a number, C5 the footer sum.
        QVERIFY2(sheet.contains(u"<c r=\"A2\" t=\"s\""_s), qPrintable(sheet));
        QVERIFY(sheet.contains(QRegularExpression(u"<c r=\"E2\"[^>]*><v>1234.5</v>"_s)));
        QVERIFY(sheet.contains(QRegularExpression(u"<c r=\"C5\"[^>]*><v>1000001</v>"_s)));
        QVERIFY(!sheet.contains(u"r=\"A5\""_s));
        // The date is a number with a date style; day zero stays empty.
        QVERIFY(sheet.contains(QRegularExpression(u"<c r=\"F2\" s=\"\\d+\"><v>46027</v>"_s)));
        QVERIFY(!sheet.contains(u"r=\"F3\""_s));
    }

    void exportRefusals()
    {
        DataGrid grid;
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        ScriptedPrompt sp;
        QVERIFY(!ExportGridToExcel(ds.get(), &grid)); // file dialog cancelled
        QVERIFY(sp.messages.isEmpty());
        QVERIFY(ds->open(u"select * from G_Test where ID < 0"_s));
        QVERIFY(!ExportGridToExcel(ds.get(), &grid));
        QVERIFY(sp.hasText(u"没有数据,不能导出成Excel文件!"_s));
        ds->close();
        QVERIFY(!ExportGridToExcel(ds.get(), &grid));
        QVERIFY(sp.hasText(u"数据没有显示不能导出成Excel文件!"_s));
    }

    void fieldChooserMovesAndSaves()
    {
        ScriptedPrompt sp;
        TFrm_FieldShow dlg;
        dlg.ConfigTableName = QString::fromLatin1(Config);
        dlg.show();
        auto *src = dlg.findChild<QListWidget *>(u"SrcList"_s);
        auto *dst = dlg.findChild<QListWidget *>(u"DstList"_s);
        auto *right = dlg.findChild<QPushButton *>(u"SP_right"_s);
        auto *left = dlg.findChild<QPushButton *>(u"SP_left"_s);
        auto *allLeft = dlg.findChild<QPushButton *>(u"SP_allleft"_s);
        auto *allRight = dlg.findChild<QPushButton *>(u"SP_allright"_s);
        QVERIFY(src && dst && right && left && allLeft && allRight);
        QCOMPARE(dlg.windowTitle(), u"选择显示的字段"_s);
        QCOMPARE(src->count(), 1);
        QCOMPARE(dst->count(), 6);

        src->setCurrentRow(0);
        right->click();
        QCOMPARE(src->count(), 0);
        QVERIFY(!right->isEnabled() && !allRight->isEnabled());
        QCOMPARE(dst->item(6)->text(), u"编号"_s);

        dst->setCurrentItem(dst->findItems(u"姓名"_s, Qt::MatchExactly).first());
        left->click();
        QCOMPARE(src->count(), 1);
        QCOMPARE(dst->currentRow(), 0); // the first item of the list moved from is selected

        dlg.findChild<QPushButton *>(u"Btn_ok"_s)->click();
        dlg.findChild<QPushButton *>(u"Btn_ok"_s)->click();
        QCOMPARE(sp.texts(), QStringList({u"修改完成！"_s, u"修改完成！"_s}));
        auto shown = [&](const char *f) {
            return tdb.scalar(u"select Show from T_FieldShow where TableName=? and Field=?"_s,
                              {QString::fromLatin1(Config), QString::fromLatin1(f)}).toInt();
        };
        QCOMPARE(shown("MemName"), 0);
        QCOMPARE(shown("ID"), 1);
        QCOMPARE(shown("CardCode"), 1);

        allLeft->click();
        QCOMPARE(dst->count(), 0);
        QVERIFY(!left->isEnabled() && !allLeft->isEnabled() && right->isEnabled());
        dlg.Btn_okClick();
        QCOMPARE(tdb.scalar(u"select count(*) from T_FieldShow where TableName=? and Show=1"_s,
                            {QString::fromLatin1(Config)}).toInt(), 0);
    }

    // Not a check: a picture of a grid for people to look at (set ORVALIS_SHOT_DIR).
    void screenshot()
    {
        const QString dir = qEnvironmentVariable("ORVALIS_SHOT_DIR");
        if (dir.isEmpty())
            QSKIP("ORVALIS_SHOT_DIR not set");
        DataGrid grid;
        grid.setObjectName(u"DBGridEh1"_s);
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        grid.setMultiSelect(true);
        grid.setRowColor([this](int row) { return fmt::isExpired(ds->value(row, u"EndDate"_s)) ? QColor(Qt::red) : QColor(); });
        grid.clickTitle(ds->field(ds->fieldIndex(u"CardCode"_s)).name, false);
        grid.clickTitle(ds->field(ds->fieldIndex(u"CardCode"_s)).name, false);
        grid.clickTitle(ds->field(ds->fieldIndex(u"MemName"_s)).name, true);
        ApplyGridSort(&grid, ds.get());
        QTableView *v = grid.view();
        QVERIFY(tdb.exec(u"update T_FieldShow set ShowButton=1 where TableName=? and Field='MemName'"_s, {QString::fromLatin1(Config)}));
        QVERIFY(BuildGridColumns(&grid, ds.get(), QString::fromLatin1(Config)));
        v->selectRow(1);
        grid.resize(700, 220);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QDir().mkpath(dir);
        QVERIFY(grid.grab().save(dir + u"/grid.png"_s));
    }

    void captionEditorSaves()
    {
        ScriptedPrompt sp;
        TFrm_FieldCaption dlg;
        dlg.ConfigTableName = QString::fromLatin1(Config);
        dlg.show();
        DataGrid *grid = dlg.findChild<DataGrid *>(u"DBGridEh1"_s);
        QVERIFY(grid);
        // The caption editor lays itself out from its own shipped configuration.
        QCOMPARE(grid->columns().size(),
                 tdb.scalar(u"select count(*) from T_FieldShow where TableName='FieldCaption' and Show=1"_s).toInt());
        QVERIFY(grid->columns().size() > 1);
        DataSet *q = grid->dataSet();
        QCOMPARE(q->rowCount(), 7);
        const int row = q->find(u"Field"_s, u"MemName"_s);
        QVERIFY(row >= 0);
        QAbstractItemModel *m = grid->view()->model();
        QVERIFY(m->setData(m->index(row, q->fieldIndex(u"Name"_s)), u"会员姓名"_s));
        dlg.findChild<QPushButton *>(u"BitBtn1"_s)->click();
        QVERIFY2(sp.messages.isEmpty(), qPrintable(sp.texts().join(u'|')));
        QCOMPARE(tdb.scalar(u"select Name from T_FieldShow where TableName=? and Field='MemName'"_s,
                            {QString::fromLatin1(Config)}).toString(), u"会员姓名"_s);
    }
};

QTEST_MAIN(tst_DataGrid)
#include "tst_datagrid.moc"
