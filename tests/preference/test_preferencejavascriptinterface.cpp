#include "display/Display.h"
#include "preference/PreferenceAccountSelectedObserver.h"
#include "preference/PreferenceLanguageObserver.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QTest>

class TestPreferenceJavascriptinterface : public QObject {
    Q_OBJECT

    TestPage *objectPage = nullptr;

    QVariant evaluate(const QString &strScript) { return TestSupport::evaluate(Display::obtain(), strScript); }

    // How often the page's update() of strGlobal has run, once settled.
    int settledCount(const QString &strGlobal) {
        return TestSupport::settledCount(Display::obtain(), "intUpdate." + strGlobal);
    }

private slots:
    void initTestCase() { TestSupport::writePage(TestSupport::strCountingPage); }

    void init() {
        TestSupport::resetRes();
        objectPage = TestSupport::installTestPage(Display::obtain());
    }

    void cleanup() {
        QCOMPARE(objectPage->qstringlistConsole, QStringList());
        Display::dispel();
        // Forget the registrations of this case's bridge objects, which live on as they do in the program.
        PreferenceAccountSelectedObserver::dispel();
        PreferenceLanguageObserver::dispel();
    }

    void getAllAsThePageSeesIt() {
        QCOMPARE(evaluate("jsPreferenceAccountSelected.getAll()").toString(),
                 QString("{\"intIdent\":0,\"intLength\":0,\"strMail\":\"\",\"strNote\":\"\",\"strSpecial\":\"\","
                         "\"strUser\":\"\",\"strWebsite\":\"\"}"));
        QCOMPARE(evaluate("jsPreferenceLanguage.getAll()").toString(), QString("{\"strName\":\"en\"}"));

        QCOMPARE(evaluate("var strText = 'say \"hi\" \\\\ back\\nnext \\u00fc\\u65e5\\ud83d\\ude00';"
                          "jsPreferenceAccountSelected.setStrNote(strText);"
                          "jsPreferenceAccountSelected.setIntIdent(42);"
                          "var objectAll = JSON.parse(jsPreferenceAccountSelected.getAll());"
                          "objectAll.strNote === strText && objectAll.intIdent === 42 && "
                          "jsPreferenceAccountSelected.getStrNote() === strText")
                     .toBool(),
                 true);
        QCOMPARE(evaluate("jsPreferenceAccountSelected.clearIntIdent(); "
                          "JSON.parse(jsPreferenceAccountSelected.getAll()).intIdent")
                     .toInt(),
                 0);

        QCOMPARE(evaluate("jsPreferenceLanguage.setStrName(''); jsPreferenceLanguage.getAll()").toString(),
                 QString("{\"strName\":\"\"}"));
    }

    void notificationsReachThePage_data() {
        QTest::addColumn<QString>("strBridge");
        QTest::addColumn<QString>("strGlobal");
        QTest::addColumn<QString>("strOther");
        QTest::addColumn<QStringList>("qstringlistChange");
        QTest::addColumn<QString>("strSetter");
        QTest::addColumn<QString>("strGetter");

        QTest::newRow("selected account")
            << "jsPreferenceAccountSelected"
            << "PreferenceAccountSelected"
            << "PreferenceLanguage"
            << QStringList{"setIntIdent(4)",    "setIntIdent(4)",     "clearIntIdent()",  "setStrWebsite('w')",
                           "clearStrWebsite()", "setStrMail('m')",    "clearStrMail()",   "setStrUser('u')",
                           "clearStrUser()",    "setStrNote('n')",    "clearStrNote()",   "setIntLength(-5)",
                           "clearIntLength()",  "setStrSpecial('s')", "clearStrSpecial()"}
            << "setStrUser('quiet')"
            << "getStrUser()";
        QTest::newRow("language") << "jsPreferenceLanguage"
                                  << "PreferenceLanguage"
                                  << "PreferenceAccountSelected"
                                  << QStringList{"setStrName('de')", "setStrName('de')", "clearStrName()"}
                                  << "setStrName('quiet')"
                                  << "getStrName()";
    }

    void notificationsReachThePage() {
        QFETCH(QString, strBridge);
        QFETCH(QString, strGlobal);
        QFETCH(QString, strOther);
        QFETCH(QStringList, qstringlistChange);
        QFETCH(QString, strSetter);
        QFETCH(QString, strGetter);

        int intExpected = 0;
        QCOMPARE(settledCount(strGlobal), intExpected);

        // Every setter and field clearer once, also when it writes the value already stored.
        for (const QString &strChange : qstringlistChange) {
            evaluate(strBridge + "." + strChange);
            intExpected += 1;
            QVERIFY2(settledCount(strGlobal) == intExpected, qPrintable(strChange));
        }

        // The page hears of it only after the script that made the change has finished.
        QCOMPARE(evaluate(strBridge + "." + strSetter + "; intUpdate." + strGlobal).toInt(), intExpected);
        QCOMPARE(settledCount(strGlobal), intExpected += 1);

        evaluate(strBridge + ".clear()");
        QCOMPARE(settledCount(strGlobal), intExpected += 1);

        // Switched off, a change is stored but not told; clear() tells once and switches it back on.
        evaluate(strBridge + ".observerDisable()");
        evaluate(strBridge + "." + strSetter);
        QCOMPARE(settledCount(strGlobal), intExpected);
        QCOMPARE(evaluate(strBridge + "." + strGetter).toString(), QString("quiet"));
        evaluate(strBridge + ".clear()");
        QCOMPARE(settledCount(strGlobal), intExpected += 1);
        evaluate(strBridge + "." + strSetter);
        QCOMPARE(settledCount(strGlobal), intExpected += 1);

        evaluate(strBridge + ".observerDisable()");
        evaluate(strBridge + ".observerEnable()");
        evaluate(strBridge + "." + strSetter);
        QCOMPARE(settledCount(strGlobal), intExpected += 1);

        QCOMPARE(settledCount(strOther), 0);

        // Each load publishes a new bridge object and none is ever removed: two loads, two calls per change.
        QVERIFY(TestSupport::reloadFromPage(Display::obtain()));
        evaluate(strBridge + "." + strSetter);
        QCOMPARE(settledCount(strGlobal), 2);
    }

    void pageWithoutHandlersIsLeftAlone() {
        TestSupport::writePage(TestSupport::strPlainPage);
        QVERIFY(TestSupport::reloadPage(Display::obtain()));
        evaluate("jsPreferenceAccountSelected.setStrUser('x'); jsPreferenceLanguage.setStrName('x');"
                 "jsPreferenceAccountSelected.clear(); jsPreferenceLanguage.clear();");
        QVERIFY(TestSupport::settle(Display::obtain()));
        TestSupport::writePage(TestSupport::strCountingPage);
    }
};

QTEST_MAIN(TestPreferenceJavascriptinterface)
#include "test_preferencejavascriptinterface.moc"
