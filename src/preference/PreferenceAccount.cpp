#include "preference/PreferenceAccount.h"

#include "preference/PreferenceAccountObserver.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

#include <limits>

PreferenceAccount *PreferenceAccount::objectSingleton = nullptr;

namespace {

// One line on standard error for whoever looks after the installation. Only the database's own error text
// is written: the bound values are the user's accounts.
void reportFailure(const QSqlError &objectError) {
    const QString strText = objectError.text().simplified();
    qWarning("PreferenceAccount: %s", qUtf8Printable(strText.isEmpty() ? "the database is not open" : strText));
}

// The text as the database can keep it. SQLite converts bound UTF-16 text to UTF-8 and pairs a lone high
// surrogate with whatever unit follows it, so that the next character is lost; a lone surrogate is replaced by
// U+FFFD instead, and every other character is kept. A null text stays null.
QString storable(const QString &strText) {
    QString strResult = strText;
    for (int intIndex = 0; intIndex < strText.size(); intIndex += 1) {
        if (PreferenceAccount::isLoneSurrogate(strText, intIndex)) {
            strResult[intIndex] = QChar::ReplacementCharacter;
        }
    }
    return strResult;
}

// The record's fields, bound to the first six placeholders of the INSERT and UPDATE statements.
void bindRecord(QSqlQuery &objectQuery, const PreferenceAccount &objectRecord) {
    objectQuery.bindValue(0, storable(objectRecord.strWebsite));
    objectQuery.bindValue(1, storable(objectRecord.strMail));
    objectQuery.bindValue(2, storable(objectRecord.strUser));
    objectQuery.bindValue(3, storable(objectRecord.strNote));
    objectQuery.bindValue(4, objectRecord.intLength);
    objectQuery.bindValue(5, storable(objectRecord.strSpecial));
}

} // namespace

void PreferenceAccount::init() {
    if (objectSingleton == nullptr) {
        objectSingleton = new PreferenceAccount();
    }
}

PreferenceAccount *PreferenceAccount::obtain() {
    PreferenceAccount::init();

    return objectSingleton;
}

void PreferenceAccount::dispel() {
    if (objectSingleton != nullptr) {
        delete objectSingleton;
        objectSingleton = nullptr;
    }
}

bool PreferenceAccount::isLoneSurrogate(const QString &strText, int intIndex) {
    const QChar charUnit = strText.at(intIndex);
    if (charUnit.isHighSurrogate()) {
        return intIndex + 1 == strText.size() || !strText.at(intIndex + 1).isLowSurrogate();
    }
    return charUnit.isLowSurrogate() && (intIndex == 0 || !strText.at(intIndex - 1).isHighSurrogate());
}

QString PreferenceAccount::examine(QSqlDatabase &objectDatabase) {
    QSqlQuery objectQuery(objectDatabase);
    if (!objectQuery.exec("SELECT COUNT(*), (SELECT type FROM sqlite_master WHERE name = 'PreferenceAccount' "
                          "COLLATE NOCASE) FROM sqlite_master")) {
        // SQLITE_CORRUPT and SQLITE_NOTADB; a busy or locked file is another program's moment, not damage.
        const QString strCode = objectQuery.lastError().nativeErrorCode();
        return strCode == "11" || strCode == "26" ? QString("unreadable") : QString();
    }
    if (!objectQuery.next() || objectQuery.value(0).toInt() == 0) {
        return QString();
    }
    const QString strType = objectQuery.value(1).toString();
    return strType == "table" ? QString() : strType == "view" ? QString("view") : QString("missing");
}

QSqlDatabase PreferenceAccount::registerConnection() {
    // The start-up upgrade unregisters its own; a store that was dispelled leaves one behind.
    const QString strConnection = QLatin1String(QSqlDatabase::defaultConnection);
    if (QSqlDatabase::contains(strConnection)) {
        QSqlDatabase::removeDatabase(strConnection);
    }
    QSqlDatabase objectDatabase = QSqlDatabase::addDatabase("QSQLITE", strConnection);
    objectDatabase.setDatabaseName(QCoreApplication::applicationDirPath() + "/res/PreferenceAccount.sqlite");
    return objectDatabase;
}

// The connection is registered before the statement members exist, so that they are made on it.
PreferenceAccount::PreferenceAccount() : objectDatabase(registerConnection()) {
    if (!objectDatabase.open()) {
        reportFailure(objectDatabase.lastError());
    } else {
        strDamage = examine(objectDatabase);
    }
    if (!strDamage.isEmpty()) {
        // The file may be the user's last copy of the list: nothing, not even the page's own statements, may
        // change it, so it is opened again for reading only.
        qWarning("PreferenceAccount: %s is no account list (%s); it is left unchanged",
                 qUtf8Printable(objectDatabase.databaseName()), qUtf8Printable(strDamage));
        objectDatabase.close();
        objectDatabase.setConnectOptions("QSQLITE_OPEN_READONLY");
        objectDatabase.open();
    }

    QSqlQuery objectTable(objectDatabase);
    if (strDamage.isEmpty() &&
        !objectTable.exec(QString() + "CREATE TABLE IF NOT EXISTS PreferenceAccount " + "\t( " +
                          "\t\tintIdent INTEGER PRIMARY KEY AUTOINCREMENT, " + "\t\tstrWebsite TEXT, " +
                          "\t\tstrMail TEXT, " + "\t\tstrUser TEXT, " + "\t\tstrNote TEXT, " +
                          "\t\tintLength INTEGER, " + "\t\tstrSpecial TEXT " + "\t) ")) {
        reportFailure(objectTable.lastError());
    }

    objectCreate = QSqlQuery(objectDatabase);
    if (!objectCreate.prepare(QString() + "INSERT INTO PreferenceAccount " + "\t( " + "\t\tstrWebsite, " +
                              "\t\tstrMail, " + "\t\tstrUser, " + "\t\tstrNote, " + "\t\tintLength, " +
                              "\t\tstrSpecial " + "\t) " + "VALUES " + "\t( " + "\t\t?, " + "\t\t?, " + "\t\t?, " +
                              "\t\t?, " + "\t\t?, " + "\t\t? " + "\t) ")) {
        reportFailure(objectCreate.lastError());
    }

    objectSave = QSqlQuery(objectDatabase);
    if (!objectSave.prepare(QString() + "UPDATE PreferenceAccount " + "SET " + "\tstrWebsite = ?, " +
                            "\tstrMail = ?, " + "\tstrUser = ?, " + "\tstrNote = ?, " + "\tintLength = ?, " +
                            "\tstrSpecial = ? " + "WHERE intIdent = ? ")) {
        reportFailure(objectSave.lastError());
    }

    objectRemove = QSqlQuery(objectDatabase);
    if (!objectRemove.prepare(QString() + "DELETE FROM PreferenceAccount " + "WHERE intIdent = ? ")) {
        reportFailure(objectRemove.lastError());
    }

    objectClear = QSqlQuery(objectDatabase);
    if (!objectClear.prepare(QString() + "DELETE FROM PreferenceAccount ")) {
        reportFailure(objectClear.lastError());
    }

    objectCount = QSqlQuery(objectDatabase);
    if (!objectCount.prepare(QString() + "SELECT COUNT(*) FROM PreferenceAccount ")) {
        reportFailure(objectCount.lastError());
    }

    objectSelect = QSqlQuery(objectDatabase);

    clearRecord();
}

PreferenceAccount::~PreferenceAccount() {
    objectCreate.clear();
    objectSave.clear();
    objectRemove.clear();
    objectClear.clear();
    objectCount.clear();
    objectSelect.clear();

    objectDatabase.close();

    clearRecord();
}

void PreferenceAccount::acquire() {
    // Every caller runs on the GUI thread: waiting for a lock that is already held would wait for ever, so
    // a lock that is held is left as it is.
    objectMutex.tryLock();
}

void PreferenceAccount::release() {
    // Unlocking a free mutex is undefined: a free one is taken here, so that the unlock below always finds
    // it held.
    objectMutex.tryLock();
    objectMutex.unlock();
}

void PreferenceAccount::transactionOpen() {
    if (!objectDatabase.transaction()) {
        reportFailure(objectDatabase.lastError());
        conclude(false, objectDatabase.lastError().text());
        return;
    }
    boolTransaction = true;
    boolTransactionFailed = false;
    strTransactionFailure.clear();
    conclude(true, QString());
}

void PreferenceAccount::transactionClose() {
    if (boolTransactionFailed) {
        // All or nothing: what went through before the failure goes as well.
        objectDatabase.rollback();
        qWarning("PreferenceAccount: a change inside the transaction failed; none of its changes was kept");
        conclude(false, strTransactionFailure);
    } else if (!objectDatabase.commit()) {
        reportFailure(objectDatabase.lastError());
        conclude(false, objectDatabase.lastError().text());
        // A commit refused while another connection reads leaves the transaction open, and every later change
        // would join it and never be committed. It is undone instead.
        if (boolTransaction) {
            objectDatabase.rollback();
        }
    } else {
        conclude(true, QString());
    }
    boolTransaction = false;
    boolTransactionFailed = false;
}

void PreferenceAccount::selectOpen(QString strSql, QStringList qstringlistParameter) {
    objectSelect = QSqlQuery(objectDatabase);
    findColumns();

    if (!objectSelect.prepare(strSql)) {
        reportFailure(objectSelect.lastError());
        failTransaction(objectSelect.lastError().text());
        return;
    }

    for (int intParameter = 0; intParameter < qstringlistParameter.size(); intParameter += 1) {
        // Always text, an empty one included: a null string would be bound as NULL and compare unequal to ''.
        QString strParameter = storable(qstringlistParameter.at(intParameter));
        if (strParameter.isNull()) {
            strParameter = QLatin1String("");
        }
        objectSelect.bindValue(intParameter, strParameter, QSql::In);
    }

    // The driver refuses to run a statement whose placeholders and values differ in number; such a cursor
    // yields no rows and, for a changing statement, changes nothing.
    if (!execute(objectSelect)) {
        failTransaction(objectSelect.lastError().text());
    }

    findColumns();
}

void PreferenceAccount::selectNext() {
    while (objectSelect.next()) {
        if (loadRow()) {
            return;
        }
    }
    clearRecord();
}

bool PreferenceAccount::loadRow() {
    // A row that another program numbered 0 or beyond the int range is stepped over: read into the int it would
    // stand for another row (4294967297 as 1) or for the end of the list (4294967296 as 0).
    int intRowIdent = 0;
    const QVariant variantIdent = intColumnIdent == -1 ? QVariant() : objectSelect.value(intColumnIdent);
    bool boolNumber = false;
    const qlonglong intValue = variantIdent.isNull() ? 0 : variantIdent.toLongLong(&boolNumber);
    if (boolNumber) {
        if (intValue == 0 || intValue < std::numeric_limits<int>::min() || intValue > std::numeric_limits<int>::max()) {
            if (!boolIdentWarned) {
                boolIdentWarned = true;
                qWarning("PreferenceAccount: rows numbered 0 or beyond 32 bits (written by another program) are "
                         "left out of the list and never changed");
            }
            return false;
        }
        intRowIdent = int(intValue);
    }

    intIdent = intRowIdent;
    strWebsite = intColumnWebsite == -1 ? QString() : objectSelect.value(intColumnWebsite).toString();
    strMail = intColumnMail == -1 ? QString() : objectSelect.value(intColumnMail).toString();
    strUser = intColumnUser == -1 ? QString() : objectSelect.value(intColumnUser).toString();
    strNote = intColumnNote == -1 ? QString() : objectSelect.value(intColumnNote).toString();
    intLength = intColumnLength == -1 ? 0 : objectSelect.value(intColumnLength).toInt();
    strSpecial = intColumnSpecial == -1 ? QString() : objectSelect.value(intColumnSpecial).toString();
    return true;
}

void PreferenceAccount::selectClose() {
    objectSelect.finish();
}

void PreferenceAccount::create() {
    bindRecord(objectCreate, *this);
    if (change(objectCreate)) {
        // After rows that another program numbered beyond the int range, the new row is numbered after them,
        // where no caller could ever reach it: it is taken out again, and the creation has failed.
        const QVariant variantCreated = objectCreate.lastInsertId();
        if (variantCreated.isValid() && variantCreated.toLongLong() > std::numeric_limits<int>::max()) {
            qWarning("PreferenceAccount: the new row would be numbered beyond 32 bits and was not kept");
            objectRemove.bindValue(0, variantCreated.toLongLong());
            execute(objectRemove);
            conclude(false, "the list holds rows numbered beyond 32 bits");
            failTransaction(strFailure);
        }
    }

    PreferenceAccountObserver::obtain()->update();
}

void PreferenceAccount::save() {
    bindRecord(objectSave, *this);
    objectSave.bindValue(6, intIdent);
    change(objectSave);

    PreferenceAccountObserver::obtain()->update();
}

void PreferenceAccount::remove() {
    objectRemove.bindValue(0, intIdent);
    change(objectRemove);

    PreferenceAccountObserver::obtain()->update();
}

void PreferenceAccount::clear() {
    change(objectClear);

    PreferenceAccountObserver::obtain()->update();
}

int PreferenceAccount::count() {
    int intCount = 0;
    execute(objectCount);
    if (objectCount.next()) {
        intCount = objectCount.value(0).toInt();
    }
    // A statement left open on its result would keep the table locked against dropping or altering.
    objectCount.finish();

    return intCount;
}

void PreferenceAccount::clearRecord() {
    intIdent = 0;
    strWebsite = QString();
    strMail = QString();
    strUser = QString();
    strNote = QString();
    intLength = 0;
    strSpecial = QString();
}

void PreferenceAccount::findColumns() {
    const QSqlRecord objectRecord = objectSelect.record();
    intColumnIdent = objectRecord.indexOf("intIdent");
    intColumnWebsite = objectRecord.indexOf("strWebsite");
    intColumnMail = objectRecord.indexOf("strMail");
    intColumnUser = objectRecord.indexOf("strUser");
    intColumnNote = objectRecord.indexOf("strNote");
    intColumnLength = objectRecord.indexOf("intLength");
    intColumnSpecial = objectRecord.indexOf("strSpecial");
}

bool PreferenceAccount::execute(QSqlQuery &objectQuery) {
    if (!objectQuery.exec()) {
        reportFailure(objectQuery.lastError());
        return false;
    }
    return true;
}

bool PreferenceAccount::change(QSqlQuery &objectQuery) {
    // Once a change inside the transaction has failed, the rest would be undone anyway.
    if (boolTransactionFailed) {
        conclude(false, "an earlier change of the same transaction failed: " + strTransactionFailure);
        return false;
    }
    if (!execute(objectQuery)) {
        conclude(false, objectQuery.lastError().text());
        failTransaction(strFailure);
        return false;
    }
    conclude(true, QString());
    return true;
}

void PreferenceAccount::failTransaction(const QString &strWhy) {
    if (!boolTransaction || boolTransactionFailed) {
        return;
    }
    boolTransactionFailed = true;
    strTransactionFailure = strWhy;
    // After some failures (a full disk, an I/O error) SQLite has already undone the transaction, and whatever
    // the caller runs until transactionClose would be committed statement by statement. A new transaction
    // holds it back; while the first one is still open the database refuses this, which is as good.
    objectDatabase.transaction();
}

void PreferenceAccount::conclude(bool boolDone, const QString &strWhy) {
    boolWritten = boolDone;
    strFailure = boolDone ? QString() : strWhy.simplified();
    if (!boolDone && strFailure.isEmpty()) {
        strFailure = "the database is not open";
    }
}
