#pragma once
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

// Where child windows live: the main window's MDI area. Windows are opened
// through ShowChildForm so each exists at most once.
namespace WindowHost {

void setMdiArea(QMdiArea *area);
QMdiArea *mdiArea();
// The main window (parent of modal dialogs opened by commands).
void setMainWindow(QWidget *w);
QWidget *mainWindow();

// Closes every child window, last opened first.
void closeAllChildren();

} // namespace WindowHost

// Opens a child window of class C once: an existing one is restored (when
// minimised), shown and brought to the front; otherwise a new one is created.
template <class C>
C *ShowChildForm()
{
    QMdiArea *area = WindowHost::mdiArea();
    if (!area)
        return nullptr;
    for (QMdiSubWindow *sub : area->subWindowList()) {
        if (C *w = qobject_cast<C *>(sub->widget())) {
            if (sub->isMinimized())
                sub->showNormal();
            sub->show();
            area->setActiveSubWindow(sub);
            sub->raise();
            w->setFocus();
            return w;
        }
    }
    auto *w = new C;
    w->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = area->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    return w;
}

// Finds an open child window of class C, or nullptr.
template <class C>
C *FindChildForm()
{
    if (QMdiArea *area = WindowHost::mdiArea())
        for (QMdiSubWindow *sub : area->subWindowList())
            if (C *w = qobject_cast<C *>(sub->widget()))
                return w;
    return nullptr;
}
