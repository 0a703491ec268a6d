#include "ReportActions.h"

#include "app/Actions.h"
#include "app/Prompt.h"
#include "app/U_data.h"
#include "report/Report.h"
#include "report/ReportDesigner.h"
#include "report/ReportPreview.h"
#include "report/ReportUi.h"

#include <QAction>

using namespace Qt::StringLiterals;

namespace reports {

namespace {

void connectEntry(QWidget *mainWindow, const QString &entry, const QString &report, bool design)
{
    QAction *a = Actions::find(entry);
    if (!a)
        return;
    QObject::connect(a, &QAction::triggered, mainWindow, [mainWindow, report, design] {
        TFrm_Data *dm = Frm_Data();
        Report *r = dm ? dm->report(report) : nullptr;
        if (!r)
            return;
        if (design)
            ReportDesigner::designReport(mainWindow, *r);
        else
            ReportPreview::showReport(mainWindow, *r);
    });
}

} // namespace

void installActions(QWidget *mainWindow)
{
    // The report windows speak through the program's own dialogs.
    ReportUi::setMessageHandler([](QWidget *parent, const QString &text) { Prompt::information(parent, u"提示"_s, text); });
    ReportUi::setQuestionHandler([](QWidget *parent, const QString &text) {
        return int(Prompt::show(parent, u"提示"_s, text, Prompt::Icon::Question,
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
    });
    ReportUi::setSaveFileHandler([](QWidget *parent, const QString &caption, const QString &path, const QString &filter) {
        return Prompt::saveFileName(parent, caption, path, filter);
    });

    const struct { const char16_t *entry; const char16_t *report; bool design; } entries[] = {
        {u"N_R_Card", u"frx_huiyuan", false}, {u"N_R_Label", u"frx_xinfeng", false}, {u"N4", u"frx_bill", false},
        {u"N39", u"frx_huiyuan", true},       {u"N8", u"frx_xinfeng", true},         {u"N9", u"frx_bill", true},
        {u"N40", u"frx_goods", true},         {u"N56", u"frx_yiyong", true},         {u"N57", u"frx_xufei", true},
        {u"N58", u"frx_JCxufei", true},
    };
    for (const auto &e : entries)
        connectEntry(mainWindow, QStringView(e.entry).toString(), QStringView(e.report).toString(), e.design);
}

} // namespace reports
