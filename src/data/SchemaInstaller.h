#pragma once
#include <QString>
#include <QStringList>

class Database;

// Creates the shipped database (schema and seed rows) and upgrades an older one.
namespace schema {

// The version this program's code expects.
int currentVersion();
// Splits a shipped SQL file into statements: each ends with ";" at the end of a
// line, and whole-line "--" comments are dropped.
QStringList splitStatements(const QString &text);
// Creates every table, view and seed row in an empty database, in one transaction.
bool install(Database &db, QString *error);
// True when the schema-version table exists.
bool isInstalled(Database &db);
// Runs the upgrade steps from the stored version to currentVersion(), each in a transaction.
bool upgrade(Database &db, QString *error);
// Lists the tables and views of the open database with their columns in order (names lower-case).
QStringList describe(Database &db);

} // namespace schema
