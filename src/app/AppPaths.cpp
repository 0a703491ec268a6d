#include "AppPaths.h"

#include "core/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {
QString g_home;
}

namespace AppPaths {

void setHome(const QString &dir) { g_home = dir.isEmpty() ? QString() : QDir(dir).absolutePath(); }

QString home()
{
    if (!g_home.isEmpty())
        return g_home;
    const QString env = qEnvironmentVariable("ORVALIS_HOME");
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    return QCoreApplication::applicationDirPath();
}

QString file(const QString &relative) { return QDir(home()).absoluteFilePath(relative); }

QString configFile() { return file(u"Config.ini"_s); }

bool ensureDefaultConfig()
{
    if (QFile::exists(configFile()))
        return true;
    QDir().mkpath(home());
    IniFile ini(configFile());
    return ini.writeString(u"DBConn"_s, u"Driver"_s, u"sqlite"_s)
           && ini.writeString(u"DBConn"_s, u"Database"_s, u"orvalis.db"_s);
}

} // namespace AppPaths
