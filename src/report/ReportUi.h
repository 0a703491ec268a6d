#pragma once
#include <QString>
#include <functional>

class QWidget;
class Report;

// The few places where the report windows talk to the operator. The program
// routes them through its own message and file dialogs (so its tests can script
// them); without a handler, plain Qt dialogs are used.
namespace ReportUi {

using MessageHandler = std::function<void(QWidget *parent, const QString &text)>;
// Answers QMessageBox::Yes, No or Cancel.
using QuestionHandler = std::function<int(QWidget *parent, const QString &text)>;
using SaveFileHandler = std::function<QString(QWidget *parent, const QString &caption,
                                              const QString &suggestedPath, const QString &filter)>;

void setMessageHandler(MessageHandler handler);
void setSaveFileHandler(SaveFileHandler handler);
void setQuestionHandler(QuestionHandler handler);

void showMessage(QWidget *parent, const QString &text);
int askYesNoCancel(QWidget *parent, const QString &text);
QString askSaveFile(QWidget *parent, const QString &caption, const QString &suggestedPath, const QString &filter);

// A damaged template was loaded into this report: tell the operator once per
// print or design, then carry on with the empty report.
void reportLoadError(QWidget *parent, const Report &report);

} // namespace ReportUi
