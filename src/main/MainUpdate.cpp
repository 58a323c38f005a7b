#include "main/MainUpdate.h"

#include "preference/PreferenceAccount.h"
#include "preference/PreferenceSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

namespace {

// Column names are compared as SQLite compares them, without regard to case.
bool containsAll(const QStringList &qstringlistColumn, const QStringList &qstringlistWanted) {
    for (const QString &strWanted : qstringlistWanted) {
        if (!qstringlistColumn.contains(strWanted, Qt::CaseInsensitive)) {
            return false;
        }
    }
    return true;
}

// Exactly these columns, in any order (a table's column names are distinct).
bool isLayout(const QStringList &qstringlistColumn, const QStringList &qstringlistLayout) {
    return qstringlistColumn.size() == qstringlistLayout.size() && containsAll(qstringlistColumn, qstringlistLayout);
}

QString strCreate() {
    return QString() + "CREATE TABLE IF NOT EXISTS PreferenceAccount " + "  ( " +
           "     intIdent INTEGER PRIMARY KEY AUTOINCREMENT, " + "     strWebsite TEXT, " + "     strMail TEXT, " +
           "     strUser TEXT, " + "     strNote TEXT, " + "     intLength INTEGER, " + "     strSpecial TEXT " +
           "  ) ";
}

QString strCopy(const QString &strSelect) {
    return QString() + "INSERT INTO PreferenceAccount " + "\t( " + "\t\tstrWebsite, " + "\t\tstrMail, " +
           "\t\tstrUser, " + "\t\tstrNote, " + "\t\tintLength, " + "\t\tstrSpecial " + "\t) " + strSelect +
           "FROM Temporary ";
}

// The table's columns (none when there is no table) and the name of its integer primary key, if it has one.
// False when the table could not be read (a locked or damaged file).
bool readColumns(QSqlDatabase &objectDatabase, QStringList &qstringlistColumn, QString &strKey) {
    QSqlQuery objectQuery(objectDatabase);
    if (!objectQuery.exec("PRAGMA table_info(PreferenceAccount)")) {
        qWarning("MainUpdate: the account table could not be read: %s",
                 qUtf8Printable(objectQuery.lastError().text().simplified()));
        return false;
    }
    int intKeys = 0;
    while (objectQuery.next()) {
        const QString strName = objectQuery.value("name").toString();
        qstringlistColumn.append(strName);
        if (objectQuery.value("pk").toInt() > 0) {
            intKeys += 1;
            // Only a key of its own declared INTEGER is the row number, which a conversion may renumber.
            if (objectQuery.value("type").toString().compare("INTEGER", Qt::CaseInsensitive) == 0) {
                strKey = strName;
            }
        }
    }
    if (intKeys != 1) {
        strKey.clear();
    }
    return true;
}

QString findBackupName(QSqlDatabase &objectDatabase) {
    // Tables, indexes, views and triggers share one name space.
    QSet<QString> qsetTaken;
    QSqlQuery objectQuery(objectDatabase);
    objectQuery.exec("SELECT name FROM sqlite_master");
    while (objectQuery.next()) {
        qsetTaken.insert(objectQuery.value(0).toString().toLower());
    }

    QString strBackup = "PreferenceAccountBackup";
    for (int intNumber = 2; qsetTaken.contains(strBackup.toLower()); intNumber += 1) {
        strBackup = "PreferenceAccountBackup" + QString::number(intNumber);
    }
    return strBackup;
}

// Runs the statements as one transaction; the database's error text when one failed (all undone then).
QString execute(QSqlDatabase &objectDatabase, const QStringList &qstringlistStatement) {
    if (!objectDatabase.transaction()) {
        return objectDatabase.lastError().text().simplified();
    }

    for (const QString &strStatement : qstringlistStatement) {
        QSqlQuery objectQuery(objectDatabase);
        if (!objectQuery.exec(strStatement)) {
            const QString strError = objectQuery.lastError().text().simplified();
            objectQuery.clear();
            objectDatabase.rollback();
            return strError;
        }
    }

    if (!objectDatabase.commit()) {
        const QString strError = objectDatabase.lastError().text().simplified();
        objectDatabase.rollback();
        return strError;
    }
    return QString();
}

// True once nothing is left to convert: converted, kept aside, already current, or made afresh.
bool convert(QSqlDatabase &objectDatabase) {
    QStringList qstringlistColumn;
    QString strKey;
    if (!readColumns(objectDatabase, qstringlistColumn, strKey)) {
        return false;
    }

    const QStringList qstringlistCurrent = {"intIdent", "strWebsite", "strMail",   "strUser",
                                            "strNote",  "intLength",  "strSpecial"};

    if (qstringlistColumn.isEmpty()) {
        // No table yet: a fresh start.
        const QString strError = execute(objectDatabase, {strCreate()});
        if (!strError.isEmpty()) {
            qWarning("MainUpdate: the account table could not be made: %s", qUtf8Printable(strError));
        }
        return strError.isEmpty();
    }

    if (containsAll(qstringlistColumn, qstringlistCurrent)) {
        // Already current (the settings file was lost while the database was kept): left as it is.
        return true;
    }

    // A copy carries the fields of layout A or B and numbers the rows afresh. Only a table that holds nothing
    // else, apart from its old row numbers, is converted; a column of its own would be lost.
    QStringList qstringlistField = qstringlistColumn;
    qstringlistField.removeAll(strKey);
    QString strSelect;
    if (isLayout(qstringlistField, {"strWebsite", "strMail", "strUser"})) {
        strSelect = "SELECT strWebsite, strMail, strUser, '', 15, '' ";
    } else if (isLayout(qstringlistField, {"qstrWebsite", "qstrMail", "qstrUser", "qstrNote"})) {
        strSelect = "SELECT qstrWebsite, qstrMail, qstrUser, qstrNote, 15, '' ";
    }

    if (!strSelect.isEmpty()) {
        // Temporary is dropped only once every row has been copied; any failure undoes the whole conversion.
        const QString strError =
            execute(objectDatabase, {"ALTER TABLE PreferenceAccount RENAME TO Temporary ", strCreate(),
                                     strCopy(strSelect), "DROP TABLE IF EXISTS Temporary "});
        if (!strError.isEmpty()) {
            qWarning("MainUpdate: the account table was left in its older layout: %s", qUtf8Printable(strError));
        }
        return strError.isEmpty();
    }

    // A layout this program does not know: kept whole under another name, and a current table made beside it.
    const QString strBackup = findBackupName(objectDatabase);
    const QString strError =
        execute(objectDatabase, {"ALTER TABLE PreferenceAccount RENAME TO " + strBackup + " ", strCreate()});
    if (strError.isEmpty()) {
        qWarning("MainUpdate: the account table has an unknown layout and was kept as table %s",
                 qUtf8Printable(strBackup));
    } else {
        qWarning("MainUpdate: the account table has an unknown layout and was left as it was: %s",
                 qUtf8Printable(strError));
    }
    return strError.isEmpty();
}

// Rows are numbered from 1 up. Rows that another program numbered 0 or beyond the int range are out of every
// caller's reach (the store steps over them), and after one beyond it every new row would be numbered out of
// reach too; negative numbers are put in order with them. They are given the next numbers after the highest
// reachable one, in their own order, and the table's counter is set back to the last of them. Quietly nothing
// when the table is not of the current layout or cannot be read.
void renumberUnreachable(QSqlDatabase &objectDatabase) {
    const QString strIntMax = QString::number(std::numeric_limits<int>::max());
    QSqlQuery objectQuery(objectDatabase);
    if (!objectQuery.exec("SELECT intIdent FROM PreferenceAccount WHERE typeof(intIdent) = 'integer' AND "
                          "(intIdent < 1 OR intIdent > " +
                          strIntMax + ") ORDER BY intIdent")) {
        return;
    }
    QList<qlonglong> qlistUnreachable;
    while (objectQuery.next()) {
        qlistUnreachable.append(objectQuery.value(0).toLongLong());
    }
    if (qlistUnreachable.isEmpty()) {
        return;
    }

    // Above the counter too while it is still in range, so that no number of a deleted row is given again.
    const bool boolCounter =
        objectQuery.exec("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'sqlite_sequence'") &&
        objectQuery.next();
    qlonglong intHighest = 0;
    QStringList qstringlistHighest = {"SELECT MAX(intIdent) FROM PreferenceAccount WHERE intIdent BETWEEN 1 AND " +
                                      strIntMax};
    if (boolCounter) {
        qstringlistHighest.append("SELECT MAX(seq) FROM sqlite_sequence WHERE name = 'PreferenceAccount' AND seq "
                                  "BETWEEN 1 AND " +
                                  strIntMax);
    }
    for (const QString &strHighest : qstringlistHighest) {
        if (!objectQuery.exec(strHighest)) {
            return;
        }
        if (objectQuery.next()) {
            intHighest = qMax(intHighest, objectQuery.value(0).toLongLong());
        }
    }
    objectQuery.finish();

    const qlonglong intLast = intHighest + qlistUnreachable.size();
    if (intLast > std::numeric_limits<int>::max()) {
        qWarning("MainUpdate: accounts numbered out of reach by another program: %d, left as they were: no numbers "
                 "are left",
                 int(qlistUnreachable.size()));
        return;
    }

    QStringList qstringlistStatement;
    for (int intIndex = 0; intIndex < qlistUnreachable.size(); intIndex += 1) {
        qstringlistStatement.append(
            "UPDATE PreferenceAccount SET intIdent = " + QString::number(intHighest + 1 + intIndex) +
            " WHERE intIdent = " + QString::number(qlistUnreachable[intIndex]));
    }
    if (boolCounter) {
        qstringlistStatement.append("UPDATE sqlite_sequence SET seq = " + QString::number(intLast) +
                                    " WHERE name = 'PreferenceAccount'");
    }
    const QString strError = execute(objectDatabase, qstringlistStatement);
    if (strError.isEmpty()) {
        qWarning("MainUpdate: accounts numbered out of reach by another program: %d, now numbered %lld to %lld",
                 int(qlistUnreachable.size()), intHighest + 1, intLast);
    } else {
        qWarning("MainUpdate: accounts numbered out of reach by another program were left as they were: %s",
                 qUtf8Printable(strError));
    }
}

} // namespace

void MainUpdate::run() {
    // Values no version ever wrote leave every settings file now, so that the page can tell of them at its first
    // load rather than whenever a file happens to be read.
    for (const char *strName : {"PreferenceAccountSelected.ini", "PreferenceLanguage.ini"}) {
        PreferenceSettings::prepare(PreferenceSettings::path(strName));
    }

    const QString strSettings = PreferenceSettings::path("PreferenceAccount.ini");

    // A settings file that cannot be made safe to read is neither read nor written: the upgrade counts as due,
    // which is harmless, since the conversion below leaves a table of the current layout alone.
    const bool boolPending = PreferenceSettings::read(strSettings, "boolUpdate(4.0)", true).toBool();

    // After the upgrade, a start opens the database only when there is one: it is made by the store, not here.
    if (!boolPending && !QFile::exists(PreferenceSettings::path("PreferenceAccount.sqlite"))) {
        return;
    }

    // The database file is made at the first start, so its folder must be there.
    QDir().mkpath(QCoreApplication::applicationDirPath() + "/res");

    bool boolDone = false;
    {
        QSqlDatabase objectDatabase = PreferenceAccount::registerConnection();
        if (!boolPending) {
            // Only the renumbering is left, which can wait for the next start rather than for another program.
            objectDatabase.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
        }
        const bool boolOpen = objectDatabase.open();
        const QString strDamage = boolOpen ? PreferenceAccount::examine(objectDatabase) : QString();
        if (!strDamage.isEmpty()) {
            // Perhaps the only copy of the user's list: not touched, and the upgrade stays due.
            qWarning("MainUpdate: the database is no account list (%s) and is left unchanged",
                     qUtf8Printable(strDamage));
        } else if (boolOpen) {
            boolDone = !boolPending || convert(objectDatabase);
            renumberUnreachable(objectDatabase);
        } else {
            qWarning("MainUpdate: %s", qUtf8Printable(objectDatabase.lastError().text().simplified()));
        }
        objectDatabase.close();
    }

    // Unregistered once no handle on it is left, so that the account store can register its own cleanly.
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));

    // Done only once nothing is left to convert: a conversion that failed (a database locked by another
    // program, a file that could not be read) is tried again at the next start instead of leaving the old table
    // unconverted and the account list empty for good.
    if (boolPending && boolDone) {
        PreferenceSettings::write(strSettings, "boolUpdate(4.0)", false);
    }
}
