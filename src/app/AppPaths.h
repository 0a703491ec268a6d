#pragma once
#include <QString>

// The program's home: Config.ini, Reports/, IMG/, nopic.jpg, help/ and the
// embedded database live there. It is the executable's folder unless --home or
// ORVALIS_HOME names another.
namespace AppPaths {

void setHome(const QString &dir);
QString home();
QString file(const QString &relative); // absolute path inside the home
QString configFile();                   // home/Config.ini
// Writes a default Config.ini (embedded database) when the home has none; never overwrites one.
bool ensureDefaultConfig();

} // namespace AppPaths
