#pragma once
#include <QHash>
#include <QMainWindow>
#include <memory>

namespace Ui { class TFrm_Main; }

class QAction;
class QLabel;
class QMenu;
class QMdiArea;
class QTimer;
class QToolButton;

// The frame of the program: menus, tool bar and commands that reach every
// window, the area where child windows live and the status bar. Commands are
// QActions named after their command and registered with Actions, so windows
// and subsystems reach them by name; the operator's rights switch them on and off.
//
// For child windows:
// - the status bar's middle panel is the QLabel "StatusPanel1", reachable as
//   WindowHost::mainWindow()->findChild<QLabel *>(u"StatusPanel1"_s);
// - the member list and the reminder window switch the reminder timer off when they
//   are shown: QMetaObject::invokeMethod(WindowHost::mainWindow(), "stopReminderTimer").
class TFrm_Main : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFrm_Main(QWidget *parent = nullptr);
    ~TFrm_Main() override;

    // Title and grid decimals from T_SoftInfo; caption = title + version.
    void LoadTitleAndOptions();
    // Reloads the operator's rights and switches the gated commands.
    void ApplyRights();

    QAction *action(const QString &name) const { return m_actions.value(name.toLower()); }
    QMdiArea *mdiArea() const;
    QTimer *Timer1 = nullptr; // reminder: every second while on
    QTimer *Timer2 = nullptr; // opens the member list once after the first show

    // Handlers
    void Sys_ReloginClick();
    void N31Click();
    void N59Click();
    void N60Click();
    void N2Click();
    void N16Click();
    void N17Click();
    void HelpExecute();
    void Timer1Timer();
    void Timer2Timer();

    // Programs tried, in order, for the calculator and the notepad entries.
    static QStringList calculatorPrograms();
    static QStringList notepadPrograms();

public slots:
    void stopReminderTimer();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    QAction *addCommand(const QString &name, const QString &caption, const QKeySequence &shortcut = {},
                        const QString &icon = {});
    QAction *addEntry(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut = {});
    QAction *addLinkedEntry(QMenu *menu, const QString &name, const QString &command, const QString &caption = {});
    QMenu *addSubMenu(QMenu *parent, const QString &name, const QString &caption);
    void registerAction(QAction *a);
    QToolButton *addToolButton(const QString &name, QAction *command, QMenu *dropDown = nullptr);
    void createCommands();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void applyRightsToCommands();
    void updateCaption();
    void startProgram(const QStringList &candidates, const QString &missingText);
    void writeMemberCount();

    std::unique_ptr<Ui::TFrm_Main> ui;
    QHash<QString, QAction *> m_actions; // lower-case name → action
    QLabel *m_panel[3] = {};
    bool m_firstShown = false;
};
