#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

// The one-time upgrade of account data left by older versions, run at start before the window exists. It is
// due while res/PreferenceAccount.ini does not hold boolUpdate(4.0) false, and is tried at every start until it
// has succeeded.
class MainUpdate {
public:
    static void run();

private:
    // True once nothing is left to convert: converted, kept aside, already current, or made afresh.
    static bool convert(QSqlDatabase &objectDatabase);
    // The table's columns (none when there is no table) and the name of its integer primary key, if it has one.
    // False when the table could not be read (a locked or damaged file).
    static bool readColumns(QSqlDatabase &objectDatabase, QStringList &qstringlistColumn, QString &strKey);
    static QString findBackupName(QSqlDatabase &objectDatabase);
    // Runs the statements as one transaction; the database's error text when one failed (all undone then).
    static QString execute(QSqlDatabase &objectDatabase, const QStringList &qstringlistStatement);
};
