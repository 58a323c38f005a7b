#include "cli/CliStrength.h"

#include "language/Language.h"
#include "preference/PreferenceLanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QJSEngine>
#include <QJSValueList>

namespace {

// Runs one script of the page's assets folder; false when it is missing or throws.
bool evaluate(QJSEngine &objectEngine, const QString &strRelative) {
    QFile objectFile(QCoreApplication::applicationDirPath() + "/assets/" + strRelative);
    if (!objectFile.open(QIODevice::ReadOnly)) {
        return false;
    }
    return !objectEngine.evaluate(QString::fromUtf8(objectFile.readAll()), strRelative).isError();
}

} // namespace

QString CliStrength::describe(const QString &strMaster) {
    QJSEngine objectEngine;
    if (!evaluate(objectEngine, "js/estimate.js")) {
        return QString();
    }
    // The dictionaries of the language the window shows, as there.
    const QString strLanguage = PreferenceLanguage::obtain()->getStrName();
    QJSValue valueEstimate = objectEngine.globalObject().property("Estimate");
    const QStringList qstringlistScript =
        valueEstimate.property("scripts").call({strLanguage}).toVariant().toStringList();
    for (const QString &strScript : qstringlistScript) {
        if (!evaluate(objectEngine, strScript)) {
            return QString();
        }
    }

    // The terminal speaks English: the texts of the English catalogue.
    Language objectEnglish;
    objectEnglish.setStrLanguage("en");
    if (objectEnglish.qmapString.isEmpty()) {
        return QString();
    }
    QJSValue valueTexts = objectEngine.newObject();
    for (auto objectEntry = objectEnglish.qmapString.cbegin(); objectEntry != objectEnglish.qmapString.cend();
         ++objectEntry) {
        valueTexts.setProperty(objectEntry.key(), objectEntry.value());
    }

    const QJSValue valueFactory =
        valueEstimate.property("create").call({objectEngine.globalObject().property("zxcvbnts"), strLanguage});
    const QJSValue valueResult = valueEstimate.property("estimate").call({valueFactory, strMaster});
    const QJSValue valueWords =
        valueEstimate.property("describe").call({valueResult, valueEstimate.property("texts").call({valueTexts})});
    if (valueFactory.isError() || valueResult.isError() || valueWords.isError()) {
        return QString();
    }
    const QString strReason = valueWords.property("strReason").toString();
    return "Master password: " + valueWords.property("strLine").toString() +
           (strReason.isEmpty() ? QString() : " " + strReason);
}
