#include "preference/PreferenceNotice.h"

#include "preference/PreferenceAccount.h"
#include "preference/PreferenceSettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject notice(const QString &strKind, const QString &strPath) {
    QJsonObject objectNotice;
    objectNotice.insert("strKind", strKind);
    objectNotice.insert("strPath", strPath);
    return objectNotice;
}

} // namespace

QString PreferenceNotice::json() {
    QJsonArray objectArray;
    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    if (!objectStore->strDamage.isEmpty()) {
        objectArray.append(notice("database-" + objectStore->strDamage, objectStore->objectDatabase.databaseName()));
    }
    for (const QString &strPath : PreferenceSettings::removed()) {
        objectArray.append(notice("settings-removed", strPath));
    }
    return QString::fromUtf8(QJsonDocument(objectArray).toJson(QJsonDocument::Compact));
}

QString PreferenceNotice::script() {
    // JSON allows two line ends inside strings that a script does not.
    return "window.jsNotices = " + json().replace(QChar(0x2028), "\\u2028").replace(QChar(0x2029), "\\u2029") + ";";
}
