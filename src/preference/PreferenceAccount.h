#pragma once

#include <QMutex>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// The account list in res/PreferenceAccount.sqlite, worked record by record: the page fills the current record
// and inserts, updates or deletes it, or opens a cursor with a query of its own and steps through the rows.
class PreferenceAccount {
public:
    static PreferenceAccount *objectSingleton;

public:
    QSqlDatabase objectDatabase;
    QMutex objectMutex;
    QSqlQuery objectCreate;
    QSqlQuery objectSave;
    QSqlQuery objectRemove;
    QSqlQuery objectClear;
    QSqlQuery objectCount;
    QSqlQuery objectSelect;

    // The current record; text fields without a value are null and are stored as NULL.
    int intIdent;
    QString strWebsite;
    QString strMail;
    QString strUser;
    QString strNote;
    int intLength;
    QString strSpecial;

public:
    static void init();
    static PreferenceAccount *obtain();
    static void dispel();

    // The default connection to res/PreferenceAccount.sqlite, registered afresh and not yet open. An earlier
    // registration under the same name is removed first, which is clean once no copy of it is alive any more.
    static QSqlDatabase registerConnection();

public:
    PreferenceAccount();
    ~PreferenceAccount();

    PreferenceAccount(const PreferenceAccount &) = delete;
    PreferenceAccount &operator=(const PreferenceAccount &) = delete;

    void acquire();
    void release();

    void transactionOpen();
    void transactionClose();

    void selectOpen(QString strSql, QStringList qstringlistParameter);
    void selectNext();
    void selectClose();

    void create();
    void save();
    void remove();
    void clear();
    int count();

private:
    // Positions of the record's columns in the cursor's result, -1 where the result has no such column.
    // The result's columns are fixed once the cursor has run, so they are looked up then and not per row.
    int intColumnIdent = -1;
    int intColumnWebsite = -1;
    int intColumnMail = -1;
    int intColumnUser = -1;
    int intColumnNote = -1;
    int intColumnLength = -1;
    int intColumnSpecial = -1;

    // The transaction the caller opened, and whether a statement inside it failed: from then on nothing more is
    // written, and transactionClose undoes the whole of it.
    bool boolTransaction = false;
    bool boolTransactionFailed = false;

    // Rows whose identifier the record cannot carry are left out of every cursor; said once.
    bool boolIdentWarned = false;

    void clearRecord();
    void findColumns();
    bool loadRow();
    bool execute(QSqlQuery &objectQuery);
    bool change(QSqlQuery &objectQuery);
    void failTransaction();
};
