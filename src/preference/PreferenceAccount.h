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

    // How the last create, save, remove, clear, transactionOpen or transactionClose went: whether it reached the
    // database (for transactionClose: whether every change inside was kept), and why not, in the database's
    // words. The page reads the list back instead; callers that cannot, such as the terminal companion, look here.
    bool boolWritten = false;
    QString strFailure;

    // Why res/PreferenceAccount.sqlite is no account list this program may change, as examine() words it;
    // empty when it is one. A damaged file is then opened read-only and left exactly as it is.
    QString strDamage;

public:
    static void init();
    static PreferenceAccount *obtain();
    static void dispel();

    // The default connection to res/PreferenceAccount.sqlite, registered afresh and not yet open. An earlier
    // registration under the same name is removed first, which is clean once no copy of it is alive any more.
    static QSqlDatabase registerConnection();

    // What is wrong with the open database, read without writing: "unreadable" (not a database, or a damaged
    // one), "view" (the account table is a view) or "missing" (a database of other tables only); empty when it
    // is an account list or still empty. A database that another program holds locked counts as sound.
    static QString examine(QSqlDatabase &objectDatabase);

    // Whether the UTF-16 unit at intIndex is half of a surrogate pair without its other half: no character at
    // all, and nothing the database can keep.
    static bool isLoneSurrogate(const QString &strText, int intIndex);

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
    QString strTransactionFailure;

    // Rows whose identifier the record cannot carry are left out of every cursor; said once.
    bool boolIdentWarned = false;

    void clearRecord();
    void findColumns();
    bool loadRow();
    bool execute(QSqlQuery &objectQuery);
    bool change(QSqlQuery &objectQuery);
    void failTransaction(const QString &strWhy);
    void conclude(bool boolDone, const QString &strWhy);
};
