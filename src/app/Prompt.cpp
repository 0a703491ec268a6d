#include "Prompt.h"

#include <QApplication>
#include <QAbstractButton>
#include <QFileDialog>

using namespace Qt::StringLiterals;

namespace {
InteractivePrompt g_interactive;
Prompt *g_current = &g_interactive;

enum FileKind { OpenFile, SaveFile, Directory };
} // namespace

Prompt *Prompt::install(Prompt *p)
{
    Prompt *old = g_current;
    g_current = p ? p : &g_interactive;
    return old;
}

Prompt *Prompt::current() { return g_current; }

QMessageBox::StandardButton Prompt::show(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                                         QMessageBox::StandardButtons buttons)
{
    return g_current->ask(parent, {caption, text, icon, buttons});
}

void Prompt::information(QWidget *parent, const QString &caption, const QString &text)
{
    show(parent, caption, text, Icon::Information);
}

void Prompt::warning(QWidget *parent, const QString &caption, const QString &text)
{
    show(parent, caption, text, Icon::Warning);
}

void Prompt::error(QWidget *parent, const QString &caption, const QString &text)
{
    show(parent, caption, text, Icon::Critical);
}

void Prompt::plain(QWidget *parent, const QString &text)
{
    show(parent, QApplication::applicationDisplayName(), text, Icon::None);
}

bool Prompt::yesNo(QWidget *parent, const QString &caption, const QString &text, Icon icon)
{
    return show(parent, caption, text, icon, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void Prompt::databaseError(QWidget *parent, const QString &serverText)
{
    show(parent, u"错误"_s, u"数据库操作失败:\n"_s + serverText, Icon::Critical);
}

QString Prompt::openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return g_current->chooseFile(parent, OpenFile, caption, dir, filter);
}

QString Prompt::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return g_current->chooseFile(parent, SaveFile, caption, dir, filter);
}

QString Prompt::existingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    return g_current->chooseFile(parent, Directory, caption, dir, {});
}

// ---------------------------------------------------------------- interactive

QMessageBox::StandardButton InteractivePrompt::ask(QWidget *parent, const Message &m)
{
    QMessageBox box(parent);
    box.setWindowTitle(m.caption);
    box.setText(m.text);
    switch (m.icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    box.setStandardButtons(m.buttons);
    if (m.buttons & QMessageBox::Yes) {
        box.setDefaultButton(QMessageBox::Yes);
    }
    // Chinese captions whatever the desktop's language.
    const std::pair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Yes, u"是(&Y)"_s}, {QMessageBox::No, u"否(&N)"_s},
        {QMessageBox::Ok, u"确定"_s}, {QMessageBox::Cancel, u"取消"_s}};
    for (const auto &[b, text] : captions)
        if (QAbstractButton *button = box.button(b))
            button->setText(text);
    return QMessageBox::StandardButton(box.exec());
}

QString InteractivePrompt::chooseFile(QWidget *parent, int kind, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    switch (kind) {
    case OpenFile: return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    case SaveFile: return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    default: return QFileDialog::getExistingDirectory(parent, caption, dir);
    }
}

// ---------------------------------------------------------------- scripted

ScriptedPrompt::ScriptedPrompt() { m_previous = Prompt::install(this); }

ScriptedPrompt::~ScriptedPrompt()
{
    if (Prompt::current() == this)
        Prompt::install(m_previous);
}

bool ScriptedPrompt::hasText(const QString &text) const
{
    for (const Message &m : messages)
        if (m.text == text)
            return true;
    return false;
}

QStringList ScriptedPrompt::texts() const
{
    QStringList l;
    for (const Message &m : messages)
        l << m.text;
    return l;
}

QMessageBox::StandardButton ScriptedPrompt::ask(QWidget *, const Message &m)
{
    messages << m;
    if (!answers.isEmpty())
        return answers.takeFirst();
    if (m.buttons & QMessageBox::Yes)
        return QMessageBox::Yes;
    return QMessageBox::Ok;
}

QString ScriptedPrompt::chooseFile(QWidget *, int, const QString &caption, const QString &, const QString &)
{
    fileCaptions << caption;
    return files.isEmpty() ? QString() : files.takeFirst();
}
