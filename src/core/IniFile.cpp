#include "IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QStringList readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(f.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(u"\r\n"_s, u"\n"_s);
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool isSectionLine(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(u'[') || !t.endsWith(u']'))
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

// Finds the key line inside the section; returns -1 when absent.
// *sectionEnd receives the index after the section's last line (or -1 when
// the section is missing).
int findKey(const QStringList &lines, const QString &section, const QString &key,
            int *sectionEnd, QString *value)
{
    bool inSection = false;
    int found = -1;
    if (sectionEnd)
        *sectionEnd = -1;
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (isSectionLine(lines[i], &name)) {
            if (inSection && sectionEnd && found < 0)
                *sectionEnd = i;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection && sectionEnd)
                *sectionEnd = lines.size();
            continue;
        }
        if (!inSection || found >= 0)
            continue;
        const QString &l = lines[i];
        const int eq = l.indexOf(u'=');
        if (eq <= 0)
            continue;
        if (l.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            found = i;
            if (value)
                *value = l.mid(eq + 1).trimmed();
        }
    }
    // Trailing blank lines belong to no key: insert before them.
    if (sectionEnd && *sectionEnd > 0) {
        while (*sectionEnd > 0 && lines[*sectionEnd - 1].trimmed().isEmpty()
               && !isSectionLine(lines[*sectionEnd - 1], nullptr))
            --*sectionEnd;
    }
    return found;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

bool IniFile::exists() const { return QFile::exists(m_path); }

QString IniFile::readString(const QString &section, const QString &key) const
{
    QString value;
    if (findKey(readLines(m_path), section, key, nullptr, &value) < 0)
        return {};
    return value;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return findKey(readLines(m_path), section, key, nullptr, nullptr) >= 0;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    QString value;
    if (findKey(readLines(m_path), section, key, nullptr, &value) < 0)
        return defaultValue;
    bool ok = false;
    const int v = value.toInt(&ok);
    return ok ? v : defaultValue;
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    QStringList lines = readLines(m_path);
    int sectionEnd = -1;
    const int at = findKey(lines, section, key, &sectionEnd, nullptr);
    const QString line = key + u'=' + value;
    if (at >= 0) {
        lines[at] = line;
    } else if (sectionEnd >= 0) {
        lines.insert(sectionEnd, line);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << u'[' + section + u']' << line;
    }
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(lines.join(u'\n').toUtf8());
    f.write("\n");
    return f.commit();
}

bool IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}
