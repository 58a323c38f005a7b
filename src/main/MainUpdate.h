#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

// The one-time upgrade of account data left by older versions, run at start before the window exists. It is
// due while res/PreferenceAccount.ini does not hold boolUpdate(4.0) false, and is tried once per settings file.
class MainUpdate {
public:
    static void run();

private:
    static void convert(QSqlDatabase &objectDatabase);
    static QStringList readColumns(QSqlDatabase &objectDatabase);
    static QString findBackupName(QSqlDatabase &objectDatabase);
    // Runs the statements as one transaction; the database's error text when one failed (all undone then).
    static QString execute(QSqlDatabase &objectDatabase, const QStringList &qstringlistStatement);
};
