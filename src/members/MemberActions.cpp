#include "MemberActions.h"

#include "MemberRules.h"
#include "U_AddCard.h"
#include "U_Card.h"
#include "U_CardType.h"
#include "app/Actions.h"
#include "app/Prompt.h"
#include "app/U_data.h"
#include "app/WindowHost.h"
#include "grid/DataGrid.h"

#include <QAction>

using namespace Qt::StringLiterals;

namespace members {

namespace {

std::function<void(QWidget *)> g_storedValueGate;

void refreshMemberList()
{
    if (TFrm_Card *list = FindChildForm<TFrm_Card>())
        list->N5Click();
    else if (TFrm_Data *dm = Frm_Data(); dm && dm->Qry_Card->isOpen())
        dm->Qry_Card->refresh();
}

void onCommand(QWidget *mainWindow, const QString &name, std::function<void()> fn)
{
    if (QAction *a = Actions::find(name))
        QObject::connect(a, &QAction::triggered, mainWindow, [fn = std::move(fn)] { fn(); });
}

void onLevelCommand(QWidget *mainWindow, const QString &name, void (TFrm_CardType::*handler)())
{
    onCommand(mainWindow, name, [handler] {
        if (TFrm_CardType *w = TFrm_CardType::instance())
            (w->*handler)();
    });
}

} // namespace

void setStoredValueEditGate(std::function<void(QWidget *)> gate) { g_storedValueGate = std::move(gate); }

void AddCardExecute(QWidget *parent)
{
    TFrm_AddCard dlg(parent);
    dlg.AddMode = 1;
    dlg.exec();
}

bool OpenMemberEditor(QWidget *parent)
{
    TFrm_Data *dm = Frm_Data();
    if (!dm || !dm->Qry_Card->isOpen() || dm->Qry_Card->rowCount() == 0)
        return false;
    TFrm_AddCard dlg(parent);
    dlg.AddMode = 0;
    dlg.exec();
    return true;
}

void EditCardExecute(QWidget *parent)
{
    TFrm_Data *dm = Frm_Data();
    if (!dm || !dm->Qry_Card->isOpen() || dm->Qry_Card->rowCount() == 0 || dm->Qry_Card->currentRow() < 0) {
        Prompt::information(parent, u"提示"_s, u"没有要编辑的会员记录！"_s);
        return;
    }
    if (dm->Qry_Card->text(u"NewCard"_s) == KindStored && g_storedValueGate) {
        g_storedValueGate(parent);
        return;
    }
    OpenMemberEditor(parent);
}

void DelCardExecute(QWidget *parent)
{
    TFrm_Data *dm = Frm_Data();
    TFrm_Card *list = FindChildForm<TFrm_Card>();
    if (!list) {
        // The selection lives in the member list: open it rather than guess which member is meant.
        if (dm && dm->Qry_Card->isOpen() && dm->Qry_Card->rowCount() > 0 && ShowChildForm<TFrm_Card>())
            return;
        Prompt::information(parent, u"提示"_s, u"没有删除的记录！"_s);
        return;
    }
    DataSet *cards = dm->Qry_Card;
    if (!cards->isOpen() || cards->rowCount() == 0) {
        Prompt::information(parent, u"提示"_s, u"没有删除的记录！"_s);
        return;
    }
    const QList<int> rows = list->memberGrid()->selectedRows();
    Database &db = dm->ADOConnection1;
    if (rows.size() < 2) {
        if (Prompt::yesNo(parent, u"警告"_s, u"确定要删除这条会员记录吗！"_s, Prompt::Icon::Warning)) {
            QString error;
            if (!DeleteMember(db, cards->value(u"UserID"_s).toLongLong(), &error))
                Prompt::show(parent, u"错误"_s, u"删除会员记录失败,请与软件开发商联系!"_s, Prompt::Icon::Critical);
        }
    } else if (Prompt::yesNo(parent, u"警告"_s, u"确定要删除这批会员记录吗！"_s, Prompt::Icon::Warning)) {
        // Keys first: the rows move as members go.
        QList<qint64> ids;
        for (int r : rows)
            ids << cards->value(r, u"UserID"_s).toLongLong();
        for (qint64 id : ids) {
            QString error;
            if (!DeleteMember(db, id, &error))
                Prompt::show(parent, u"错误"_s, u"批量删除会员记录失败,请与软件开发商联系!"_s, Prompt::Icon::Critical);
        }
    }
    refreshMemberList();
}

void installActions(QWidget *mainWindow)
{
    onCommand(mainWindow, u"M_Card"_s, [] { ShowChildForm<TFrm_Card>(); });
    onCommand(mainWindow, u"AddCard"_s, [mainWindow] { AddCardExecute(mainWindow); });
    onCommand(mainWindow, u"EditCard"_s, [mainWindow] { EditCardExecute(mainWindow); });
    onCommand(mainWindow, u"DelCard"_s, [mainWindow] { DelCardExecute(mainWindow); });
    onCommand(mainWindow, u"M_CardType"_s, [mainWindow] {
        TFrm_CardType dlg(mainWindow);
        dlg.exec();
    });
    onLevelCommand(mainWindow, u"AddCardType"_s, &TFrm_CardType::AddCardTypeExecute);
    onLevelCommand(mainWindow, u"EditCardType"_s, &TFrm_CardType::EditCardTypeExecute);
    onLevelCommand(mainWindow, u"DelCardType"_s, &TFrm_CardType::DelCardTypeExecute);
    onLevelCommand(mainWindow, u"SaveCardType"_s, &TFrm_CardType::SaveCardTypeExecute);
    onLevelCommand(mainWindow, u"CancelCardType"_s, &TFrm_CardType::CancelCardTypeExecute);
}

} // namespace members
