#pragma once
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// The one way the program shows message boxes, asks questions and picks files.
// Windows call the static functions; tests install a scripted Prompt that
// records every message and answers from a queue, so every window runs headless.
class Prompt
{
public:
    enum class Icon { None, Information, Warning, Critical, Question };

    struct Message
    {
        QString caption;
        QString text;
        Icon icon = Icon::None;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    };

    virtual ~Prompt() = default;

    // ---- what windows call ----
    // A box with the given caption, text, icon and buttons; returns the button pressed.
    static QMessageBox::StandardButton show(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static void information(QWidget *parent, const QString &caption, const QString &text);
    static void warning(QWidget *parent, const QString &caption, const QString &text);
    static void error(QWidget *parent, const QString &caption, const QString &text);
    // A plain box (no icon), captioned with the program title.
    static void plain(QWidget *parent, const QString &text);
    // A Yes/No question; true on Yes.
    static bool yesNo(QWidget *parent, const QString &caption, const QString &text, Icon icon = Icon::Question);
    // A database failure that no rule catches: shown once, with the server's text.
    static void databaseError(QWidget *parent, const QString &serverText);

    static QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
    static QString existingDirectory(QWidget *parent, const QString &caption, const QString &dir);

    // Installs the implementation (the previous one is returned); nullptr restores the interactive one.
    static Prompt *install(Prompt *p);
    static Prompt *current();

protected:
    virtual QMessageBox::StandardButton ask(QWidget *parent, const Message &m) = 0;
    virtual QString chooseFile(QWidget *parent, int kind, const QString &caption, const QString &dir,
                               const QString &filter) = 0;
};

// Real dialogs.
class InteractivePrompt : public Prompt
{
protected:
    QMessageBox::StandardButton ask(QWidget *parent, const Message &m) override;
    QString chooseFile(QWidget *parent, int kind, const QString &caption, const QString &dir,
                       const QString &filter) override;
};

// For tests: records every message and answers from queues. A question with no
// queued answer is answered with the default button (Yes for Yes/No, else Ok);
// a file dialog with no queued answer is cancelled.
class ScriptedPrompt : public Prompt
{
public:
    ScriptedPrompt();
    ~ScriptedPrompt() override;

    QList<Message> messages;
    QList<QMessageBox::StandardButton> answers;
    QStringList files;
    QStringList fileCaptions;

    void answer(QMessageBox::StandardButton b) { answers << b; }
    void chooseFile(const QString &path) { files << path; }
    bool hasText(const QString &text) const;
    QStringList texts() const;
    Message last() const { return messages.isEmpty() ? Message{} : messages.last(); }
    void clear() { messages.clear(); answers.clear(); files.clear(); fileCaptions.clear(); }

protected:
    QMessageBox::StandardButton ask(QWidget *parent, const Message &m) override;
    QString chooseFile(QWidget *parent, int kind, const QString &caption, const QString &dir,
                       const QString &filter) override;

private:
    Prompt *m_previous = nullptr;
};
