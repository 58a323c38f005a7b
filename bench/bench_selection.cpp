#include "Bench.h"

#include "language/Language.h"
#include "preference/PreferenceAccountSelected.h"
#include "preference/PreferenceAccountSelectedJavascriptinterface.h"
#include "preference/PreferenceLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A catalogue of the size the page ships: 750 entries of a sentence each.
QByteArray catalogue() {
    QByteArray byteContent("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<resources>\n");
    for (int intIndex = 0; intIndex < 750; intIndex += 1) {
        byteContent += "    <string name=\"text_" + QByteArray::number(intIndex) +
                       "\">Ein Satz von ungef\xc3\xa4hr sechzig Zeichen L\xc3\xa4nge, Nummer " +
                       QByteArray::number(intIndex) + ".</string>\n";
    }
    return byteContent + "</resources>\n";
}

void writeRes(const QString &strName, const QByteArray &byteContent) {
    QDir().mkpath(QCoreApplication::applicationDirPath() + "/res");
    QFile objectFile(QCoreApplication::applicationDirPath() + "/res/" + strName);
    objectFile.open(QIODevice::WriteOnly | QIODevice::Truncate);
    objectFile.write(byteContent);
}

} // namespace

TESSALOQUIN_BENCH(selection) {
    QList<BenchResult> qlistResult;
    const QByteArray byteCatalogue = catalogue();
    writeRes("language - de.xml", byteCatalogue);
    writeRes("language - fr.xml", byteCatalogue);
    PreferenceLanguage::obtain()->setStrName("de");

    // Every lookup reads the stored language name first; the search itself should add little to that read.
    const double floatName = benchMedianNanoseconds([]() { PreferenceLanguage::obtain()->getStrName(); }, 200);
    const double floatLookup = benchMedianNanoseconds([]() { Language::obtain()->getStrString("text_377"); }, 200);
    qlistResult.append({"language lookup vs reading the name", floatLookup, floatName, 1.5, "ns"});

    // A change of language reads and parses its file once; beyond the parse there is only filling the table.
    const QString strText = QString::fromUtf8(byteCatalogue);
    const double floatParse = benchMedianNanoseconds(
        [&strText]() {
            QDomDocument objectDocument;
            objectDocument.setContent(strText, false);
        },
        20);
    bool boolGerman = false;
    const double floatLoad = benchMedianNanoseconds(
        [&boolGerman]() {
            boolGerman = !boolGerman;
            Language::obtain()->setStrLanguage(boolGerman ? "de" : "fr");
        },
        20);
    qlistResult.append({"language change (750 entries) vs parse", floatLoad, floatParse, 1.6, "ns"});

    // All texts at once, once per page load: building the array costs more than writing it out.
    QJsonArray objectArray;
    for (const auto &objectEntry : Language::obtain()->qmapString.toStdMap()) {
        objectArray.append(QJsonObject{{"strName", objectEntry.first}, {"strValue", objectEntry.second}});
    }
    const double floatWrite = benchMedianNanoseconds(
        [&objectArray]() { QString::fromUtf8(QJsonDocument(objectArray).toJson(QJsonDocument::Compact)); }, 20);
    const double floatStrings = benchMedianNanoseconds([]() { Language::obtain()->getStrStrings(); }, 20);
    qlistResult.append({"all texts as JSON vs writing them out", floatStrings, floatWrite, 8.0, "ns"});

    // The whole selected account is seven separate reads of its file, nothing more.
    PreferenceAccountSelected::obtain()->setStrWebsite("example.org");
    const double floatSeven = benchMedianNanoseconds(
        []() {
            PreferenceAccountSelected *objectPreference = PreferenceAccountSelected::obtain();
            objectPreference->getIntIdent();
            objectPreference->getStrWebsite();
            objectPreference->getStrMail();
            objectPreference->getStrUser();
            objectPreference->getStrNote();
            objectPreference->getIntLength();
            objectPreference->getStrSpecial();
        },
        50);
    PreferenceAccountSelectedJavascriptinterface *objectBridge = new PreferenceAccountSelectedJavascriptinterface();
    const double floatAll = benchMedianNanoseconds([objectBridge]() { objectBridge->getAll(); }, 50);
    delete objectBridge;
    qlistResult.append({"selected account as JSON vs its seven reads", floatAll, floatSeven, 2.0, "ns"});

    // Leaves the benchmark's folder as it found it.
    for (const char *strName :
         {"language - de.xml", "language - fr.xml", "PreferenceLanguage.ini", "PreferenceAccountSelected.ini"}) {
        QFile::remove(QCoreApplication::applicationDirPath() + "/res/" + strName);
    }

    return qlistResult;
}
