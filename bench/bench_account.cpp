#include "Bench.h"

#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountJavascriptinterface.h"
#include "preference/PreferenceAccountObserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {

const int intAccounts = 10000;

// The same JSON as getAll, written straight from a query: the least the work can cost.
QString bareLoop(const QSqlDatabase &objectDatabase, const QString &strSql) {
    QSqlQuery objectQuery(objectDatabase);
    objectQuery.prepare(strSql);
    objectQuery.exec();
    const QSqlRecord objectRecord = objectQuery.record();
    const int intIdent = objectRecord.indexOf("intIdent");
    const int intWebsite = objectRecord.indexOf("strWebsite");
    const int intMail = objectRecord.indexOf("strMail");
    const int intUser = objectRecord.indexOf("strUser");
    const int intNote = objectRecord.indexOf("strNote");
    const int intLength = objectRecord.indexOf("intLength");
    const int intSpecial = objectRecord.indexOf("strSpecial");

    QJsonArray objectArray;
    while (objectQuery.next()) {
        QJsonObject objectAccount;
        objectAccount.insert("intIdent", objectQuery.value(intIdent).toInt());
        objectAccount.insert("strWebsite", objectQuery.value(intWebsite).toString());
        objectAccount.insert("strMail", objectQuery.value(intMail).toString());
        objectAccount.insert("strUser", objectQuery.value(intUser).toString());
        objectAccount.insert("strNote", objectQuery.value(intNote).toString());
        objectAccount.insert("intLength", objectQuery.value(intLength).toInt());
        objectAccount.insert("strSpecial", objectQuery.value(intSpecial).toString());
        objectArray.append(objectAccount);
    }
    return QString::fromUtf8(QJsonDocument(objectArray).toJson(QJsonDocument::Compact));
}

} // namespace

// The page lists the accounts with selectOpen, getAll and selectClose; the list is read whole every time it
// changes, so this is the path that grows with the user's list.
TESSALOQUIN_BENCH(account) {
    const QString strDatabase = QCoreApplication::applicationDirPath() + "/res/PreferenceAccount.sqlite";
    QDir().mkpath(QCoreApplication::applicationDirPath() + "/res");
    QFile::remove(strDatabase);

    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    objectStore->transactionOpen();
    for (int intAccount = 0; intAccount < intAccounts; intAccount += 1) {
        objectStore->strWebsite = QString("website-%1.example.org").arg(intAccount);
        objectStore->strMail = QString::fromUtf8("zoë.%1@example.org").arg(intAccount);
        objectStore->strUser = QString("user %1").arg(intAccount);
        objectStore->strNote = intAccount % 3 == 0 ? QString() : QString("a note with \"quotes\"\nand a line break");
        objectStore->intLength = 8 + intAccount % 57;
        objectStore->strSpecial = "!#$%&*+-";
        objectStore->create();
    }
    objectStore->transactionClose();

    PreferenceAccountJavascriptinterface objectBridge;
    const QString strSql = "SELECT * FROM PreferenceAccount ORDER BY strWebsite";
    const auto getAll = [&]() {
        objectStore->selectOpen(strSql, {});
        const QString strJson = objectBridge.getAll();
        objectStore->selectClose();
        return strJson;
    };

    if (getAll() != bareLoop(objectStore->objectDatabase, strSql)) {
        qFatal("getAll and the bare loop disagree");
    }

    const double floatMeasured = benchMedianNanoseconds([&]() { getAll(); }, 1, 11);
    const double floatFloor = benchMedianNanoseconds([&]() { bareLoop(objectStore->objectDatabase, strSql); }, 1, 11);

    PreferenceAccount::dispel();
    QFile::remove(strDatabase);

    return {{"account getAll, 10,000 rows", floatMeasured, floatFloor, 1.5, "ns"}};
}
