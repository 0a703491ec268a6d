#pragma once
class QWidget;

namespace members {
// Connects the main window's member commands (M_Card, AddCard, EditCard, DelCard,
// S_Card, M_CardType and the card-level actions, BatchEdit, M_Awoke, exports) to
// the member windows. The main window calls it once its actions exist.
void installActions(QWidget *mainWindow);
} // namespace members
