#pragma once
#include <QString>

// The program's Config.ini. Sections and keys compare without regard to case
// ("other" and "Other" are one section), and every read and write goes straight
// to the file, so a value one window writes is what the next read returns.
class IniFile
{
public:
    explicit IniFile(QString path = {});

    const QString &path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }
    bool exists() const;

    // Missing key: empty text.
    QString readString(const QString &section, const QString &key) const;
    // Missing key or a value that is not a whole number: the default.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    bool hasKey(const QString &section, const QString &key) const;

    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInteger(const QString &section, const QString &key, int value);

private:
    QString m_path;
};
