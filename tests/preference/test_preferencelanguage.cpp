#include "preference/PreferenceLanguage.h"
#include "preference/PreferenceLanguageJavascriptinterface.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

QString getAll() {
    // Constructed on the stack so that its registration is gone again before anything notifies.
    return PreferenceLanguageJavascriptinterface().getAll();
}

} // namespace

class TestPreferenceLanguage : public QObject {
    Q_OBJECT

private slots:
    void init() { TestSupport::resetRes(); }

    void englishUnlessANameIsStored() {
        PreferenceLanguage *objectPreference = PreferenceLanguage::obtain();
        QCOMPARE(objectPreference->getStrName(), QString("en"));
        QCOMPARE(getAll(), QString("{\"strName\":\"en\"}"));
        QVERIFY(!QFile::exists(TestSupport::appPath("res/PreferenceLanguage.ini")));

        objectPreference->setStrName("de");
        QCOMPARE(TestSupport::readFresh().strLanguage, QString("{\"strName\":\"de\"}"));
        objectPreference->clearStrName();
        QCOMPARE(TestSupport::readFresh().strLanguage, QString("{\"strName\":\"en\"}"));
        QCOMPARE(objectPreference->getStrName(), QString("en"));

        objectPreference->setStrName("fr");
        objectPreference->clear();
        QCOMPARE(TestSupport::readFresh().strLanguage, QString("{\"strName\":\"en\"}"));
    }

    void roundTripThroughTheFile_data() {
        QTest::addColumn<QString>("strName");
        QTest::newRow("plain") << QString("de");
        QTest::newRow("empty stays empty") << QString("");
        QTest::newRow("region") << QString("pt_BR");
        QTest::newRow("ini syntax and escapes") << QString(" a=b;c #d \"q\" \\ \n,");
        QTest::newRow("non-ASCII") << QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e");
        QTest::newRow("leading at") << QString("@Invalid()");
    }

    void roundTripThroughTheFile() {
        QFETCH(QString, strName);
        PreferenceLanguage::obtain()->setStrName(strName);

        QJsonObject objectExpected;
        objectExpected.insert("strName", strName);
        const QString strExpected = QString::fromUtf8(QJsonDocument(objectExpected).toJson(QJsonDocument::Compact));
        QCOMPARE(getAll(), strExpected);
        QCOMPARE(TestSupport::readFresh().strLanguage, strExpected);
    }
};

TESSALOQUIN_TEST_FRESH_MAIN(TestPreferenceLanguage)

#include "test_preferencelanguage.moc"
