#pragma once
#include <QList>
#include <QString>

class Database;
class QTreeWidget;
class QTreeWidgetItem;

// Category codes carry their place in the hierarchy: two digits per level, at
// most six levels, the parent being the code without its last two digits. A
// category with everything below it is the prefix match like '{code}%'.

// Level of a code under a pattern of level widths: CodeLevel("222222", "0101") == 2.
// Empty pattern or code, or a length the pattern does not reach exactly: -1.
int CodeLevel(const QString &pattern, const QString &code);

// The number's decimal text, with a leading "0" when its length is odd: 105+1 → "0106".
QString PadCode(qint64 number);

// The two category tables by their proper spelling; callers spell them in any
// letter case. Anything else gives an empty text: the name goes into SQL as an
// identifier, so it is never taken on trust.
QString CategoryTableName(const QString &tableName);

// A code the trees can show: digits only, even length, one to six levels.
bool IsValidCategoryCode(const QString &code);

struct CategoryRow
{
    QString code; // trimmed
    QString name; // trimmed
};

// Rows of a category table in code order (trimmed). False with the server's text on failure.
bool ReadCategoryRows(Database &db, const QString &tableName, QList<CategoryRow> *rows, QString *error = nullptr);

// Fills the tree from rows: the root shows rootCaption, every other node "{code}-{name}".
// A node hangs under its nearest ancestor that exists (the root when none does);
// codes that are not valid category codes are not shown.
// Every item's data(0, Qt::UserRole) is its code (root: empty), data(0, Qt::UserRole + 1) its name
// (root: the caption).
void FillCategoryTree(QTreeWidget *tree, const QList<CategoryRow> &rows, const QString &rootCaption);

// Reads the table through the data module and fills the tree; the root is expanded one level.
// A database failure is shown once; the tree then holds only the root.
void LoadCategoryTree(QTreeWidget *tree, const QString &tableName, const QString &rootCaption);

// Code of a node; empty for the root or null.
QString CategoryCode(const QTreeWidgetItem *item);
// Name of a node; the root caption for the root; empty for null.
QString CategoryName(const QTreeWidgetItem *item);
// The node whose code is `code` (the root for an empty code); null when none.
QTreeWidgetItem *FindCategoryItem(QTreeWidget *tree, const QString &code);
// Adds the node "{code}-{name}" as the last child of its nearest existing ancestor
// (the root when none); the tree must hold its root. Returns the new node.
QTreeWidgetItem *AddCategoryItem(QTreeWidget *tree, const QString &code, const QString &name);

// The code a new category gets, or a refusal with the message to show.
struct CodeProposal
{
    bool ok = false;
    QString code;
    QString message; // why not, when !ok
    bool firstCode = false; // the table was empty
};

// Proposes the code of a new child (asChild) or sibling of baseCode ("" or "0" = the root):
// "01" in an empty table; the first child of C is C01; otherwise the largest
// existing sibling plus one. Refused when the parent already holds 99 children,
// when a child would go below the sixth level, or when the table name is not a
// category table.
CodeProposal ProposeCode(Database &db, const QString &tableName, const QString &baseCode, bool asChild);
