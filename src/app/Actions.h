#pragma once
#include <QString>

class QAction;

// The main window's commands by name. A window reaches another subsystem's
// window by triggering its command ("新增消费" in the member list runs AddCash),
// never by including that window.
namespace Actions {

void add(QAction *action);          // registered under its object name
QAction *find(const QString &name); // nullptr when absent
// Triggers the command if it exists and is enabled; false otherwise.
bool trigger(const QString &name);
bool isEnabled(const QString &name);
void clear();

} // namespace Actions
