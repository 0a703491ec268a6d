#include "TestDb.h"

#include "core/IniFile.h"
#include "grid/CategoryTree.h"
#include "grid/U_tree.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// The tree as text: "caption(01-a(0101-b),02-c)".
QString shape(const QTreeWidgetItem *item)
{
    QString s = item->text(0);
    if (item->childCount() > 0) {
        QStringList kids;
        for (int i = 0; i < item->childCount(); ++i)
            kids << shape(item->child(i));
        s += u'(' + kids.join(u',') + u')';
    }
    return s;
}

QStringList codes(const QString &list)
{
    return list.isEmpty() ? QStringList() : list.split(u',');
}

} // namespace

class TestCategoryTree : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(db); } // the shipped schema lives in the static data library
    void init();
    void cleanup();

    // plain rules
    void codeLevel_data();
    void codeLevel();
    void padCode_data();
    void padCode();
    void tableNames_data();
    void tableNames();
    void fillShowsNodesUnderNearestAncestor();

    // on the database
    void proposals_data();
    void proposals();
    void loaderReadsTheTable();
    void addChildAndSibling_data();
    void addChildAndSibling();
    void saveRefusals_data();
    void saveRefusals();
    void fullParentRefusedWithoutPendingAdd();
    void renameKeepsCode();
    void renameRefusals_data();
    void renameRefusals();
    void deleteWithChildrenRefused();
    void deleteLeafRemovesOnlyThatRow();
    void deleteCancelledKeepsRow();
    void deleteUsesSelectedNodeNotStaleBox();
    void pick_data();
    void pick();
    void pickTargetZeroStaysOpen();
    void screenshot();

private:
    void fill(const QString &table, const QStringList &codeList);
    QStringList tableCodes(const QString &table);
    QString nameOf(const QString &table, const QString &code);
    std::unique_ptr<TFrm_Tree> editor(const QString &table, const QString &caption = u"会员分组"_s, int target = 0);
    template<typename T> T *child(QWidget *w, const char *name)
    {
        T *c = w->findChild<T *>(QString::fromLatin1(name));
        if (!c)
            qFatal("control %s not found", name);
        return c;
    }
    void select(TFrm_Tree *f, const QString &code);

    TestDb tdb;
    std::unique_ptr<ScriptedPrompt> sp;
};

void TestCategoryTree::init()
{
    ORVALIS_INIT_DB(tdb);
    sp = std::make_unique<ScriptedPrompt>();
    // Start every case from empty category tables, whatever the shipped rows hold.
    QVERIFY(tdb.exec(u"delete from Mem_Category"_s));
    QVERIFY(tdb.exec(u"delete from Goods_Category"_s));
}

void TestCategoryTree::cleanup()
{
    sp.reset();
    tdb.tearDown();
}

void TestCategoryTree::fill(const QString &table, const QStringList &codeList)
{
    for (const QString &c : codeList)
        QVERIFY(tdb.exec(u"insert into "_s + table + u" (code, name) values (?, ?)"_s, {c, QString(u"类"_s + c)}));
}

QStringList TestCategoryTree::tableCodes(const QString &table)
{
    QList<CategoryRow> rows;
    QString error;
    if (!ReadCategoryRows(tdb.db(), table, &rows, &error))
        qWarning() << error;
    QStringList out;
    for (const auto &r : rows)
        out << r.code;
    return out;
}

QString TestCategoryTree::nameOf(const QString &table, const QString &code)
{
    return tdb.scalar(u"select name from "_s + table + u" where code = ?"_s, {code}).toString();
}

std::unique_ptr<TFrm_Tree> TestCategoryTree::editor(const QString &table, const QString &caption, int target)
{
    auto f = std::make_unique<TFrm_Tree>();
    f->TableName = table;
    f->RootCaption = caption;
    f->PickTarget = target;
    f->FormShow();
    return f;
}

void TestCategoryTree::select(TFrm_Tree *f, const QString &code)
{
    auto *tree = child<QTreeWidget>(f, "TreeView1");
    QTreeWidgetItem *item = FindCategoryItem(tree, code);
    QVERIFY2(item, qPrintable(code));
    tree->setCurrentItem(item);
    f->TreeView1Click();
}

// ---- plain rules ----

void TestCategoryTree::codeLevel_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("level");
    QTest::newRow("level 1") << u"222222"_s << u"01"_s << 1;
    QTest::newRow("level 2") << u"222222"_s << u"0101"_s << 2;
    QTest::newRow("level 6") << u"222222"_s << u"010101010101"_s << 6;
    QTest::newRow("odd") << u"222222"_s << u"012"_s << -1;
    QTest::newRow("14 digits") << u"222222"_s << u"01010101010101"_s << -1;
    QTest::newRow("empty code") << u"222222"_s << QString() << -1;
    QTest::newRow("empty pattern") << QString() << u"01"_s << -1;
    QTest::newRow("uneven widths") << u"23"_s << u"01234"_s << 2;
}

void TestCategoryTree::codeLevel()
{
    QFETCH(QString, pattern);
    QFETCH(QString, code);
    QFETCH(int, level);
    QCOMPARE(CodeLevel(pattern, code), level);
}

void TestCategoryTree::padCode_data()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("105+1") << qint64(106) << u"0106"_s;
    QTest::newRow("9+1") << qint64(10) << u"10"_s;
    QTest::newRow("99+1") << qint64(100) << u"0100"_s;
    QTest::newRow("1") << qint64(1) << u"01"_s;
    QTest::newRow("10102") << qint64(10102) << u"010102"_s;
}

void TestCategoryTree::padCode()
{
    QFETCH(qint64, number);
    QFETCH(QString, text);
    QCOMPARE(PadCode(number), text);
}

void TestCategoryTree::tableNames_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("proper");
    QTest::newRow("member") << u"Mem_Category"_s << u"Mem_Category"_s;
    QTest::newRow("goods lower") << u"goods_Category"_s << u"Goods_Category"_s;
    QTest::newRow("goods mixed") << u"Goods_category"_s << u"Goods_Category"_s;
    QTest::newRow("other table") << u"T_Card"_s << QString();
    QTest::newRow("injection") << u"Mem_Category; delete from T_Card"_s << QString();
}

void TestCategoryTree::tableNames()
{
    QFETCH(QString, given);
    QFETCH(QString, proper);
    QCOMPARE(CategoryTableName(given), proper);
}

void TestCategoryTree::fillShowsNodesUnderNearestAncestor()
{
    // 0302's parent 03 is missing: it belongs under the root, not under 02 that
    // happens to come before it. 010201 lost 0102 and goes under 01.
    const QList<CategoryRow> rows{{u"01"_s, u"饮料"_s},     {u"0101"_s, u"果汁"_s},
                                  {u"010201"_s, u"孤儿"_s},  {u"012"_s, u"奇数"_s},
                                  {u"02"_s, u"食品"_s},     {u"0302"_s, u"无父"_s},
                                  {u"01010101010101"_s, u"太长"_s}, {u"0a"_s, u"字母"_s}};
    QTreeWidget tree;
    FillCategoryTree(&tree, rows, u"商品分类"_s);
    QCOMPARE(tree.topLevelItemCount(), 1);
    QCOMPARE(shape(tree.topLevelItem(0)), u"商品分类(01-饮料(0101-果汁,010201-孤儿),02-食品,0302-无父)"_s);
    QVERIFY(tree.topLevelItem(0)->isExpanded());
    QCOMPARE(CategoryCode(tree.topLevelItem(0)), QString());
    QCOMPARE(CategoryName(tree.topLevelItem(0)), u"商品分类"_s);
    QTreeWidgetItem *orphan = FindCategoryItem(&tree, u"010201"_s);
    QVERIFY(orphan);
    QCOMPARE(CategoryCode(orphan), u"010201"_s);
    QCOMPARE(orphan->data(0, Qt::UserRole).toString(), u"010201"_s);
    QCOMPARE(CategoryName(orphan), u"孤儿"_s);
    QCOMPARE(CategoryCode(nullptr), QString());
}

// ---- database ----

void TestCategoryTree::proposals_data()
{
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("base");
    QTest::addColumn<bool>("asChild");
    QTest::addColumn<QString>("expected"); // empty: refused
    QTest::addColumn<QString>("message");

    QStringList ninetyNine, ninetyNineKids{u"01"_s};
    for (int i = 1; i <= 99; ++i) {
        ninetyNine << QString::number(i).rightJustified(2, u'0');
        ninetyNineKids << u"01"_s + QString::number(i).rightJustified(2, u'0');
    }
    QTest::newRow("empty table") << QString() << u"0"_s << true << u"01"_s << QString();
    QTest::newRow("empty table, sibling of stale 05") << QString() << u"05"_s << false << u"01"_s << QString();
    QTest::newRow("root with 01,02") << u"01,02"_s << u"0"_s << true << u"03"_s << QString();
    QTest::newRow("blank base is the root") << u"01,02"_s << QString() << true << u"03"_s << QString();
    QTest::newRow("sibling of root") << u"01,02"_s << u"0"_s << false << u"03"_s << QString();
    QTest::newRow("child of 01 without children") << u"01,02"_s << u"01"_s << true << u"0101"_s << QString();
    QTest::newRow("child of 01 with 0101,0102") << u"01,0101,0102,02"_s << u"01"_s << true << u"0103"_s << QString();
    QTest::newRow("grandchildren do not count") << u"01,0101,010105"_s << u"01"_s << true << u"0102"_s << QString();
    QTest::newRow("sibling of 0102") << u"01,0101,0102,02,0201"_s << u"0102"_s << false << u"0103"_s << QString();
    QTest::newRow("sibling of only 0201") << u"01,0101,0102,02,0201"_s << u"0201"_s << false << u"0202"_s << QString();
    QTest::newRow("sibling of 09") << u"01,09"_s << u"09"_s << false << u"10"_s << QString();
    QTest::newRow("sibling at level 3") << u"01,0101,010101,010109"_s << u"010101"_s << false << u"010110"_s << QString();
    QTest::newRow("goods table any case") << u"01"_s << u"01"_s << true << u"0101"_s << QString();
    QTest::newRow("99 at the root") << ninetyNine.join(u',') << u"0"_s << true << QString()
                                    << u"一级分类已有99个,编码已用完,不能再新增!"_s;
    QTest::newRow("sibling of 99") << ninetyNine.join(u',') << u"99"_s << false << QString()
                                   << u"一级分类已有99个,编码已用完,不能再新增!"_s;
    QTest::newRow("99 children of 01") << ninetyNineKids.join(u',') << u"01"_s << true << QString()
                                       << u"分类01下已有99个下级分类,编码已用完,不能再新增!"_s;
    QTest::newRow("sibling of 0199") << ninetyNineKids.join(u',') << u"0199"_s << false << QString()
                                     << u"分类01下已有99个下级分类,编码已用完,不能再新增!"_s;
    QTest::newRow("below level 6") << u"01,0101,010101,01010101,0101010101,010101010101"_s << u"010101010101"_s
                                   << true << QString() << u"分类最多六级,不能再新增下级分类!"_s;
    QTest::newRow("sibling at level 6") << u"01,0101,010101,01010101,0101010101,010101010101"_s
                                        << u"010101010101"_s << false << u"010101010102"_s << QString();
}

void TestCategoryTree::proposals()
{
    QFETCH(QString, existing);
    QFETCH(QString, base);
    QFETCH(bool, asChild);
    QFETCH(QString, expected);
    QFETCH(QString, message);
    const bool goods = QByteArray(QTest::currentDataTag()).startsWith("goods");
    fill(goods ? u"Goods_Category"_s : u"Mem_Category"_s, codes(existing));
    const CodeProposal p = ProposeCode(tdb.db(), goods ? u"goods_CATEGORY"_s : u"Mem_Category"_s, base, asChild);
    QCOMPARE(p.code, expected);
    QCOMPARE(p.ok, !expected.isEmpty());
    QCOMPARE(p.message, message);
    QCOMPARE(p.firstCode, existing.isEmpty());
}

void TestCategoryTree::loaderReadsTheTable()
{
    fill(u"Goods_Category"_s, {u"02"_s, u"01"_s, u"0101"_s, u"012"_s, u"0302"_s, u"01010101010101"_s, u"010201"_s});
    QTreeWidget tree;
    LoadCategoryTree(&tree, u"goods_category"_s, u"商品分类"_s);
    QCOMPARE(shape(tree.topLevelItem(0)), u"商品分类(01-类01(0101-类0101,010201-类010201),02-类02,0302-类0302)"_s);
    // A table that is not a category table is never read; only the root shows.
    LoadCategoryTree(&tree, u"T_Card"_s, u"x"_s);
    QCOMPARE(shape(tree.topLevelItem(0)), u"x"_s);
    QVERIFY(sp->messages.isEmpty());
}

void TestCategoryTree::addChildAndSibling_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("command"); // object name of the button or menu item
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("shapeAfter");
    QTest::newRow("child via tb_add") << u"01"_s << u"tb_add"_s << u"0103"_s
                                      << u"R(01-类01(0101-类0101,0102-类0102,0103-新),02-类02(0201-类0201))"_s;
    QTest::newRow("child via N2") << u"02"_s << u"N2"_s << u"0202"_s
                                  << u"R(01-类01(0101-类0101,0102-类0102),02-类02(0201-类0201,0202-新))"_s;
    QTest::newRow("sibling via N1") << u"0102"_s << u"N1"_s << u"0103"_s
                                    << u"R(01-类01(0101-类0101,0102-类0102,0103-新),02-类02(0201-类0201))"_s;
    QTest::newRow("child of root") << QString() << u"tb_add"_s << u"03"_s
                                   << u"R(01-类01(0101-类0101,0102-类0102),02-类02(0201-类0201),03-新)"_s;
    QTest::newRow("child of a leaf") << u"0201"_s << u"N2"_s << u"020101"_s
                                     << u"R(01-类01(0101-类0101,0102-类0102),02-类02(0201-类0201(020101-新)))"_s;
}

void TestCategoryTree::addChildAndSibling()
{
    QFETCH(QString, selected);
    QFETCH(QString, command);
    QFETCH(QString, proposed);
    QFETCH(QString, shapeAfter);
    fill(u"Mem_Category"_s, {u"01"_s, u"0101"_s, u"0102"_s, u"02"_s, u"0201"_s});
    auto f = editor(u"mem_category"_s, u"R"_s);
    select(f.get(), selected);
    if (command.startsWith(u'N'))
        f->findChild<QAction *>(command)->trigger();
    else
        f->findChild<QToolButton *>(command)->click();

    auto *code = child<QLineEdit>(f.get(), "Edit_code");
    auto *name = child<QLineEdit>(f.get(), "Edit_name");
    QCOMPARE(code->text(), proposed);
    QVERIFY(code->isReadOnly());
    QVERIFY(name->isEnabled());
    QCOMPARE(name->text(), QString());
    QCOMPARE(f->AddMode, 1);
    QCOMPARE(f->AddAsChild, command != u"N1"_s);
    QCOMPARE(f->BaseCode, selected.isEmpty() ? u"0"_s : selected);
    QVERIFY(!child<QToolButton>(f.get(), "tb_add")->isEnabled());
    QVERIFY(!child<QToolButton>(f.get(), "tb_edit")->isEnabled());
    QVERIFY(!child<QToolButton>(f.get(), "tb_del")->isEnabled());
    QVERIFY(child<QToolButton>(f.get(), "TB_Save")->isEnabled());
    QVERIFY(child<QToolButton>(f.get(), "TB_Cancel")->isEnabled());

    name->setText(u" 新 "_s);
    child<QToolButton>(f.get(), "TB_Save")->click();
    QVERIFY2(sp->messages.isEmpty(), qPrintable(sp->texts().join(u'|')));
    QCOMPARE(nameOf(u"Mem_Category"_s, proposed), u"新"_s);
    QCOMPARE(shape(child<QTreeWidget>(f.get(), "TreeView1")->topLevelItem(0)), shapeAfter);
    QVERIFY(child<QToolButton>(f.get(), "tb_add")->isEnabled());
    QVERIFY(!child<QToolButton>(f.get(), "TB_Save")->isEnabled());
    QVERIFY(!child<QToolButton>(f.get(), "TB_Cancel")->isEnabled());
}

void TestCategoryTree::saveRefusals_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("duplicate") << u"0101"_s << u"编码重复!,不能保存!"_s;
    QTest::newRow("duplicate padded") << u" 01 "_s << u"编码重复!,不能保存!"_s;
    QTest::newRow("missing parent") << u"0301"_s << u"编码错误,父节点不存在!"_s;
    QTest::newRow("empty") << QString() << u"编码错误,父节点不存在!"_s;
    QTest::newRow("not a number") << u"0a"_s << u"编码必须是数字!"_s;
    QTest::newRow("quote is data") << u"01'"_s << u"编码必须是数字!"_s;
    QTest::newRow("odd length") << u"012"_s << u"编码规则出错!"_s;
    QTest::newRow("beyond six levels") << u"01010101010101"_s << u"编码规则出错!"_s;
}

void TestCategoryTree::saveRefusals()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    fill(u"Mem_Category"_s, {u"01"_s, u"0101"_s, u"02"_s});
    auto f = editor(u"Mem_Category"_s);
    select(f.get(), u"01"_s);
    child<QToolButton>(f.get(), "tb_add")->click();
    child<QLineEdit>(f.get(), "Edit_code")->setText(typed);
    child<QLineEdit>(f.get(), "Edit_name")->setText(u"x"_s);
    child<QToolButton>(f.get(), "TB_Save")->click();
    QCOMPARE(sp->texts(), QStringList{message});
    QCOMPARE(sp->last().icon, Prompt::Icon::Information);
    QCOMPARE(tableCodes(u"Mem_Category"_s), (QStringList{u"01"_s, u"0101"_s, u"02"_s}));
    QCOMPARE(nameOf(u"Mem_Category"_s, u"0101"_s), u"类0101"_s);
    // Still pending, so the operator can cancel.
    QVERIFY(child<QToolButton>(f.get(), "TB_Save")->isEnabled());
    child<QToolButton>(f.get(), "TB_Cancel")->click();
    QVERIFY(!f->AddAsChild);
    QVERIFY(child<QToolButton>(f.get(), "tb_add")->isEnabled());
    QVERIFY(!child<QToolButton>(f.get(), "TB_Save")->isEnabled());
}

void TestCategoryTree::fullParentRefusedWithoutPendingAdd()
{
    QStringList kids{u"01"_s};
    for (int i = 1; i <= 99; ++i)
        kids << u"01"_s + QString::number(i).rightJustified(2, u'0');
    fill(u"Mem_Category"_s, kids);
    auto f = editor(u"Mem_Category"_s);
    select(f.get(), u"01"_s);
    child<QToolButton>(f.get(), "tb_add")->click();
    QCOMPARE(sp->texts(), QStringList{u"分类01下已有99个下级分类,编码已用完,不能再新增!"_s});
    QCOMPARE(child<QLineEdit>(f.get(), "Edit_code")->text(), u"01"_s);
    QCOMPARE(f->AddMode, 0);
    QVERIFY(child<QToolButton>(f.get(), "tb_add")->isEnabled());
    QVERIFY(!child<QToolButton>(f.get(), "TB_Save")->isEnabled());
}

void TestCategoryTree::renameKeepsCode()
{
    fill(u"Goods_Category"_s, {u"01"_s, u"0101"_s, u"0102"_s});
    auto f = editor(u"Goods_category"_s, u"商品分类"_s);
    select(f.get(), u"0102"_s);
    child<QToolButton>(f.get(), "tb_edit")->click();
    QCOMPARE(f->AddMode, 0);
    QVERIFY(!child<QLineEdit>(f.get(), "Edit_code")->isEnabled());
    child<QLineEdit>(f.get(), "Edit_name")->setText(u"It's 100%_新 "_s);
    child<QToolButton>(f.get(), "TB_Save")->click();
    QVERIFY(sp->messages.isEmpty());
    QCOMPARE(tableCodes(u"Goods_Category"_s), (QStringList{u"01"_s, u"0101"_s, u"0102"_s}));
    QCOMPARE(nameOf(u"Goods_Category"_s, u"0102"_s), u"It's 100%_新"_s);
    QCOMPARE(nameOf(u"Goods_Category"_s, u"0101"_s), u"类0101"_s);
    QCOMPARE(FindCategoryItem(child<QTreeWidget>(f.get(), "TreeView1"), u"0102"_s)->text(0), u"0102-It's 100%_新"_s);
    QVERIFY(!child<QLineEdit>(f.get(), "Edit_name")->isEnabled());
    QVERIFY(child<QToolButton>(f.get(), "tb_edit")->isEnabled());
}

void TestCategoryTree::renameRefusals_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("root") << QString() << u"请点击取消按钮再重新选择一个节点进行编辑!"_s;
    QTest::newRow("deleted meanwhile") << u"0101"_s << u"您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!"_s;
}

void TestCategoryTree::renameRefusals()
{
    QFETCH(QString, code);
    QFETCH(QString, message);
    fill(u"Mem_Category"_s, {u"01"_s, u"0101"_s});
    auto f = editor(u"Mem_Category"_s);
    select(f.get(), code);
    child<QToolButton>(f.get(), "tb_edit")->click();
    QVERIFY(tdb.exec(u"delete from Mem_Category where code = '0101'"_s));
    child<QToolButton>(f.get(), "TB_Save")->click();
    QCOMPARE(sp->texts(), QStringList{message});
    QCOMPARE(sp->last().icon, Prompt::Icon::Question);
    QVERIFY(child<QToolButton>(f.get(), "TB_Cancel")->isEnabled());
}

void TestCategoryTree::deleteWithChildrenRefused()
{
    fill(u"Mem_Category"_s, {u"01"_s, u"0101"_s, u"02"_s});
    auto f = editor(u"Mem_Category"_s);
    select(f.get(), u"01"_s);
    child<QToolButton>(f.get(), "tb_del")->click();
    QCOMPARE(sp->texts(), QStringList{u"不能删除有子目录的目录，请先删除子目录！"_s});
    QCOMPARE(sp->last().icon, Prompt::Icon::None);
    QCOMPARE(tableCodes(u"Mem_Category"_s), (QStringList{u"01"_s, u"0101"_s, u"02"_s}));

    // A child another workstation added after the tree was loaded counts too.
    sp->clear();
    QVERIFY(tdb.exec(u"insert into Mem_Category (code, name) values ('0201', 'x')"_s));
    select(f.get(), u"02"_s);
    child<QToolButton>(f.get(), "tb_del")->click();
    QCOMPARE(sp->texts(), QStringList{u"不能删除有子目录的目录，请先删除子目录！"_s});
    QCOMPARE(tableCodes(u"Mem_Category"_s).size(), 4);
}

void TestCategoryTree::deleteLeafRemovesOnlyThatRow()
{
    fill(u"Mem_Category"_s, {u"01"_s, u"0101"_s, u"0102"_s, u"02"_s});
    auto f = editor(u"Mem_Category"_s, u"R"_s);
    select(f.get(), u"0101"_s);
    child<QToolButton>(f.get(), "tb_del")->click();
    QCOMPARE(sp->texts(), QStringList{u"你真的要删除所选择的目录吗？"_s});
    QCOMPARE(sp->last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(tableCodes(u"Mem_Category"_s), (QStringList{u"01"_s, u"0102"_s, u"02"_s}));
    QCOMPARE(shape(child<QTreeWidget>(f.get(), "TreeView1")->topLevelItem(0)), u"R(01-类01(0102-类0102),02-类02)"_s);
}

void TestCategoryTree::deleteCancelledKeepsRow()
{
    fill(u"Mem_Category"_s, {u"01"_s});
    auto f = editor(u"Mem_Category"_s, u"R"_s);
    select(f.get(), u"01"_s);
    sp->answer(QMessageBox::Cancel);
    child<QToolButton>(f.get(), "tb_del")->click();
    QCOMPARE(tableCodes(u"Mem_Category"_s), QStringList{u"01"_s});
    QCOMPARE(shape(child<QTreeWidget>(f.get(), "TreeView1")->topLevelItem(0)), u"R(01-类01)"_s);
}

void TestCategoryTree::deleteUsesSelectedNodeNotStaleBox()
{
    // After a cancelled add the code box still shows the proposal; deleting
    // removes the selected node's own row, as the tree shows.
    fill(u"Mem_Category"_s, {u"01"_s, u"02"_s});
    auto f = editor(u"Mem_Category"_s, u"R"_s);
    select(f.get(), u"02"_s);
    f->N1Click();
    QCOMPARE(child<QLineEdit>(f.get(), "Edit_code")->text(), u"03"_s);
    f->TB_CancelClick();
    child<QToolButton>(f.get(), "tb_del")->click();
    QCOMPARE(tableCodes(u"Mem_Category"_s), QStringList{u"01"_s});
    QCOMPARE(shape(child<QTreeWidget>(f.get(), "TreeView1")->topLevelItem(0)), u"R(01-类01)"_s);
}

void TestCategoryTree::pick_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("member editor, button") << 1 << u"0102"_s << false;
    QTest::newRow("member editor, double-click") << 1 << u"01"_s << true;
    QTest::newRow("member editor, root") << 1 << QString() << false;
    QTest::newRow("batch change") << 2 << u"0102"_s << false;
    QTest::newRow("goods editor") << 3 << u"0102"_s << true;
}

void TestCategoryTree::pick()
{
    QFETCH(int, target);
    QFETCH(QString, code);
    QFETCH(bool, doubleClick);
    fill(u"Mem_Category"_s, {u"01"_s, u"0101"_s, u"0102"_s});
    auto f = editor(u"Mem_Category"_s, u"会员分组"_s, target);
    QStringList picked;
    f->onPick = [&](const QString &c, const QString &n) { picked << c << n; };
    f->show();
    select(f.get(), code);
    if (doubleClick)
        f->TreeView1DblClick();
    else
        child<QToolButton>(f.get(), "ToolButton1")->click();

    const QString name = code.isEmpty() ? u"会员分组"_s : QString(u"类"_s + code);
    QCOMPARE(picked, (QStringList{code, name}));
    QCOMPARE(f->result(), int(QDialog::Accepted));
    QVERIFY(!f->isVisible());
    IniFile ini(QDir(tdb.home()).filePath(u"Config.ini"_s));
    if (target == 1) {
        QCOMPARE(ini.readString(u"login"_s, u"Category"_s), name);
        QCOMPARE(ini.readString(u"login"_s, u"Catecode"_s), code);
    } else {
        QVERIFY(!ini.hasKey(u"login"_s, u"Catecode"_s));
    }
}

void TestCategoryTree::pickTargetZeroStaysOpen()
{
    fill(u"Mem_Category"_s, {u"01"_s});
    auto f = editor(u"Mem_Category"_s);
    bool called = false;
    f->onPick = [&](const QString &, const QString &) { called = true; };
    f->show();
    select(f.get(), u"01"_s);
    child<QToolButton>(f.get(), "ToolButton1")->click();
    f->TreeView1DblClick();
    QVERIFY(!called);
    QVERIFY(f->isVisible());
    IniFile ini(QDir(tdb.home()).filePath(u"Config.ini"_s));
    QVERIFY(!ini.hasKey(u"login"_s, u"Catecode"_s));
}

void TestCategoryTree::screenshot()
{
    const QString dir = qEnvironmentVariable("ORVALIS_SHOT_DIR");
    if (dir.isEmpty())
        QSKIP("set ORVALIS_SHOT_DIR to save a picture of the editor");
    fill(u"Goods_Category"_s, {u"01"_s, u"0101"_s, u"0102"_s, u"010201"_s, u"02"_s, u"0201"_s, u"03"_s});
    QVERIFY(tdb.exec(u"update Goods_Category set name = '饮料' where code = '01'"_s));
    QVERIFY(tdb.exec(u"update Goods_Category set name = '果汁饮料' where code = '0101'"_s));
    QVERIFY(tdb.exec(u"update Goods_Category set name = '碳酸饮料' where code = '0102'"_s));
    QVERIFY(tdb.exec(u"update Goods_Category set name = '可乐' where code = '010201'"_s));
    QVERIFY(tdb.exec(u"update Goods_Category set name = '美容护理' where code = '02'"_s));
    QVERIFY(tdb.exec(u"update Goods_Category set name = '面部护理' where code = '0201'"_s));
    QVERIFY(tdb.exec(u"update Goods_Category set name = '日用百货' where code = '03'"_s));
    auto f = editor(u"Goods_Category"_s, u"商品分类"_s);
    f->show();
    auto *tree = child<QTreeWidget>(f.get(), "TreeView1");
    tree->expandAll();
    select(f.get(), u"0102"_s);
    QTest::qWait(50);
    QDir().mkpath(dir);
    QVERIFY(f->grab().save(QDir(dir).filePath(u"tree-editor.png"_s)));
    child<QToolButton>(f.get(), "tb_add")->click();
    child<QLineEdit>(f.get(), "Edit_name")->setText(u"橙汁"_s);
    QTest::qWait(50);
    QVERIFY(f->grab().save(QDir(dir).filePath(u"tree-editor-adding.png"_s)));
}

QTEST_MAIN(TestCategoryTree)
#include "tst_categorytree.moc"
