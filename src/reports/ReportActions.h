#pragma once
class QWidget;

namespace reports {
// Connects the main window's print entries (N_R_Card, N_R_Label, N4) and the
// report design entries (N39, N8, N9, N40, N56, N57, N58) to the report engine.
void installActions(QWidget *mainWindow);
} // namespace reports
