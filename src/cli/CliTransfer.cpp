#include "cli/CliTransfer.h"

#include "preference/PreferenceAccount.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlError>

#include <cmath>
#include <limits>

namespace {

// A string as JSON.stringify writes it.
QString jsonString(const QString &strText) {
    QString strResult = "\"";
    for (const QChar charUnit : strText) {
        const ushort intCode = charUnit.unicode();
        switch (intCode) {
        case '"':
            strResult += QLatin1String("\\\"");
            break;
        case '\\':
            strResult += QLatin1String("\\\\");
            break;
        case '\b':
            strResult += QLatin1String("\\b");
            break;
        case '\f':
            strResult += QLatin1String("\\f");
            break;
        case '\n':
            strResult += QLatin1String("\\n");
            break;
        case '\r':
            strResult += QLatin1String("\\r");
            break;
        case '\t':
            strResult += QLatin1String("\\t");
            break;
        default:
            if (intCode < 0x20) {
                strResult += QString("\\u%1").arg(intCode, 4, 16, QChar('0'));
            } else {
                strResult += charUnit;
            }
        }
    }
    return strResult + '"';
}

// JSON.parse refuses control characters inside a string, which Qt's reader lets through.
bool hasRawControl(const QString &strText) {
    bool boolString = false;
    for (int intIndex = 0; intIndex < strText.size(); intIndex += 1) {
        const QChar charUnit = strText.at(intIndex);
        if (!boolString) {
            boolString = charUnit == '"';
        } else if (charUnit == '\\') {
            intIndex += 1;
        } else if (charUnit == '"') {
            boolString = false;
        } else if (charUnit.unicode() < 0x20) {
            return true;
        }
    }
    return false;
}

// The entry as an account; what the window's import says of the first fault in it, checked in the window's
// order ("type" of strField, "broken" for half of a surrogate pair in strField, "website", "length", "special"),
// or an empty text.
QString read(const QJsonValue &valueEntry, CliAccount *objectAccount, QString *strField) {
    *strField = "strWebsite";
    if (!valueEntry.isObject()) {
        return "type";
    }
    const QJsonObject objectEntry = valueEntry.toObject();
    const QStringList qstringlistText = {"strWebsite", "strMail", "strUser", "strNote", "strSpecial"};
    for (int intText = 0; intText < qstringlistText.size(); intText += 1) {
        // Website and mail are required; the others may be left out, but not be null.
        const QString &strName = qstringlistText.at(intText);
        if (!objectEntry.value(strName).isString() && (intText < 2 || objectEntry.contains(strName))) {
            *strField = strName;
            return "type";
        }
    }
    objectAccount->strWebsite = objectEntry.value("strWebsite").toString();
    objectAccount->strMail = objectEntry.value("strMail").toString();
    objectAccount->strUser = objectEntry.value("strUser").toString("");
    objectAccount->strNote = objectEntry.value("strNote").toString("");
    objectAccount->strSpecial = objectEntry.value("strSpecial").toString("");
    // Half of a surrogate pair is no character: the store would keep another text than the one given.
    for (const QString &strName : qstringlistText) {
        const QString strText = objectEntry.value(strName).toString();
        for (int intUnit = 0; intUnit < strText.size(); intUnit += 1) {
            if (PreferenceAccount::isLoneSurrogate(strText, intUnit)) {
                *strField = strName;
                return "broken";
            }
        }
    }
    if (CliAccount::trimmed(objectAccount->strWebsite).isEmpty()) {
        return "website";
    }
    *strField = "intLength";
    if (objectEntry.contains("intLength")) {
        // A whole number, as JavaScript's Number.isInteger takes it: 15.0 and 1.5e1 are 15.
        const QJsonValue valueLength = objectEntry.value("intLength");
        const double dblLength = valueLength.toDouble();
        if (!valueLength.isDouble() || std::trunc(dblLength) != dblLength || dblLength < CliAccount::intLengthMin ||
            dblLength > CliAccount::intLengthMax) {
            return "length";
        }
        objectAccount->intLength = int(dblLength);
    }
    *strField = "strSpecial";
    return CliAccount::isMarkers(objectAccount->strSpecial) ? QString() : QString("special");
}

QString key(const CliAccount &objectAccount) {
    return QStringList({objectAccount.strWebsite, objectAccount.strMail, objectAccount.strUser, objectAccount.strNote,
                        QString::number(objectAccount.intLength), objectAccount.strSpecial})
        .join(QChar(0));
}

} // namespace

QString CliTransfer::exportText(const QList<CliAccount> &qlistAccount) {
    if (qlistAccount.isEmpty()) {
        return "[]";
    }
    QStringList qstringlistEntry;
    for (const CliAccount &objectAccount : qlistAccount) {
        qstringlistEntry.append(QString("  {\n"
                                        "    \"strWebsite\": %1,\n"
                                        "    \"strMail\": %2,\n"
                                        "    \"strUser\": %3,\n"
                                        "    \"strNote\": %4,\n"
                                        "    \"intLength\": %5,\n"
                                        "    \"strSpecial\": %6\n"
                                        "  }")
                                    .arg(jsonString(objectAccount.strWebsite), jsonString(objectAccount.strMail),
                                         jsonString(objectAccount.strUser), jsonString(objectAccount.strNote),
                                         QString::number(objectAccount.intLength),
                                         jsonString(objectAccount.strSpecial)));
    }
    return "[\n" + qstringlistEntry.join(",\n") + "\n]";
}

void CliTransfer::parse(const QString &strText) {
    strReason.clear();
    intIndex = 0;
    strField.clear();
    strFault.clear();
    qlistAccount.clear();

    if (CliAccount::trimmed(strText).isEmpty()) {
        strReason = "empty";
        return;
    }
    QJsonParseError objectError;
    const QJsonDocument objectDocument = QJsonDocument::fromJson(strText.toUtf8(), &objectError);
    if (objectDocument.isNull() || hasRawControl(strText)) {
        // Qt reads only a list or an object; any other single JSON value is valid JSON, but no list.
        const QJsonDocument objectWrapped = QJsonDocument::fromJson("[" + strText.toUtf8() + "]");
        const bool boolValue = !hasRawControl(strText) && objectWrapped.isArray() && objectWrapped.array().size() == 1;
        strReason = boolValue ? "list" : "json";
        return;
    }
    if (!objectDocument.isArray()) {
        strReason = "list";
        return;
    }

    const QJsonArray objectArray = objectDocument.array();
    for (int intEntry = 0; intEntry < objectArray.size(); intEntry += 1) {
        CliAccount objectAccount;
        strFault = read(objectArray.at(intEntry), &objectAccount, &strField);
        if (!strFault.isEmpty()) {
            strReason = "entry";
            intIndex = intEntry + 1;
            qlistAccount.clear();
            return;
        }
        qlistAccount.append(objectAccount);
    }
}

QString CliTransfer::reasonText() const {
    if (strReason == "empty") {
        return "the text is empty";
    }
    if (strReason == "json") {
        return "the text is not valid JSON";
    }
    if (strReason == "list") {
        return "the JSON text is not a list of accounts";
    }
    // The window's words for each fault.
    const QString strEntry = QString("entry %1: ").arg(intIndex);
    if (strFault == "website") {
        return strEntry + "the website is empty";
    }
    if (strFault == "length") {
        return strEntry + QString("the length must be a whole number from %1 to %2")
                              .arg(CliAccount::intLengthMin)
                              .arg(CliAccount::intLengthMax);
    }
    if (strFault == "special") {
        return strEntry + "the special characters may only be ! ? @ #";
    }
    if (strFault == "broken") {
        return strEntry + strField + " holds a broken character (half of a surrogate pair)";
    }
    return strEntry + strField + " is missing or has the wrong type";
}

QList<CliAccount> CliTransfer::split(const QList<CliAccount> &qlistExisting, int *intSkipped) const {
    QSet<QString> qsetSeen;
    for (const CliAccount &objectAccount : qlistExisting) {
        qsetSeen.insert(key(objectAccount));
    }
    QList<CliAccount> qlistAdd;
    *intSkipped = 0;
    for (const CliAccount &objectAccount : qlistAccount) {
        const QString strKey = key(objectAccount);
        if (qsetSeen.contains(strKey)) {
            *intSkipped += 1;
        } else {
            qsetSeen.insert(strKey);
            qlistAdd.append(objectAccount);
        }
    }
    return qlistAdd;
}

bool CliTransfer::write(const QList<CliAccount> &qlistAccount, QString *strError) {
    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    // Not one account without the transaction: a write that fails must undo every one before it.
    objectStore->transactionOpen();
    if (!objectStore->boolWritten) {
        *strError = objectStore->strFailure;
        return false;
    }
    for (const CliAccount &objectAccount : qlistAccount) {
        objectAccount.put();
        objectStore->create();
        if (!objectStore->boolWritten) {
            break;
        }
    }
    // Kept only when every account went in; the store undoes all of them otherwise.
    objectStore->transactionClose();
    *strError = objectStore->strFailure;
    return objectStore->boolWritten;
}
