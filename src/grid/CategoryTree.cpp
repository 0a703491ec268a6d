#include "grid/CategoryTree.h"

#include "app/Prompt.h"
#include "app/U_data.h"
#include "data/Database.h"

#include <QHash>
#include <QSqlQuery>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Six levels of two digits each.
const QString kPattern = u"222222"_s;
constexpr int kMaxCodeLength = 12;
constexpr int kNameRole = Qt::UserRole + 1;

bool allDigits(const QString &s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QTreeWidgetItem *makeItem(const QString &text, const QString &code, const QString &name)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, Qt::UserRole, code);
    item->setData(0, kNameRole, name);
    return item;
}

} // namespace

int CodeLevel(const QString &pattern, const QString &code)
{
    if (pattern.isEmpty() || code.isEmpty())
        return -1;
    int sum = 0;
    for (int i = 0; i < pattern.size(); ++i) {
        const int width = pattern.at(i).digitValue();
        if (width < 0)
            return -1;
        sum += width;
        if (sum == code.size())
            return i + 1;
    }
    return -1;
}

QString PadCode(qint64 number)
{
    QString text = QString::number(number);
    if (text.size() % 2 != 0)
        text.prepend(u'0');
    return text;
}

QString CategoryTableName(const QString &tableName)
{
    const QString t = tableName.trimmed();
    for (const QString &known : {u"Mem_Category"_s, u"Goods_Category"_s})
        if (t.compare(known, Qt::CaseInsensitive) == 0)
            return known;
    return {};
}

bool IsValidCategoryCode(const QString &code)
{
    return CodeLevel(kPattern, code) >= 1 && allDigits(code);
}

bool ReadCategoryRows(Database &db, const QString &tableName, QList<CategoryRow> *rows, QString *error)
{
    rows->clear();
    const QString table = CategoryTableName(tableName);
    if (table.isEmpty()) {
        if (error)
            *error = u"不是分类表: "_s + tableName;
        return false;
    }
    QSqlQuery q(db.handle());
    // The table name was checked against the two category tables above.
    if (!db.query(q, u"select code, name from "_s + table + u" order by code"_s, SqlArgs{}, error))
        return false;
    while (q.next())
        rows->append({q.value(0).toString().trimmed(), q.value(1).toString().trimmed()});
    // Trimmed codes in plain text order, whatever the server's collation: a
    // parent then always comes before its children.
    std::stable_sort(rows->begin(), rows->end(),
                     [](const CategoryRow &a, const CategoryRow &b) { return a.code < b.code; });
    return true;
}

void FillCategoryTree(QTreeWidget *tree, const QList<CategoryRow> &rows, const QString &rootCaption)
{
    tree->clear();
    auto *root = makeItem(rootCaption, QString(), rootCaption);
    tree->addTopLevelItem(root);
    const QIcon folder = tree->style()->standardIcon(QStyle::SP_DirIcon);

    QHash<QString, QTreeWidgetItem *> byCode;
    for (const CategoryRow &row : rows) {
        if (!IsValidCategoryCode(row.code) || byCode.contains(row.code))
            continue;
        // A node goes under its nearest ancestor that exists. Rows whose parent
        // was lost (written outside the editor) thus never land under a
        // neighbour that merely came before them.
        QTreeWidgetItem *parent = root;
        for (QString p = row.code.left(row.code.size() - 2); !p.isEmpty(); p.chop(2)) {
            if (auto it = byCode.constFind(p); it != byCode.constEnd()) {
                parent = it.value();
                break;
            }
        }
        auto *item = makeItem(row.code + u'-' + row.name, row.code, row.name);
        item->setIcon(0, folder);
        parent->addChild(item);
        byCode.insert(row.code, item);
    }
    root->setExpanded(true);
}

void LoadCategoryTree(QTreeWidget *tree, const QString &tableName, const QString &rootCaption)
{
    QList<CategoryRow> rows;
    QString error;
    TFrm_Data *data = Frm_Data();
    if (!CategoryTableName(tableName).isEmpty() && data
        && !ReadCategoryRows(data->ADOConnection1, tableName, &rows, &error)) {
        Prompt::databaseError(tree->window(), error);
        rows.clear();
    }
    FillCategoryTree(tree, rows, rootCaption);
}

QTreeWidgetItem *AddCategoryItem(QTreeWidget *tree, const QString &code, const QString &name)
{
    if (!tree || tree->topLevelItemCount() == 0)
        return nullptr;
    QTreeWidgetItem *parent = tree->topLevelItem(0);
    for (QString p = code.left(code.size() - 2); !p.isEmpty(); p.chop(2)) {
        if (QTreeWidgetItem *found = FindCategoryItem(tree, p)) {
            parent = found;
            break;
        }
    }
    auto *item = makeItem(code + u'-' + name, code, name);
    item->setIcon(0, tree->style()->standardIcon(QStyle::SP_DirIcon));
    parent->addChild(item);
    parent->setExpanded(true);
    return item;
}

QString CategoryCode(const QTreeWidgetItem *item)
{
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

QString CategoryName(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kNameRole).toString() : QString();
}

QTreeWidgetItem *FindCategoryItem(QTreeWidget *tree, const QString &code)
{
    if (!tree || tree->topLevelItemCount() == 0)
        return nullptr;
    QTreeWidgetItem *root = tree->topLevelItem(0);
    if (code.isEmpty())
        return root;
    QList<QTreeWidgetItem *> pending{root};
    while (!pending.isEmpty()) {
        QTreeWidgetItem *item = pending.takeLast();
        if (CategoryCode(item) == code)
            return item;
        for (int i = 0; i < item->childCount(); ++i)
            pending.append(item->child(i));
    }
    return nullptr;
}

CodeProposal ProposeCode(Database &db, const QString &tableName, const QString &baseCode, bool asChild)
{
    CodeProposal result;
    const QString table = CategoryTableName(tableName);
    if (table.isEmpty()) {
        result.message = u"不是分类表: "_s + tableName;
        return result;
    }
    QString base = baseCode.trimmed();
    if (base.isEmpty())
        base = u"0"_s;
    const bool atRoot = base == u"0"_s;

    QString error;
    bool ok = false;
    const QVariant count = db.scalar(u"select count(*) from "_s + table, SqlArgs{}, &ok, &error);
    if (!ok) {
        result.message = u"数据库操作失败:\n"_s + error;
        return result;
    }
    if (count.toLongLong() == 0) {
        result.ok = true;
        result.firstCode = true;
        result.code = u"01"_s;
        return result;
    }

    if (!atRoot && !IsValidCategoryCode(base)) {
        result.message = u"编码规则出错!"_s;
        return result;
    }
    if (!atRoot && asChild && base.size() >= kMaxCodeLength) {
        result.message = u"分类最多六级,不能再新增下级分类!"_s;
        return result;
    }

    // The new code is one more than the largest code among its future siblings.
    const QString parent = atRoot ? QString() : (asChild ? base : base.left(base.size() - 2));
    const int width = int(parent.size()) + 2;
    QSqlQuery q(db.handle());
    const bool read = parent.isEmpty()
                          ? db.query(q, u"select code from "_s + table, SqlArgs{}, &error)
                          : db.query(q, u"select code from "_s + table + u" where code like ?"_s,
                                     SqlArgs{QString(parent + u'%')}, &error);
    if (!read) {
        result.message = u"数据库操作失败:\n"_s + error;
        return result;
    }
    int largest = 0;
    while (q.next()) {
        const QString code = q.value(0).toString().trimmed();
        if (code.size() == width && code.startsWith(parent) && allDigits(code))
            largest = std::max(largest, int(QStringView(code).right(2).toInt()));
    }
    if (largest >= 99) {
        result.message = parent.isEmpty()
                             ? u"一级分类已有99个,编码已用完,不能再新增!"_s
                             : QString(u"分类"_s + parent + u"下已有99个下级分类,编码已用完,不能再新增!"_s);
        return result;
    }
    result.ok = true;
    result.code = parent + QString::number(largest + 1).rightJustified(2, u'0');
    return result;
}
