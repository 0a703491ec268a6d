#include "WindowHost.h"

#include <QPointer>

namespace {
QPointer<QMdiArea> g_area;
QPointer<QWidget> g_main;
} // namespace

namespace WindowHost {

void setMdiArea(QMdiArea *area) { g_area = area; }
QMdiArea *mdiArea() { return g_area; }
void setMainWindow(QWidget *w) { g_main = w; }
QWidget *mainWindow() { return g_main; }

void closeAllChildren()
{
    if (!g_area)
        return;
    // Last opened first, as an operator would close them.
    const auto subs = g_area->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.rbegin(); it != subs.rend(); ++it)
        (*it)->close();
}

} // namespace WindowHost
