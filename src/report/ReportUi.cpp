#include "ReportUi.h"
#include "Report.h"

#include <QFileDialog>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace ReportUi {

namespace {
MessageHandler &messageHandler()
{
    static MessageHandler h;
    return h;
}
SaveFileHandler &saveFileHandler()
{
    static SaveFileHandler h;
    return h;
}
QuestionHandler &questionHandler()
{
    static QuestionHandler h;
    return h;
}
} // namespace

void setQuestionHandler(QuestionHandler handler) { questionHandler() = std::move(handler); }

int askYesNoCancel(QWidget *parent, const QString &text)
{
    if (questionHandler())
        return questionHandler()(parent, text);
    return QMessageBox::question(parent, u"提示"_s, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

void setMessageHandler(MessageHandler handler) { messageHandler() = std::move(handler); }
void setSaveFileHandler(SaveFileHandler handler) { saveFileHandler() = std::move(handler); }

void showMessage(QWidget *parent, const QString &text)
{
    if (messageHandler())
        messageHandler()(parent, text);
    else
        QMessageBox::warning(parent, u"提示"_s, text);
}

QString askSaveFile(QWidget *parent, const QString &caption, const QString &suggestedPath, const QString &filter)
{
    if (saveFileHandler())
        return saveFileHandler()(parent, caption, suggestedPath, filter);
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filter);
}

void reportLoadError(QWidget *parent, const Report &report)
{
    if (!report.loadError().isEmpty())
        showMessage(parent, report.loadError());
}

} // namespace ReportUi
