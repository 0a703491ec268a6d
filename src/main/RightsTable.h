#pragma once
#include <QList>
#include <QStringList>

// Which of the operator's numbered rights enables which main-window command or
// menu entry. Positions missing here are group entries of the catalogue or are
// read by the windows themselves when they are shown.
struct GatedCommands
{
    int position;
    QStringList names; // action or menu entry object names
};

const QList<GatedCommands> &mainWindowRights();
