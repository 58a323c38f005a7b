#include "support/TestSupport.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QStringList qstringlistCodes = {"ar", "zh", "en", "fr", "de", "hi", "it", "ja", "ko", "pt", "ru", "es"};

struct Catalogue {
    bool boolRead = false;
    int intEntries = 0;
    QMap<QString, QString> qmapText;
};

// Read the way the program reads a catalogue: every "string" element below the root, keyed by its name.
Catalogue read(const QString &strPath) {
    Catalogue objectCatalogue;
    QFile objectFile(strPath);
    if (!objectFile.open(QIODevice::ReadOnly)) {
        return objectCatalogue;
    }
    QDomDocument objectDocument;
    if (!objectDocument.setContent(QString::fromUtf8(objectFile.readAll()))) {
        return objectCatalogue;
    }
    const QDomNodeList objectEntries = objectDocument.documentElement().elementsByTagName("string");
    for (int i = 0; i < objectEntries.count(); i += 1) {
        const QDomElement objectEntry = objectEntries.at(i).toElement();
        objectCatalogue.qmapText.insert(objectEntry.attribute("name"), objectEntry.text());
    }
    objectCatalogue.intEntries = objectEntries.count();
    objectCatalogue.boolRead = true;
    return objectCatalogue;
}

QSet<QString> placeholders(const QString &strText) {
    QSet<QString> qsetResult;
    QRegularExpressionMatchIterator objectMatches = QRegularExpression("\\{[a-z_]+\\}").globalMatch(strText);
    while (objectMatches.hasNext()) {
        qsetResult.insert(objectMatches.next().captured());
    }
    return qsetResult;
}

QString sourceText(const QString &strRelative) {
    QFile objectFile(TestSupport::sourcePath(strRelative));
    return objectFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(objectFile.readAll()) : QString();
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

    Catalogue objectDefault;

private slots:
    void initTestCase() { objectDefault = read(TestSupport::sourcePath("res/language.xml")); }

    void defaultCatalogueIsSoundEnglish() {
        QVERIFY(objectDefault.boolRead);
        QVERIFY(objectDefault.qmapText.size() > 50);
        QCOMPARE(objectDefault.intEntries, objectDefault.qmapText.size()); // no name twice
        for (auto objectEntry = objectDefault.qmapText.cbegin(); objectEntry != objectDefault.qmapText.cend();
             ++objectEntry) {
            QVERIFY2(QRegularExpression("^[a-z][a-z0-9]*(_[a-z0-9]+)*$").match(objectEntry.key()).hasMatch(),
                     qPrintable(objectEntry.key()));
            QVERIFY2(!objectEntry.value().trimmed().isEmpty(), qPrintable(objectEntry.key()));
        }
        // The catalogue under its own code says the same.
        const Catalogue objectEnglish = read(TestSupport::sourcePath("res/language - en.xml"));
        QVERIFY(objectEnglish.boolRead);
        QCOMPARE(objectEnglish.qmapText, objectDefault.qmapText);
    }

    void everyCatalogueHasEveryName_data() {
        QTest::addColumn<QString>("strFile");
        const QDir objectRes(TestSupport::sourcePath("res"));
        for (const QString &strName : objectRes.entryList({"language - *.xml"}, QDir::Files)) {
            QTest::newRow(qPrintable(strName)) << objectRes.filePath(strName);
        }
    }

    void everyCatalogueHasEveryName() {
        QFETCH(QString, strFile);
        const Catalogue objectCatalogue = read(strFile);
        QVERIFY2(objectCatalogue.boolRead, "not well-formed XML");
        QCOMPARE(objectCatalogue.intEntries, objectCatalogue.qmapText.size());
        QStringList qstringlistMissing;
        QStringList qstringlistWrong;
        for (auto objectEntry = objectDefault.qmapText.cbegin(); objectEntry != objectDefault.qmapText.cend();
             ++objectEntry) {
            const QString strText = objectCatalogue.qmapText.value(objectEntry.key());
            if (strText.trimmed().isEmpty()) {
                qstringlistMissing.append(objectEntry.key());
            } else if (placeholders(strText) != placeholders(objectEntry.value())) {
                qstringlistWrong.append(objectEntry.key());
            }
        }
        QVERIFY2(qstringlistMissing.isEmpty(), qPrintable("missing: " + qstringlistMissing.join(", ")));
        QVERIFY2(qstringlistWrong.isEmpty(), qPrintable("placeholders differ: " + qstringlistWrong.join(", ")));
        // A name the default does not know is a typo: the page would never show that text.
        for (const QString &strName : objectCatalogue.qmapText.keys()) {
            QVERIFY2(objectDefault.qmapText.contains(strName), qPrintable("unknown name " + strName));
        }
    }

    void everyLanguageOfferedHasACatalogue_data() {
        QTest::addColumn<QString>("strCode");
        for (const QString &strCode : qstringlistCodes) {
            QTest::newRow(qPrintable(strCode)) << strCode;
        }
    }

    void everyLanguageOfferedHasACatalogue() {
        QFETCH(QString, strCode);
        const QString strPath = TestSupport::sourcePath("res/language - " + strCode + ".xml");
        QVERIFY2(QFile::exists(strPath), "no catalogue for this language");
        QVERIFY(read(strPath).boolRead);
        // The page names every language it offers, in its own script.
        QVERIFY(sourceText("assets/js/catalogue.js").contains("strCode: '" + strCode + "'"));
    }

    void pageAsksOnlyForNamesOfTheCatalogue() {
        QSet<QString> qsetUsed;
        const QString strHtml = sourceText("assets/index.html");
        QRegularExpressionMatchIterator objectAttributes =
            QRegularExpression("data-(?:text|label|title|placeholder)=\"([^\"]+)\"").globalMatch(strHtml);
        while (objectAttributes.hasNext()) {
            qsetUsed.insert(objectAttributes.next().captured(1));
        }
        // In the scripts every catalogue name is a quoted word with an underscore; other quoted words are
        // camel case.
        const QDir objectScripts(TestSupport::sourcePath("assets/js"));
        for (const QString &strName : objectScripts.entryList({"*.js"}, QDir::Files)) {
            const QString strScript = sourceText("assets/js/" + strName);
            QRegularExpressionMatchIterator objectQuoted =
                QRegularExpression("'([a-z][a-z0-9]*(?:_[a-z0-9]+)+)'").globalMatch(strScript);
            while (objectQuoted.hasNext()) {
                qsetUsed.insert(objectQuoted.next().captured(1));
            }
        }
        QVERIFY(qsetUsed.size() > 50);
        QStringList qstringlistUnknown;
        for (const QString &strName : qsetUsed) {
            if (!objectDefault.qmapText.contains(strName)) {
                qstringlistUnknown.append(strName);
            }
        }
        qstringlistUnknown.sort();
        QVERIFY2(qstringlistUnknown.isEmpty(), qPrintable("not in the catalogue: " + qstringlistUnknown.join(", ")));
    }
};

QTEST_APPLESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
