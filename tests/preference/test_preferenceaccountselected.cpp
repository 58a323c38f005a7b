#include "preference/PreferenceAccountSelected.h"
#include "preference/PreferenceAccountSelectedJavascriptinterface.h"
#include "preference/PreferenceAccountSelectedObserver.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

const QString strEmpty =
    "{\"intIdent\":0,\"intLength\":0,\"strMail\":\"\",\"strNote\":\"\",\"strSpecial\":\"\",\"strUser\":\"\","
    "\"strWebsite\":\"\"}";

int intNotified = 0;

void observerCounting() {
    intNotified += 1;
}

QString getAll() {
    // Constructed on the stack so that its registration is gone again before anything notifies.
    return PreferenceAccountSelectedJavascriptinterface().getAll();
}

} // namespace

class TestPreferenceAccountSelected : public QObject {
    Q_OBJECT

private slots:
    void init() {
        TestSupport::resetRes();
        PreferenceAccountSelectedObserver::dispel();
    }

    void defaultsWithoutFile() {
        PreferenceAccountSelected *objectPreference = PreferenceAccountSelected::obtain();
        QCOMPARE(objectPreference->getIntIdent(), 0);
        QCOMPARE(objectPreference->getIntLength(), 0);
        for (const QString &strValue :
             {objectPreference->getStrWebsite(), objectPreference->getStrMail(), objectPreference->getStrUser(),
              objectPreference->getStrNote(), objectPreference->getStrSpecial()}) {
            QCOMPARE(strValue, QString(""));
            QVERIFY(!strValue.isNull());
        }
        QCOMPARE(getAll(), strEmpty);
        QCOMPARE(getAll().size(), 99);
        QVERIFY(!QFile::exists(TestSupport::appPath("res/PreferenceAccountSelected.ini")));
    }

    void roundTripThroughTheFile_data() {
        QTest::addColumn<QString>("strText");
        QTest::newRow("quotes") << QString("say \"hi\" and 'bye'");
        QTest::newRow("backslashes") << QString("C:\\Users\\x\\\\y\\");
        QTest::newRow("line breaks") << QString("a\nb\r\nc\rd\n");
        QTest::newRow("ini syntax") << QString("[General]\nkey=value;comment #hash\n=;#");
        QTest::newRow("commas") << QString("a,b, c,");
        QTest::newRow("spaces around") << QString("  padded\t ");
        QTest::newRow("leading at") << QString("@Invalid()");
        QTest::newRow("non-ASCII") << QString::fromUtf8("J\xc3\xbcrgen \xe6\x97\xa5\xe6\x9c\xac \xe2\x9c\x93 "
                                                        "\xf0\x9f\x98\x80 \xc3\x9f");
        QTest::newRow("control characters") << QString("a\x01"
                                                       "b\x1f"
                                                       "c\x7f");
        QTest::newRow("zero character") << QString("a") + QChar(0) + QString("b");
        QTest::newRow("empty") << QString("");
    }

    void roundTripThroughTheFile() {
        QFETCH(QString, strText);
        PreferenceAccountSelected *objectPreference = PreferenceAccountSelected::obtain();
        objectPreference->setIntIdent(42);
        objectPreference->setStrWebsite("w" + strText);
        objectPreference->setStrMail("m" + strText);
        objectPreference->setStrUser("u" + strText);
        objectPreference->setStrNote("n" + strText);
        objectPreference->setIntLength(-5);
        objectPreference->setStrSpecial("s" + strText);

        QJsonObject objectExpected;
        objectExpected.insert("intIdent", 42);
        objectExpected.insert("strWebsite", "w" + strText);
        objectExpected.insert("strMail", "m" + strText);
        objectExpected.insert("strUser", "u" + strText);
        objectExpected.insert("strNote", "n" + strText);
        objectExpected.insert("intLength", -5);
        objectExpected.insert("strSpecial", "s" + strText);
        const QString strExpected = QString::fromUtf8(QJsonDocument(objectExpected).toJson(QJsonDocument::Compact));

        QCOMPARE(getAll(), strExpected);
        QCOMPARE(TestSupport::readFresh().strSelected, strExpected);

        // Written without a codec: whatever is not plain ASCII is escaped, as every other version writes it.
        const QByteArray byteFile = TestSupport::readFile("res/PreferenceAccountSelected.ini");
        QVERIFY(byteFile.startsWith("[General]\n"));
        for (const char charByte : byteFile) {
            QVERIFY2(static_cast<unsigned char>(charByte) < 0x80, byteFile.constData());
        }
    }

    void fileWrittenElsewhere_data() {
        QTest::addColumn<QByteArray>("byteFile");
        QTest::addColumn<QString>("strExpected");
        QTest::newRow("text where a number belongs")
            << QByteArray("[General]\nintIdent=abc\nintLength=12\nstrUser=x\n")
            << QString("{\"intIdent\":0,\"intLength\":12,\"strMail\":\"\",\"strNote\":\"\",\"strSpecial\":\"\","
                       "\"strUser\":\"x\",\"strWebsite\":\"\"}");
        QTest::newRow("escapes of the default format")
            << QByteArray("[General]\nintIdent=7\nstrUser=J\\xfcrgen\nstrNote=\"a, b\"\nstrWebsite=@@home\n"
                          "strSpecial=\"\\\"\\\\\\n\"\n")
            << QString::fromUtf8("{\"intIdent\":7,\"intLength\":0,\"strMail\":\"\",\"strNote\":\"a, b\","
                                 "\"strSpecial\":\"\\\"\\\\\\n\",\"strUser\":\"J\xc3\xbcrgen\","
                                 "\"strWebsite\":\"@home\"}");
        QTest::newRow("keys inside another group") << QByteArray("[Other]\nintIdent=9\nstrUser=x\n") << strEmpty;
    }

    void fileWrittenElsewhere() {
        QFETCH(QByteArray, byteFile);
        QFETCH(QString, strExpected);
        TestSupport::writeFile("res/PreferenceAccountSelected.ini", byteFile);
        QCOMPARE(TestSupport::readFresh().strSelected, strExpected);
    }

    void clearingRemovesOnlyWhatItSays() {
        PreferenceAccountSelected *objectPreference = PreferenceAccountSelected::obtain();
        objectPreference->setIntIdent(3);
        objectPreference->setStrWebsite("example.org");
        objectPreference->setStrMail("me@example.org");
        objectPreference->setIntLength(20);
        objectPreference->clearStrMail();
        objectPreference->clearIntLength();
        QCOMPARE(TestSupport::readFresh().strSelected,
                 QString("{\"intIdent\":3,\"intLength\":0,\"strMail\":\"\",\"strNote\":\"\","
                         "\"strSpecial\":\"\",\"strUser\":\"\",\"strWebsite\":\"example.org\"}"));

        objectPreference->clear();
        QCOMPARE(TestSupport::readFresh().strSelected, strEmpty);
    }

    void unwritableFolderIsPassedOverButStillNotifies() {
        QDir(TestSupport::appPath("res")).removeRecursively();
        TestSupport::writeFile("res", "not a folder");
        intNotified = 0;
        PreferenceAccountSelectedObserver::obtain()->addObserver(observerCounting);

        PreferenceAccountSelected *objectPreference = PreferenceAccountSelected::obtain();
        objectPreference->setStrUser("lost");
        QCOMPARE(intNotified, 1);
        QCOMPARE(objectPreference->getStrUser(), QString(""));
        objectPreference->clear();
        QCOMPARE(intNotified, 2);
        QCOMPARE(TestSupport::readFresh().strSelected, strEmpty);
    }
};

TESSALOQUIN_TEST_FRESH_MAIN(TestPreferenceAccountSelected)

#include "test_preferenceaccountselected.moc"
