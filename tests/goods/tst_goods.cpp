#include "TestDb.h"
#include "app/Actions.h"
#include "app/Session.h"
#include "app/WindowHost.h"
#include "goods/GoodsActions.h"
#include "goods/GoodsRules.h"
#include "goods/U_Addgoods.h"
#include "goods/U_Goods.h"
#include "grid/CategoryTree.h"
#include "grid/DataGrid.h"
#include "grid/GridOps.h"
#include "grid/U_tree.h"
#include "report/Report.h"
#include "report/ReportPreview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>

using namespace Qt::StringLiterals;

// The goods catalogue and the goods editor, driven through their controls and the
// main window's goods commands on a real database.
class TestGoods : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(db); } // the shipped schema lives in the static data library
    void init();
    void cleanup();

    void categoryFilter_data();
    void categoryFilter();
    void searchEmptyKeyListsEveryRow();
    void searchContainsTrimmedKey_data();
    void searchContainsTrimmedKey();
    void deleteOnEmptyList();
    void deleteSingle_data();
    void deleteSingle();
    void batchDeleteGoesOnAfterAFailure();
    void windowRights_data();
    void windowRights();
    void saveAsWorkbook();
    void printListsWhatTheCatalogueShows();

    void autoCodeProposedAndAdvanced();
    void exitKeepsEditedProposal();
    void codeWithoutCounterProposesNothing();
    void tickingAutoWritesSetting();
    void categoryPickedInEditor();
    void refusals_data();
    void refusals();
    void codeChangeCarriedToBillLines();
    void failedCarryKeepsOldCode();
    void editWithoutCodeChangeLeavesBillLines();

    void screenshot();

private:
    struct ModalRun
    {
        bool seen = false;
        bool stayedOpen = false;
    };
    // Runs `open` (which shows the editor modally) and acts on the editor once it is up.
    ModalRun withEditor(const std::function<void()> &open, const std::function<void(TFrm_Addgoods *)> &act);
    std::unique_ptr<TFrm_Goods> openGoods();
    void refuse(const QString &name, const QString &op, const QString &table, const QString &condition);
    int rowOf(const QString &code) const;
    QStringList shownCodes() const;
    QVariant goodsValue(const QString &code, const QString &column);
    void selectRows(TFrm_Goods *w, const QStringList &codes);

    TestDb tdb;
    std::unique_ptr<ScriptedPrompt> sp;
    std::unique_ptr<QWidget> mainWindow;
};

// Command name and caption, as the main window registers them.
static const QList<QPair<QString, QString>> kGoodsActions = {
    {u"M_Goods"_s, u"商品资料"_s},       {u"AddGoods"_s, u"新增&A"_s},       {u"EditGoods"_s, u"编辑&E"_s},
    {u"DelGoods"_s, u"删除&D"_s},        {u"CancelGoods"_s, u"取消&C"_s},    {u"Addgoods_Add"_s, u"添加商品"_s},
    {u"Addgoods_Edit"_s, u"编辑商品"_s}, {u"Addgoods_del"_s, u"删除商品"_s}, {u"Exp_goods"_s, u"Excel"_s},
    {u"Q_goods"_s, u"打印&P"_s},         {u"Select_addgoods"_s, u"新增"_s}};

void TestGoods::init()
{
    ORVALIS_INIT_DB(tdb);
    sp = std::make_unique<ScriptedPrompt>();
    Session &s = Session::instance();
    s.reset();
    for (int i = 1; i <= Session::RightCount; ++i)
        s.setRight(i, true);
    goods::setAutoGoodsCode(false);

    // The main window's goods commands, as the main window registers them.
    mainWindow = std::make_unique<QWidget>();
    WindowHost::setMainWindow(mainWindow.get());
    Actions::clear();
    for (const auto &[name, caption] : kGoodsActions) {
        auto *a = new QAction(caption, mainWindow.get());
        a->setObjectName(name);
        Actions::add(a);
    }
    goods::installActions(mainWindow.get());

    QVERIFY(tdb.exec(u"DELETE FROM T_Goods"_s));
    QVERIFY(tdb.exec(u"DELETE FROM Goods_Category"_s));
    QVERIFY(tdb.exec(u"DELETE FROM T_CardCashDetail"_s));
    const QList<QStringList> cats = {
        {u"01"_s, u"饮料"_s}, {u"0102"_s, u"果汁"_s}, {u"010203"_s, u"鲜榨果汁"_s}, {u"02"_s, u"食品"_s}};
    for (const QStringList &c : cats)
        QVERIFY(tdb.exec(u"INSERT INTO Goods_Category (code, name) VALUES (?, ?)"_s, {c[0], c[1]}));
    struct G { const char16_t *type, *code, *name, *price, *bar; };
    const G rows[] = {
        {u"01", u"G1", u"矿泉水", u"2", u"6901"},
        {u"0102", u"G2", u"橙汁", u"5.5", u"6902"},
        {u"010203", u"G3", u"鲜榨苹果汁", u"12", u"6903"},
        {u"02", u"G4", u"面包", u"6", u"6904"},
        {u"", u"G5", u"100%纯棉毛巾", u"15", nullptr},
    };
    for (const G &g : rows)
        QVERIFY(tdb.exec(u"INSERT INTO T_Goods (GoodsType, GoodsCode, GoodsName, SalePrice, InPrice, Units, BarCode) "
                         u"VALUES (?, ?, ?, ?, ?, ?, ?)"_s,
                         {QString::fromUtf16(g.type), QString::fromUtf16(g.code), QString::fromUtf16(g.name),
                          tdb.db().money(Money::fromString(QString::fromUtf16(g.price))), tdb.db().money(Money()),
                          u"个"_s, g.bar ? QVariant(QString::fromUtf16(g.bar)) : QVariant()}));
}

void TestGoods::cleanup()
{
    sp.reset();
    Actions::clear();
    WindowHost::setMainWindow(nullptr);
    mainWindow.reset();
    tdb.tearDown();
}

TestGoods::ModalRun TestGoods::withEditor(const std::function<void()> &open,
                                          const std::function<void(TFrm_Addgoods *)> &act)
{
    ModalRun run;
    QTimer::singleShot(0, this, [&] {
        auto *d = qobject_cast<TFrm_Addgoods *>(QApplication::activeModalWidget());
        if (!d)
            return;
        run.seen = true;
        act(d);
        if (d->isVisible()) {
            run.stayedOpen = true;
            d->reject();
        }
    });
    open();
    return run;
}

std::unique_ptr<TFrm_Goods> TestGoods::openGoods()
{
    auto w = std::make_unique<TFrm_Goods>();
    w->show();
    return w;
}

// Makes the database refuse a statement, the way a constraint or another program's rule would.
void TestGoods::refuse(const QString &name, const QString &op, const QString &table, const QString &condition)
{
    if (tdb.db().isSQLite()) {
        QVERIFY(tdb.exec(u"CREATE TRIGGER "_s + name + u" BEFORE "_s + op + u" ON "_s + table + u" FOR EACH ROW WHEN "_s
                         + condition + u" BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"_s));
    } else {
        QVERIFY(tdb.exec(u"CREATE FUNCTION "_s + name + u"() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF "_s
                         + condition + u" THEN RAISE EXCEPTION 'refused by the test'; END IF; "
                                       u"RETURN COALESCE(NEW, OLD); END $$"_s));
        QVERIFY(tdb.exec(u"CREATE TRIGGER "_s + name + u" BEFORE "_s + op + u" ON "_s + table
                         + u" FOR EACH ROW EXECUTE FUNCTION "_s + name + u"()"_s));
    }
}

int TestGoods::rowOf(const QString &code) const { return tdb.data()->Qry_Goods->find(u"GoodsCode"_s, code); }

QStringList TestGoods::shownCodes() const
{
    QStringList codes;
    DataSet *g = tdb.data()->Qry_Goods;
    for (int r = 0; r < g->rowCount(); ++r)
        codes << g->text(r, g->fieldIndex(u"GoodsCode"_s));
    return codes;
}

QVariant TestGoods::goodsValue(const QString &code, const QString &column)
{
    return tdb.scalar(u"select "_s + column + u" from T_Goods where GoodsCode = ?"_s, {code});
}

void TestGoods::selectRows(TFrm_Goods *w, const QStringList &codes)
{
    QTableView *view = w->grid()->view();
    QItemSelectionModel *sel = view->selectionModel();
    sel->clearSelection();
    for (const QString &c : codes) {
        const int row = rowOf(c);
        QVERIFY2(row >= 0, qPrintable(c));
        sel->select(view->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

// ---------------------------------------------------------------- catalogue

void TestGoods::categoryFilter_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("01 and below") << u"01"_s << QStringList{u"G1"_s, u"G2"_s, u"G3"_s};
    QTest::newRow("0102 and below") << u"0102"_s << QStringList{u"G2"_s, u"G3"_s};
    QTest::newRow("leaf") << u"010203"_s << QStringList{u"G3"_s};
    QTest::newRow("02") << u"02"_s << QStringList{u"G4"_s};
    QTest::newRow("root lists all by GoodsID") << QString()
                                               << QStringList{u"G1"_s, u"G2"_s, u"G3"_s, u"G4"_s, u"G5"_s};
}

void TestGoods::categoryFilter()
{
    QFETCH(QString, code);
    QFETCH(QStringList, listed);
    auto w = openGoods();
    auto *tree = w->findChild<QTreeWidget *>(u"TreeView1"_s);
    QVERIFY(tree);
    QCOMPARE(tree->topLevelItem(0)->text(0), u"商品分类"_s);
    QTreeWidgetItem *item = FindCategoryItem(tree, code);
    QVERIFY(item);
    tree->setCurrentItem(item);
    w->TreeView1DblClick();
    QCOMPARE(shownCodes(), listed);
    QCOMPARE(w->statusText(), u" 共有 "_s + QString::number(listed.size()) + u" 条记录"_s);
}

void TestGoods::searchEmptyKeyListsEveryRow()
{
    auto w = openGoods();
    QCOMPARE(w->statusText(), u"当前共有 5 条记录"_s);
    // Narrow the list first, then an empty (blank) key brings every row back,
    // also the one whose searched column is empty.
    auto *tree = w->findChild<QTreeWidget *>(u"TreeView1"_s);
    tree->setCurrentItem(FindCategoryItem(tree, u"02"_s));
    w->TreeView1DblClick();
    QCOMPARE(shownCodes().size(), 1);
    auto *combo = w->findChild<QComboBox *>(u"Combo_Field"_s);
    const QString barCaption = tdb.scalar(u"select name from T_FieldShow where tablename = 'goods' and Field = ?"_s,
                                          {u"BarCode"_s}).toString();
    if (!barCaption.isEmpty())
        combo->setCurrentText(barCaption);
    w->findChild<QLineEdit *>(u"Edit_key"_s)->setText(u"   "_s);
    w->Btn_OKClick();
    QStringList codes = shownCodes();
    codes.sort();
    QCOMPARE(codes, (QStringList{u"G1"_s, u"G2"_s, u"G3"_s, u"G4"_s, u"G5"_s}));
    QCOMPARE(w->statusText(), u" 共有 5 条记录"_s);
    QVERIFY(w->findChild<QPushButton *>(u"Btn_OK"_s)->isEnabled());
    QVERIFY(sp->messages.isEmpty());
}

void TestGoods::searchContainsTrimmedKey_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("name, trimmed, anywhere") << u"GoodsName"_s << u" 果汁 "_s << QStringList{u"G3"_s};
    QTest::newRow("code, any case") << u"GoodsCode"_s << u"g4"_s << QStringList{u"G4"_s};
    QTest::newRow("percent is plain data") << u"GoodsName"_s << u"100%"_s << QStringList{u"G5"_s};
    QTest::newRow("lone percent") << u"GoodsName"_s << u"%"_s << QStringList{u"G5"_s};
    QTest::newRow("quote is plain data") << u"GoodsName"_s << u"x' or '1'='1"_s << QStringList{};
    QTest::newRow("underscore is plain data") << u"BarCode"_s << u"69_1"_s << QStringList{};
}

void TestGoods::searchContainsTrimmedKey()
{
    QFETCH(QString, field);
    QFETCH(QString, key);
    QFETCH(QStringList, listed);
    const QString caption = tdb.scalar(u"select name from T_FieldShow where tablename = 'goods' and Field = ?"_s,
                                       {field}).toString();
    if (caption.isEmpty())
        QSKIP("the shipped goods grid configuration has no such column");
    auto w = openGoods();
    w->findChild<QComboBox *>(u"Combo_Field"_s)->setCurrentText(caption);
    auto *edit = w->findChild<QLineEdit *>(u"Edit_key"_s);
    edit->setText(key);
    // Enter in the key box searches.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QStringList codes = shownCodes();
    codes.sort();
    QCOMPARE(codes, listed);
    QVERIFY2(sp->messages.isEmpty(), qPrintable(sp->texts().join(u'|')));
}

void TestGoods::deleteOnEmptyList()
{
    auto w = openGoods();
    QVERIFY(tdb.data()->OpenSQL(tdb.data()->Qry_Goods, u"select * from T_Goods where GoodsCode = ?"_s,
                                SqlArgs{u"none"_s}));
    QVERIFY(Actions::trigger(u"DelGoods"_s));
    QCOMPARE(sp->texts(), QStringList{u"没有删除的记录！"_s});
    // Not reloaded.
    QCOMPARE(tdb.data()->Qry_Goods->rowCount(), 0);
}

void TestGoods::deleteSingle_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("yes");
    QTest::newRow("DelGoods yes") << u"DelGoods"_s << true;
    QTest::newRow("Addgoods_del yes") << u"Addgoods_del"_s << true;
    QTest::newRow("no") << u"DelGoods"_s << false;
}

void TestGoods::deleteSingle()
{
    QFETCH(QString, action);
    QFETCH(bool, yes);
    auto w = openGoods();
    DataSet *g = tdb.data()->Qry_Goods;
    QVERIFY(g->moveTo(rowOf(u"G2"_s)));
    selectRows(w.get(), {u"G2"_s});
    sp->answer(yes ? QMessageBox::Yes : QMessageBox::No);
    QVERIFY(Actions::trigger(action));
    QCOMPARE(sp->messages.size(), 1);
    QCOMPARE(sp->messages[0].text, u"确定要删除这条商品记录吗！"_s);
    QCOMPARE(sp->messages[0].caption, u"警告"_s);
    QCOMPARE(sp->messages[0].icon, Prompt::Icon::Information);
    QCOMPARE(tdb.scalar(u"select count(*) from T_Goods where GoodsCode = 'G2'"_s).toInt(), yes ? 0 : 1);
    QCOMPARE(tdb.scalar(u"select count(*) from T_Goods"_s).toInt(), yes ? 4 : 5);
    // Reloaded in code order either way.
    QCOMPARE(w->statusText(), u"当前共有 "_s + QString::number(yes ? 4 : 5) + u" 条记录"_s);
}

void TestGoods::batchDeleteGoesOnAfterAFailure()
{
    refuse(u"refuse_g2_delete"_s, u"DELETE"_s, u"T_Goods"_s, u"OLD.GoodsCode = 'G2'"_s);
    auto w = openGoods();
    selectRows(w.get(), {u"G1"_s, u"G2"_s, u"G3"_s});
    QCOMPARE(w->grid()->selectedRows().size(), 3);
    QVERIFY(Actions::trigger(u"DelGoods"_s));
    QCOMPARE(sp->texts(), (QStringList{u"确定要删除这批商品记录吗！"_s, u"批量删除商品记录失败,请与软件开发商联系!"_s}));
    QStringList left = tdb.data()->Qry_Goods->isOpen() ? shownCodes() : QStringList();
    QCOMPARE(left, (QStringList{u"G2"_s, u"G4"_s, u"G5"_s}));
    QCOMPARE(tdb.scalar(u"select count(*) from T_Goods"_s).toInt(), 3);
    QCOMPARE(tdb.scalar(u"select count(*) from T_Goods where GoodsCode in ('G1', 'G3')"_s).toInt(), 0);
    QVERIFY(!tdb.db().inTransaction());
}

void TestGoods::windowRights_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("control");
    QTest::newRow("12 query") << 12 << u"Btn_OK"_s;
    QTest::newRow("14 batch category") << 14 << u"N6"_s;
    QTest::newRow("15 export") << 15 << u"N11"_s;
    QTest::newRow("62 field chooser") << 62 << u"N8_goods"_s;
    QTest::newRow("63 categories") << 63 << u"N2"_s;
}

void TestGoods::windowRights()
{
    QFETCH(int, right);
    QFETCH(QString, control);
    auto enabled = [&](TFrm_Goods *w) {
        if (auto *b = w->findChild<QPushButton *>(control))
            return b->isEnabled();
        if (auto *m = w->findChild<QMenu *>(control))
            return m->menuAction()->isEnabled();
        auto *a = w->findChild<QAction *>(control);
        return a && a->isEnabled();
    };
    {
        auto w = openGoods();
        QVERIFY(enabled(w.get()));
    }
    Session::instance().setRight(right, false);
    auto w = openGoods();
    QVERIFY(!enabled(w.get()));
}

void TestGoods::saveAsWorkbook()
{
    auto w = openGoods();
    const QString typed = QDir(tdb.home()).filePath(u"商品"_s);
    sp->chooseFile(typed);
    w->Excel2Click();
    QVERIFY2(sp->messages.isEmpty(), qPrintable(sp->texts().join(u'|')));
    QFile f(ExportFileName(typed));
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    QCOMPARE(f.read(2), QByteArray("PK")); // a real workbook (a zip package)

    // An empty list asks for no file.
    sp->clear();
    QVERIFY(tdb.data()->OpenSQL(tdb.data()->Qry_Goods, u"select * from T_Goods where GoodsCode = ?"_s,
                                SqlArgs{u"none"_s}));
    w->Excel2Click();
    QCOMPARE(sp->texts(), QStringList{u"当前没有记录"_s});
    QVERIFY(sp->fileCaptions.isEmpty());
}

void TestGoods::printListsWhatTheCatalogueShows()
{
    Report *report = tdb.data()->report(u"frx_goods"_s);
    QVERIFY(report);
    QVERIFY(report->loadFromFile(TestDb::resourcesDir() + u"/Reports/frx_goods.fr3"_s));
    auto w = openGoods();
    auto *tree = w->findChild<QTreeWidget *>(u"TreeView1"_s);
    tree->setCurrentItem(FindCategoryItem(tree, u"0102"_s));
    w->TreeView1DblClick();

    QStringList printed;
    ReportPreview::setTestHook([&](ReportPreview *p) {
        for (const LayoutPage &page : p->pages())
            for (const LayoutItem &item : page.items)
                if (item.kind == LayoutItem::Text)
                    printed << item.text;
    });
    const bool ran = Actions::trigger(u"Q_goods"_s);
    ReportPreview::setTestHook({});
    QVERIFY(ran);
    QVERIFY2(printed.contains(u"橙汁"_s), qPrintable(printed.join(u'|')));
    QVERIFY(printed.contains(u"鲜榨苹果汁"_s));
    QVERIFY(!printed.contains(u"矿泉水"_s));
}

// ---------------------------------------------------------------- editor

void TestGoods::autoCodeProposedAndAdvanced()
{
    QVERIFY(tdb.exec(u"update T_SoftInfo set autogoodscode = 1"_s));
    tdb.data()->Ini.writeString(u"Other"_s, u"goodsCode"_s, u"SP0041"_s);
    auto w = openGoods();
    const ModalRun run = withEditor([] { Actions::trigger(u"AddGoods"_s); }, [](TFrm_Addgoods *d) {
        QCOMPARE(d->windowTitle(), u"新增商品信息"_s);
        QVERIFY(d->findChild<QCheckBox *>(u"cb_Auto"_s)->isChecked());
        QCOMPARE(d->findChild<QLineEdit *>(u"Edit_Code"_s)->text(), u"SP0041"_s);
        QVERIFY(!d->findChild<QWidget *>(u"DBNavigator1"_s)->isVisible());
        QCOMPARE(d->findChild<QLineEdit *>(u"Edit_SalePrice"_s)->text(), u"0"_s);
        d->findChild<QLineEdit *>(u"Edit_Name"_s)->setText(u" 柠檬茶 "_s);
        d->findChild<QLineEdit *>(u"Edit_SalePrice"_s)->setText(u"4.5"_s);
        QTest::mouseClick(d->findChild<QPushButton *>(u"Btn_OK"_s), Qt::LeftButton);
    });
    QVERIFY(run.seen);
    QVERIFY(!run.stayedOpen);
    QVERIFY2(sp->messages.isEmpty(), qPrintable(sp->texts().join(u'|')));
    QCOMPARE(goodsValue(u"SP0041"_s, u"GoodsName"_s).toString(), u"柠檬茶"_s);
    QCOMPARE(Money::fromVariant(goodsValue(u"SP0041"_s, u"SalePrice"_s)), Money::fromString(u"4.5"_s));
    QCOMPARE(tdb.data()->Ini.readString(u"Other"_s, u"goodsCode"_s), u"SP0042"_s);
    // The catalogue shows the shared query, so the new item is there at once.
    QVERIFY(rowOf(u"SP0041"_s) >= 0);

    // The next editor proposes the advanced code.
    const ModalRun again = withEditor([] { Actions::trigger(u"Addgoods_Add"_s); }, [](TFrm_Addgoods *d) {
        QCOMPARE(d->findChild<QLineEdit *>(u"Edit_Code"_s)->text(), u"SP0042"_s);
        d->reject();
    });
    QVERIFY(again.seen);
}

void TestGoods::exitKeepsEditedProposal()
{
    QVERIFY(tdb.exec(u"update T_SoftInfo set autogoodscode = 1"_s));
    tdb.data()->Ini.writeString(u"Other"_s, u"goodsCode"_s, u"SP0041"_s);
    const ModalRun run = withEditor([] { goods::openGoodsEditor(1); }, [](TFrm_Addgoods *d) {
        d->findChild<QLineEdit *>(u"Edit_Code"_s)->setText(u"TEA0100"_s);
        QTest::mouseClick(d->findChild<QPushButton *>(u"Btn_Exit"_s), Qt::LeftButton);
    });
    QVERIFY(run.seen && !run.stayedOpen);
    QCOMPARE(tdb.data()->Ini.readString(u"Other"_s, u"goodsCode"_s), u"TEA0100"_s);
    QCOMPARE(tdb.scalar(u"select count(*) from T_Goods"_s).toInt(), 5);
}

void TestGoods::codeWithoutCounterProposesNothing()
{
    QVERIFY(tdb.exec(u"update T_SoftInfo set autogoodscode = 1"_s));
    tdb.data()->Ini.writeString(u"Other"_s, u"goodsCode"_s, u"TEA-X"_s);
    const ModalRun run = withEditor([] { goods::openGoodsEditor(1); }, [](TFrm_Addgoods *d) {
        d->findChild<QLineEdit *>(u"Edit_Name"_s)->setText(u"散茶"_s);
        QTest::mouseClick(d->findChild<QPushButton *>(u"Btn_OK"_s), Qt::LeftButton);
    });
    QVERIFY(run.seen && !run.stayedOpen);
    QVERIFY(sp->messages.isEmpty());
    QCOMPARE(goodsValue(u"TEA-X"_s, u"GoodsName"_s).toString(), u"散茶"_s);
    QCOMPARE(tdb.data()->Ini.readString(u"Other"_s, u"goodsCode"_s), QString());
}

void TestGoods::tickingAutoWritesSetting()
{
    QVERIFY(tdb.exec(u"update T_SoftInfo set autogoodscode = 0"_s));
    tdb.data()->Ini.writeString(u"Other"_s, u"goodsCode"_s, u"SP0007"_s);
    const ModalRun run = withEditor([] { goods::openGoodsEditor(1); }, [this](TFrm_Addgoods *d) {
        auto *box = d->findChild<QCheckBox *>(u"cb_Auto"_s);
        auto *code = d->findChild<QLineEdit *>(u"Edit_Code"_s);
        QVERIFY(!box->isChecked());
        QCOMPARE(code->text(), QString());
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(tdb.scalar(u"select autogoodscode from T_SoftInfo"_s).toInt(), 1);
        QVERIFY(goods::autoGoodsCode());
        QCOMPARE(code->text(), u"SP0007"_s);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(tdb.scalar(u"select autogoodscode from T_SoftInfo"_s).toInt(), 0);
        QVERIFY(!goods::autoGoodsCode());
        QCOMPARE(code->text(), QString());
        d->reject();
    });
    QVERIFY(run.seen);
}

void TestGoods::categoryPickedInEditor()
{
    QVERIFY(tdb.exec(u"update T_SoftInfo set autogoodscode = 0"_s));
    QString pickerTable;
    int pickerTarget = -1;
    const ModalRun run = withEditor([] { goods::openGoodsEditor(1); }, [&](TFrm_Addgoods *d) {
        // The category tree opens over the editor; pick 0102 there.
        QTimer::singleShot(0, this, [&] {
            auto *tree = qobject_cast<TFrm_Tree *>(QApplication::activeModalWidget());
            if (!tree)
                return;
            pickerTable = tree->TableName;
            pickerTarget = tree->PickTarget;
            auto *view = tree->findChild<QTreeWidget *>(u"TreeView1"_s);
            view->setCurrentItem(FindCategoryItem(view, u"0102"_s));
            tree->TreeView1DblClick();
            if (tree->isVisible())
                tree->reject();
        });
        QTest::mouseClick(d->findChild<QToolButton *>(u"combo_typeButton"_s), Qt::LeftButton);
        QCOMPARE(d->CategoryCode, u"0102"_s);
        QCOMPARE(d->findChild<QLineEdit *>(u"combo_type"_s)->text(), u"果汁"_s);
        d->findChild<QLineEdit *>(u"Edit_Name"_s)->setText(u"芒果汁"_s);
        d->findChild<QLineEdit *>(u"Edit_Code"_s)->setText(u"M01"_s);
        QTest::mouseClick(d->findChild<QPushButton *>(u"Btn_OK"_s), Qt::LeftButton);
    });
    QVERIFY(run.seen && !run.stayedOpen);
    QCOMPARE(pickerTable.toLower(), u"goods_category"_s);
    QCOMPARE(pickerTarget, 3);
    // The code is stored, not the name shown.
    QCOMPARE(goodsValue(u"M01"_s, u"GoodsType"_s).toString(), u"0102"_s);
    // Units: the fourth unit of the dictionary is the default, when there are four.
    const int units = tdb.scalar(u"select count(*) from Dict_Units"_s).toInt();
    if (units >= 4)
        QVERIFY(!goodsValue(u"M01"_s, u"Units"_s).toString().isEmpty());
}

void TestGoods::refusals_data()
{
    QTest::addColumn<int>("addMode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("sale");
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("message");
    const QString dup = u"商品编码有重复,请换一个名称!"_s;
    QTest::newRow("add: empty name") << 1 << u"  "_s << u"N1"_s << u"1"_s << u"0"_s << u"商品名称不能为空!"_s;
    QTest::newRow("add: duplicate") << 1 << u"新品"_s << u"G3"_s << u"1"_s << u"0"_s << dup;
    QTest::newRow("add: duplicate other case, blanks") << 1 << u"新品"_s << u" g3 "_s << u"1"_s << u"0"_s << dup;
    QTest::newRow("edit: another item's code") << 0 << u"矿泉水"_s << u"G3"_s << u"2"_s << u"0"_s << dup;
    QTest::newRow("add: sale price text") << 1 << u"新品"_s << u"N1"_s << u"三元"_s << u"0"_s
                                          << u"销售单价必须是数字!"_s;
    QTest::newRow("edit: in price text") << 0 << u"矿泉水"_s << u"G1"_s << u"2"_s << u"1..5"_s
                                         << u"进货单价必须是数字!"_s;
    QTest::newRow("add: empty price") << 1 << u"新品"_s << u"N1"_s << QString() << u"0"_s << u"销售单价必须是数字!"_s;
}

void TestGoods::refusals()
{
    QFETCH(int, addMode);
    QFETCH(QString, name);
    QFETCH(QString, code);
    QFETCH(QString, sale);
    QFETCH(QString, in);
    QFETCH(QString, message);
    auto w = openGoods();
    QVERIFY(tdb.data()->Qry_Goods->moveTo(rowOf(u"G1"_s)));
    const ModalRun run = withEditor([&] { Actions::trigger(addMode ? u"AddGoods"_s : u"EditGoods"_s); },
                                    [&](TFrm_Addgoods *d) {
        d->findChild<QLineEdit *>(u"Edit_Name"_s)->setText(name);
        d->findChild<QLineEdit *>(u"Edit_Code"_s)->setText(code);
        d->findChild<QLineEdit *>(u"Edit_SalePrice"_s)->setText(sale);
        d->findChild<QLineEdit *>(u"Edit_InPrice"_s)->setText(in);
        QTest::mouseClick(d->findChild<QPushButton *>(u"Btn_OK"_s), Qt::LeftButton);
    });
    QVERIFY(run.seen);
    QVERIFY(run.stayedOpen);
    QCOMPARE(sp->texts(), QStringList{message});
    // Nothing written.
    QCOMPARE(tdb.scalar(u"select count(*) from T_Goods"_s).toInt(), 5);
    QCOMPARE(goodsValue(u"G1"_s, u"GoodsName"_s).toString(), u"矿泉水"_s);
    QCOMPARE(Money::fromVariant(goodsValue(u"G1"_s, u"InPrice"_s)), Money());
    QCOMPARE(tdb.scalar(u"select count(*) from T_Goods where GoodsCode = 'G3'"_s).toInt(), 1);
}

void TestGoods::codeChangeCarriedToBillLines()
{
    for (const QString &c : {u"G1"_s, u"G1"_s, u"G4"_s})
        QVERIFY(tdb.exec(u"INSERT INTO T_CardCashDetail (GoodsCode, GoodsName, BillCode) VALUES (?, ?, ?)"_s,
                         {c, u"x"_s, u"XF-2026-01-01-0001"_s}));
    auto w = openGoods();
    QVERIFY(tdb.data()->Qry_Goods->moveTo(rowOf(u"G1"_s)));
    const ModalRun run = withEditor([] { Actions::trigger(u"EditGoods"_s); }, [](TFrm_Addgoods *d) {
        QCOMPARE(d->windowTitle(), u"编辑商品信息"_s);
        QCOMPARE(d->OldCode, u"G1"_s);
        QCOMPARE(d->findChild<QLineEdit *>(u"combo_type"_s)->text(), u"饮料"_s);
        QCOMPARE(d->findChild<QLineEdit *>(u"Edit_SalePrice"_s)->text(), u"2"_s);
        d->findChild<QLineEdit *>(u"Edit_Code"_s)->setText(u" W01 "_s);
        QTest::mouseClick(d->findChild<QPushButton *>(u"Btn_OK"_s), Qt::LeftButton);
    });
    QVERIFY(run.seen && !run.stayedOpen);
    QVERIFY2(sp->messages.isEmpty(), qPrintable(sp->texts().join(u'|')));
    QCOMPARE(goodsValue(u"W01"_s, u"GoodsName"_s).toString(), u"矿泉水"_s);
    QCOMPARE(tdb.scalar(u"select count(*) from T_CardCashDetail where GoodsCode = 'W01'"_s).toInt(), 2);
    QCOMPARE(tdb.scalar(u"select count(*) from T_CardCashDetail where GoodsCode = 'G1'"_s).toInt(), 0);
    QCOMPARE(tdb.scalar(u"select count(*) from T_CardCashDetail where GoodsCode = 'G4'"_s).toInt(), 1);
    QVERIFY(rowOf(u"W01"_s) >= 0);
}

void TestGoods::failedCarryKeepsOldCode()
{
    QVERIFY(tdb.exec(u"INSERT INTO T_CardCashDetail (GoodsCode, GoodsName, BillCode) VALUES ('G1', 'x', 'b')"_s));
    refuse(u"refuse_line_update"_s, u"UPDATE"_s, u"T_CardCashDetail"_s, u"1 = 1"_s);
    auto w = openGoods();
    QVERIFY(tdb.data()->Qry_Goods->moveTo(rowOf(u"G1"_s)));
    const ModalRun run = withEditor([] { Actions::trigger(u"EditGoods"_s); }, [](TFrm_Addgoods *d) {
        d->findChild<QLineEdit *>(u"Edit_Code"_s)->setText(u"W01"_s);
        d->findChild<QLineEdit *>(u"Edit_Name"_s)->setText(u"改名"_s);
        QTest::mouseClick(d->findChild<QPushButton *>(u"Btn_OK"_s), Qt::LeftButton);
    });
    QVERIFY(run.seen && !run.stayedOpen); // closes in both outcomes
    QCOMPARE(sp->texts(), QStringList{u"保存数据失败"_s});
    // One transaction: the goods row kept its code and name along with the bill line.
    QCOMPARE(goodsValue(u"G1"_s, u"GoodsName"_s).toString(), u"矿泉水"_s);
    QCOMPARE(tdb.scalar(u"select count(*) from T_Goods where GoodsCode = 'W01'"_s).toInt(), 0);
    QCOMPARE(tdb.scalar(u"select count(*) from T_CardCashDetail where GoodsCode = 'G1'"_s).toInt(), 1);
    // And the catalogue shows what the database holds.
    QVERIFY(rowOf(u"G1"_s) >= 0);
    QVERIFY(rowOf(u"W01"_s) < 0);
    QVERIFY(!tdb.db().inTransaction());
}

void TestGoods::editWithoutCodeChangeLeavesBillLines()
{
    // Any statement on the bill lines would fail: editing without a code change runs none.
    refuse(u"refuse_line_update"_s, u"UPDATE"_s, u"T_CardCashDetail"_s, u"1 = 1"_s);
    auto w = openGoods();
    QVERIFY(tdb.data()->Qry_Goods->moveTo(rowOf(u"G2"_s)));
    const ModalRun run = withEditor([] { Actions::trigger(u"Addgoods_Edit"_s); }, [](TFrm_Addgoods *d) {
        d->findChild<QLineEdit *>(u"Edit_Name"_s)->setText(u"鲜橙汁"_s);
        d->findChild<QComboBox *>(u"Combo_Units"_s)->setCurrentText(u"瓶"_s);
        QTest::mouseClick(d->findChild<QPushButton *>(u"Btn_OK"_s), Qt::LeftButton);
    });
    QVERIFY(run.seen && !run.stayedOpen);
    QVERIFY2(sp->messages.isEmpty(), qPrintable(sp->texts().join(u'|')));
    QCOMPARE(goodsValue(u"G2"_s, u"GoodsName"_s).toString(), u"鲜橙汁"_s);
    QCOMPARE(goodsValue(u"G2"_s, u"Units"_s).toString(), u"瓶"_s);
    QCOMPARE(goodsValue(u"G2"_s, u"GoodsType"_s).toString(), u"0102"_s);
}

void TestGoods::screenshot()
{
    const QString dir = qEnvironmentVariable("GOODS_SHOT_DIR");
    if (dir.isEmpty())
        QSKIP("set GOODS_SHOT_DIR to write the screenshot");
    auto w = openGoods();
    w->resize(1000, 560);
    auto *tree = w->findChild<QTreeWidget *>(u"TreeView1"_s);
    tree->expandAll();
    QTest::qWait(200);
    QVERIFY(w->grab().save(dir + u"/goods.png"_s));
    const ModalRun run = withEditor([] { goods::openGoodsEditor(0); }, [&](TFrm_Addgoods *d) {
        QTest::qWait(100);
        d->grab().save(dir + u"/addgoods.png"_s);
        d->reject();
    });
    QVERIFY(run.seen);
}

QTEST_MAIN(TestGoods)
#include "tst_goods.moc"
