#include "display/Display.h"
#include "display/DisplayEngine.h"
#include "main/Main.h"
#include "password/Password.h"
#include "preference/PreferenceAccount.h"
#include "support/TestSupport.h"

#include <QDesktopServices>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QTest>

namespace {

const QStringList qstringlistBridges = {
    "jsGeneral",           "jsLanguage", "jsPassword", "jsPreferenceAccount", "jsPreferenceAccountSelected",
    "jsPreferenceLanguage"};

// Calls every slot of every bridge object with too few arguments and with values of every wrong kind, each
// in turn at every place of the argument list, and counts the outcomes.
const char *const strHostileScript =
    "(function() {\n"
    "  var listValue = [42, -1.5, 'abc', '12', '', {a: 1}, [1, 2], ['x', 'y'], [{}], [], null, undefined,\n"
    "    1e300, -1e300, 9007199254740993, 2147483648, -2147483649, NaN, Infinity, -Infinity, true,\n"
    "    function() {}, '\\u0000', jsGeneral];\n"
    "  function placeholder(strType) { return strType === 'int' ? 1 : strType === 'QStringList' ? ['x'] : 'x'; }\n"
    "  function invoke(objectBridge, strSlot, a) {\n"
    "    switch (a.length) {\n"
    "      case 0: return objectBridge[strSlot]();\n"
    "      case 1: return objectBridge[strSlot](a[0]);\n"
    "      case 2: return objectBridge[strSlot](a[0], a[1]);\n"
    "      case 3: return objectBridge[strSlot](a[0], a[1], a[2]);\n"
    "      case 4: return objectBridge[strSlot](a[0], a[1], a[2], a[3]);\n"
    "      case 5: return objectBridge[strSlot](a[0], a[1], a[2], a[3], a[4]);\n"
    "      default: return objectBridge[strSlot](a[0], a[1], a[2], a[3], a[4], a[5]);\n"
    "    }\n"
    "  }\n"
    "  var objectResult = {intCalls: 0, intThrown: 0, listTooFewAccepted: [], listUnexpected: []};\n"
    "  listSlot.forEach(function(objectSlot) {\n"
    "    var objectBridge = window[objectSlot.strBridge];\n"
    "    var strName = objectSlot.strBridge + '.' + objectSlot.strSlot;\n"
    "    var listType = objectSlot.listType;\n"
    "    function call(listArgument) {\n"
    "      objectResult.intCalls += 1;\n"
    "      try {\n"
    "        var variantResult = invoke(objectBridge, objectSlot.strSlot, listArgument);\n"
    "        if (objectSlot.strResult === 'int' && typeof variantResult !== 'number' ||\n"
    "            objectSlot.strResult === 'QString' && typeof variantResult !== 'string' ||\n"
    "            objectSlot.strResult === 'void' && variantResult !== undefined) {\n"
    "          objectResult.listUnexpected.push(strName + ' gave ' + typeof variantResult);\n"
    "        }\n"
    "        return true;\n"
    "      } catch (objectError) {\n"
    "        objectResult.intThrown += 1;\n"
    "        return false;\n"
    "      }\n"
    "    }\n"
    "    for (var intCount = 0; intCount < listType.length; intCount += 1) {\n"
    "      if (call(listType.slice(0, intCount).map(placeholder))) {\n"
    "        objectResult.listTooFewAccepted.push(strName + ' with ' + intCount);\n"
    "      }\n"
    "    }\n"
    "    listValue.forEach(function(variantValue) {\n"
    "      if (listType.length === 0) { call([variantValue]); }\n"
    "      for (var intPlace = 0; intPlace < listType.length; intPlace += 1) {\n"
    "        var listArgument = listType.map(placeholder);\n"
    "        listArgument[intPlace] = variantValue;\n"
    "        call(listArgument);\n"
    "      }\n"
    "      if (listType.length > 1) { call(listType.map(function() { return variantValue; })); }\n"
    "    });\n"
    "  });\n"
    "  return JSON.stringify(objectResult);\n"
    "})()";

} // namespace

// Stands in for the desktop's link handler, so that no browser is started.
class TestOpener : public QObject {
    Q_OBJECT

public:
    int intOpened = 0;

public slots:
    void open(const QUrl &) { intOpened += 1; }
};

class TestDisplayFaults : public QObject {
    Q_OBJECT

    Main *objectMain = nullptr;
    TestOpener objectOpener;

    QVariant evaluate(const QString &strScript) { return TestSupport::evaluate(Display::obtain(), strScript); }

    // Every public slot of every published bridge object, with its parameter and result types.
    QJsonArray slotsOfTheBridges() {
        QJsonArray objectSlots;
        for (const QString &strBridge : qstringlistBridges) {
            QObject *objectBridge = Display::obtain()->objectEngine->published(strBridge);
            if (objectBridge == nullptr) {
                qWarning("%s is not published", qPrintable(strBridge));
                continue;
            }
            const QMetaObject *objectMeta = objectBridge->metaObject();
            for (int intMethod = objectMeta->methodOffset(); intMethod < objectMeta->methodCount(); intMethod += 1) {
                const QMetaMethod objectMethod = objectMeta->method(intMethod);
                if (objectMethod.methodType() != QMetaMethod::Slot || objectMethod.access() != QMetaMethod::Public) {
                    continue;
                }
                QJsonArray objectTypes;
                for (const QByteArray &byteType : objectMethod.parameterTypes()) {
                    objectTypes.append(QString::fromLatin1(byteType));
                }
                QJsonObject objectSlot;
                objectSlot.insert("strBridge", strBridge);
                objectSlot.insert("strSlot", QString::fromLatin1(objectMethod.name()));
                objectSlot.insert("listType", objectTypes);
                objectSlot.insert("strResult", QString::fromLatin1(objectMethod.typeName()));
                objectSlots.append(objectSlot);
            }
        }
        return objectSlots;
    }

private slots:
    void initTestCase() {
        objectMain = new Main(qobject_cast<QApplication *>(QCoreApplication::instance()));
        for (const char *strScheme : {"", "http", "https", "file", "mailto", "javascript", "data"}) {
            QDesktopServices::setUrlHandler(strScheme, &objectOpener, "open");
        }
        // Should a link still reach the desktop, nothing is started.
        qputenv("DEFAULT_BROWSER", "/bin/true");
        TestSupport::resetRes(true);
        TestSupport::writePage("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><script>\n"
                               "var Navigation = { updateBackward: function() {} };\n"
                               "var intUpdates = 0;\n"
                               "var PreferenceAccount = { update: function() { intUpdates += 1; } };\n"
                               "</script></head><body></body></html>\n");
    }

    void cleanupTestCase() {
        for (const char *strScheme : {"", "http", "https", "file", "mailto", "javascript", "data"}) {
            QDesktopServices::unsetUrlHandler(strScheme);
        }
        Display::dispel();
        delete objectMain;
    }

    // What crosses the bridge, whatever carries the call: numbers stay numbers both ways and wrap into an int,
    // texts stay texts, a void slot gives undefined, and an array reaches a list.
    void valuesCrossTheBridgeWithTheirTypes_data() {
        QTest::addColumn<QString>("strScript");
        QTest::addColumn<QString>("strExpected");
        QTest::newRow("int result is a number") << "typeof jsPreferenceAccount.count()"
                                                << "number";
        QTest::newRow("QString result is a string") << "typeof jsGeneral.getName()"
                                                    << "string";
        QTest::newRow("void result is undefined") << "typeof jsGeneral.setClipboard('x')"
                                                  << "undefined";
        QTest::newRow("int argument comes back as the same number")
            << "jsPreferenceAccount.setIntLength(27); jsPreferenceAccount.getIntLength() === 27"
            << "true";
        QTest::newRow("fraction is rounded to an int")
            << "jsPreferenceAccount.setIntLength(7.6); jsPreferenceAccount.getIntLength()"
            << "8";
        QTest::newRow("negative int kept") << "jsPreferenceAccount.setIntIdent(-5); jsPreferenceAccount.getIntIdent()"
                                           << "-5";
        QTest::newRow("text with quotes, breaks and characters beyond ASCII kept")
            << "var t = 'a\"b\\'c\\\\d\\ne\\u00e9\\u4e2d\\ud83d\\ude00<x>';"
               " jsPreferenceAccount.setStrNote(t); jsPreferenceAccount.getStrNote() === t"
            << "true";
        QTest::newRow("empty text kept") << "jsPreferenceAccount.setStrUser(''); jsPreferenceAccount.getStrUser()"
                                         << "";
        QTest::newRow("array reaches a list argument")
            << "jsPreferenceAccount.clear(); jsPreferenceAccount.setStrWebsite('list.example');"
               " jsPreferenceAccount.create(); jsPreferenceAccount.selectOpen('SELECT * FROM PreferenceAccount"
               " WHERE strWebsite = ? AND ? = ?', ['list.example', 'x', 'x']);"
               " var l = JSON.parse(jsPreferenceAccount.getAll()); jsPreferenceAccount.selectClose();"
               " l.length + ' ' + l[0].strWebsite"
            << "1 list.example";
        QTest::newRow("five arguments of two kinds in their places")
            << "jsPassword.update('master', 'example.org', 'ada@example.org', 16, '!') === '" +
                   Password::obtain()->update("master", "example.org", "ada@example.org", 16, "!") + "'"
            << "true";
    }

    void valuesCrossTheBridgeWithTheirTypes() {
        QFETCH(QString, strScript);
        QFETCH(QString, strExpected);
        if (Display::objectSingleton == nullptr) {
            TestSupport::installTestPage(Display::obtain());
        }
        QCOMPARE(evaluate(strScript).toString(), strExpected);
    }

    void wrongArgumentsGiveScriptErrorsAndNothingBreaks() {
        TestPage *objectPage = TestSupport::installTestPage(Display::obtain());
        const QJsonArray objectSlots = slotsOfTheBridges();
        // Every bridge object has been found, and every kind of parameter is among those called.
        QCOMPARE(objectSlots.size() > 60, true);
        const QString strTypes = QString::fromUtf8(QJsonDocument(objectSlots).toJson(QJsonDocument::Compact));
        for (const char *strType : {"\"int\"", "\"QString\"", "\"QStringList\""}) {
            QVERIFY2(strTypes.contains(strType), strType);
        }

        evaluate("var listSlot = " + strTypes + ";");
        const QJsonObject objectResult =
            QJsonDocument::fromJson(evaluate(strHostileScript).toString().toUtf8()).object();

        QVERIFY2(objectResult.value("intCalls").toInt() > 1500, qPrintable(QJsonDocument(objectResult).toJson()));
        // Too few arguments are always refused, with an error the page can catch.
        QCOMPARE(objectResult.value("listTooFewAccepted").toArray(), QJsonArray());
        QVERIFY(objectResult.value("intThrown").toInt() > 0);
        // Values of a wrong kind are converted by the web engine (a number becomes its text, an object "[object
        // Object]", a huge number some int); whatever was accepted returned a value of its declared kind.
        QCOMPARE(objectResult.value("listUnexpected").toArray(), QJsonArray());
        qInfo("%d calls, %d refused with a script error", objectResult.value("intCalls").toInt(),
              objectResult.value("intThrown").toInt());
        QCOMPARE(objectPage->qstringlistConsole, QStringList());

        // A call the page does not guard reaches its console as a script error, and the page goes on.
        evaluate("jsPassword.update('too', 'few');");
        QCOMPARE(objectPage->qstringlistConsole.size(), 1);
        QVERIFY2(objectPage->qstringlistConsole.first().contains("Error"),
                 qPrintable(objectPage->qstringlistConsole.first()));
        QCOMPARE(evaluate("6 * 7").toInt(), 42);

        // Every bridge object still does its work.
        QCOMPARE(evaluate("jsGeneral.getName() + ' ' + jsGeneral.getVersion()").toString(), QString("Tessaloquin 4.5"));
        QCOMPARE(evaluate("jsPassword.update('master', 'example.org', 'ada@example.org', 16, '!')").toString(),
                 Password::obtain()->update("master", "example.org", "ada@example.org", 16, "!"));
        evaluate("jsPreferenceAccount.observerEnable(); jsPreferenceAccount.release(); jsPreferenceAccount.clear();"
                 "jsPreferenceAccount.setStrWebsite('after.example'); jsPreferenceAccount.setIntLength(20);"
                 "jsPreferenceAccount.create();");
        QCOMPARE(evaluate("jsPreferenceAccount.count()").toInt(), 1);
        QCOMPARE(
            evaluate("jsPreferenceAccount.selectOpen('SELECT * FROM PreferenceAccount', []);"
                     "var listAccount = JSON.parse(jsPreferenceAccount.getAll()); "
                     "jsPreferenceAccount.selectClose(); listAccount[0].strWebsite + ' ' + listAccount[0].intLength")
                .toString(),
            QString("after.example 20"));
        QCOMPARE(TestSupport::selectSql("SELECT strWebsite FROM PreferenceAccount"),
                 QList<QVariantList>({{"after.example"}}));
        evaluate("jsPreferenceAccountSelected.observerEnable(); jsPreferenceAccountSelected.clear(); "
                 "jsPreferenceAccountSelected.setIntIdent(1); jsPreferenceAccountSelected.setStrUser('ada');");
        QCOMPARE(evaluate("jsPreferenceAccountSelected.getAll()").toString(),
                 QString("{\"intIdent\":1,\"intLength\":0,\"strMail\":\"\",\"strNote\":\"\",\"strSpecial\":\"\","
                         "\"strUser\":\"ada\",\"strWebsite\":\"\"}"));
        evaluate("jsPreferenceLanguage.observerEnable(); jsPreferenceLanguage.setStrName('de');");
        QCOMPARE(evaluate("jsPreferenceLanguage.getAll()").toString(), QString("{\"strName\":\"de\"}"));
        QVERIFY(evaluate("JSON.parse(jsLanguage.getStrStrings()).length").toInt() > 50);

        // Notifications still reach the page.
        evaluate("intUpdates = 0; jsPreferenceAccount.create();");
        QTRY_VERIFY(evaluate("intUpdates").toInt() > 0);
        QCOMPARE(objectPage->qstringlistConsole.size(), 1);
    }
};

QTEST_MAIN(TestDisplayFaults)
#include "test_displayfaults.moc"
