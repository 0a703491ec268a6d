#pragma once
#include <functional>

class QWidget;

namespace members {
// Connects the main window's member commands (M_Card, AddCard, EditCard, DelCard,
// M_CardType and the card-level actions) to the member windows. The main window
// calls it once its actions exist.
void installActions(QWidget *mainWindow);

// The three member commands, callable without the main window.
void AddCardExecute(QWidget *parent);
void EditCardExecute(QWidget *parent);
void DelCardExecute(QWidget *parent);

// Opens the member editor on the current member without asking for anything
// (the card-password window calls it once the password was right).
bool OpenMemberEditor(QWidget *parent);

// A stored-value card is edited only after its card password. The card
// services install the password window here; it returns after the operator
// has dealt with it (and has called OpenMemberEditor when the password was right).
void setStoredValueEditGate(std::function<void(QWidget *parent)> gate);
} // namespace members
