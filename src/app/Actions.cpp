#include "Actions.h"

#include <QAction>
#include <QHash>
#include <QPointer>

namespace {
QHash<QString, QPointer<QAction>> &registry()
{
    static QHash<QString, QPointer<QAction>> r;
    return r;
}
} // namespace

namespace Actions {

void add(QAction *action) { registry().insert(action->objectName().toLower(), action); }

QAction *find(const QString &name) { return registry().value(name.toLower()).data(); }

bool trigger(const QString &name)
{
    QAction *a = find(name);
    if (!a || !a->isEnabled())
        return false;
    a->trigger();
    return true;
}

bool isEnabled(const QString &name)
{
    QAction *a = find(name);
    return a && a->isEnabled();
}

void clear() { registry().clear(); }

} // namespace Actions
