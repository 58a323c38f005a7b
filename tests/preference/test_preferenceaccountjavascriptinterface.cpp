#include "display/Display.h"
#include "display/DisplayEngine.h"
#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountJavascriptinterface.h"
#include "preference/PreferenceAccountObserver.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

void fill(const QString &strWebsite, const QString &strNote, int intLength) {
    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    objectStore->strWebsite = strWebsite;
    objectStore->strMail = "mail@" + strWebsite;
    objectStore->strUser = "user";
    objectStore->strNote = strNote;
    objectStore->intLength = intLength;
    objectStore->strSpecial = "!";
}

} // namespace

class TestPreferenceAccountJavascriptinterface : public QObject {
    Q_OBJECT

    QVariant evaluate(const QString &strScript) { return TestSupport::evaluate(Display::obtain(), strScript); }

    // How often the page's PreferenceAccount.update() has run, once settled.
    int settledUpdates() { return TestSupport::settledCount(Display::obtain(), "intUpdate.PreferenceAccount"); }

    // A window showing the page, with a registry that holds only the registrations of its last load (the web
    // engine clears the window object more than once per load, and each clearing publishes a fresh object).
    TestPage *showPage(const char *strPage) {
        TestSupport::writePage(strPage);
        TestPage *objectPage = TestSupport::installTestPage(Display::obtain());
        PreferenceAccountObserver::dispel();
        TestSupport::reloadPage(Display::obtain());
        return objectPage;
    }

private slots:
    void init() { TestSupport::resetStore(); }

    void cleanup() {
        Display::dispel();
        TestSupport::closeStore();
        QCOMPARE(TestSupport::connectionWarnings(), QStringList());
    }

    void getAllWritesTheRestOfTheCursor() {
        PreferenceAccountJavascriptinterface objectBridge;
        PreferenceAccountObserver::obtain()->boolEnabled = false; // no window to tell
        PreferenceAccount *objectStore = PreferenceAccount::obtain();

        objectStore->selectOpen("SELECT * FROM PreferenceAccount", {});
        QCOMPARE(objectBridge.getAll(), QString("[]"));

        fill("b.org", QString(), 20);
        objectStore->create();
        fill("a.org", "note", 8);
        objectStore->create();

        objectStore->selectOpen("SELECT * FROM PreferenceAccount ORDER BY strWebsite DESC", {});
        QCOMPARE(objectBridge.getAll(),
                 QString("[{\"intIdent\":1,\"intLength\":20,\"strMail\":\"mail@b.org\",\"strNote\":\"\","
                         "\"strSpecial\":\"!\",\"strUser\":\"user\",\"strWebsite\":\"b.org\"},"
                         "{\"intIdent\":2,\"intLength\":8,\"strMail\":\"mail@a.org\",\"strNote\":\"note\","
                         "\"strSpecial\":\"!\",\"strUser\":\"user\",\"strWebsite\":\"a.org\"}]"));
        QCOMPARE(objectStore->intIdent, 0);
        QVERIFY(objectStore->strWebsite.isNull());
        QCOMPARE(objectBridge.getAll(), QString("[]"));

        // The rest only, after a step of the caller's own.
        objectStore->selectOpen("SELECT intIdent FROM PreferenceAccount ORDER BY intIdent", {});
        objectStore->selectNext();
        QCOMPARE(objectBridge.getAll(), QString("[{\"intIdent\":2,\"intLength\":0,\"strMail\":\"\",\"strNote\":\"\","
                                                "\"strSpecial\":\"\",\"strUser\":\"\",\"strWebsite\":\"\"}]"));

        objectStore->selectOpen("SELECT strWebsite FROM PreferenceAccount", {});
        QCOMPARE(objectBridge.getAll(), QString("[]"));
    }

    void getAllEscapesWhatJsonMust_data() {
        QTest::addColumn<QString>("strNote");
        QTest::addColumn<QString>("strWritten");

        QTest::newRow("double quote") << "say \"hi\""
                                      << "say \\\"hi\\\"";
        QTest::newRow("backslash") << "C:\\Users\\ada"
                                   << "C:\\\\Users\\\\ada";
        QTest::newRow("line breaks and tab") << "one\ntwo\r\nthree\tfour"
                                             << "one\\ntwo\\r\\nthree\\tfour";
        QTest::newRow("control character") << QString("bell") + QChar(7) << "bell\\u0007";
        QTest::newRow("non-ASCII as it is")
            << QString::fromUtf8("Zoë – 日本語 😀") << QString::fromUtf8("Zoë – 日本語 😀");
        QTest::newRow("markup as it is") << "</script><img src=x onerror=alert(1)>"
                                         << "</script><img src=x onerror=alert(1)>";
    }

    void getAllEscapesWhatJsonMust() {
        QFETCH(QString, strNote);
        QFETCH(QString, strWritten);

        PreferenceAccountJavascriptinterface objectBridge;
        PreferenceAccountObserver::obtain()->boolEnabled = false;
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        fill(strNote, strNote, 15);
        objectStore->create();

        objectStore->selectOpen("SELECT * FROM PreferenceAccount", {});
        const QString strJson = objectBridge.getAll();
        QVERIFY2(strJson.contains("\"strNote\":\"" + strWritten + "\""), qPrintable(strJson));

        QJsonParseError objectError;
        const QJsonDocument objectDocument = QJsonDocument::fromJson(strJson.toUtf8(), &objectError);
        QCOMPARE(objectError.error, QJsonParseError::NoError);
        const QJsonObject objectRecord = objectDocument.array().at(0).toObject();
        QCOMPARE(objectRecord.value("strNote").toString(), strNote);
        QCOMPARE(objectRecord.value("strWebsite").toString(), strNote);
    }

    void fieldsReachTheirOwnStoreFields() {
        PreferenceAccountJavascriptinterface objectBridge;
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectBridge.setIntIdent(4);
        objectBridge.setStrWebsite("website");
        objectBridge.setStrMail("mail");
        objectBridge.setStrUser("user");
        objectBridge.setStrNote("note");
        objectBridge.setIntLength(18);
        objectBridge.setStrSpecial("special");
        QCOMPARE(QStringList({QString::number(objectStore->intIdent), objectStore->strWebsite, objectStore->strMail,
                              objectStore->strUser, objectStore->strNote, QString::number(objectStore->intLength),
                              objectStore->strSpecial}),
                 QStringList({"4", "website", "mail", "user", "note", "18", "special"}));
        QCOMPARE(QStringList({QString::number(objectBridge.getIntIdent()), objectBridge.getStrWebsite(),
                              objectBridge.getStrMail(), objectBridge.getStrUser(), objectBridge.getStrNote(),
                              QString::number(objectBridge.getIntLength()), objectBridge.getStrSpecial()}),
                 QStringList({"4", "website", "mail", "user", "note", "18", "special"}));
        QCOMPARE(objectBridge.count(), 0); // setting fields writes nothing
    }

    void observerRegistersForTheLifeOfTheObject() {
        PreferenceAccountObserver *objectRegistry = PreferenceAccountObserver::obtain();
        {
            PreferenceAccountJavascriptinterface objectFirst;
            PreferenceAccountJavascriptinterface objectSecond;
            QCOMPARE(objectRegistry->qvectorObserver,
                     QVector<void (*)()>(2, PreferenceAccountJavascriptinterface::observerPreferenceAccount));
            QVERIFY(PreferenceAccount::objectSingleton == nullptr); // the store is not touched
        }
        QVERIFY(objectRegistry->qvectorObserver.isEmpty());
    }

    void pageIsToldOfEveryChangeAfterItsScript() {
        TestPage *objectPage = showPage(TestSupport::strCountingPage);
        const int intPerChange = PreferenceAccountObserver::obtain()->qvectorObserver.size();
        QVERIFY(intPerChange >= 1);

        // Deferred: the calling script still sees no update.
        QCOMPARE(evaluate("jsPreferenceAccount.setStrWebsite('example.org'); jsPreferenceAccount.create(); "
                          "intUpdate.PreferenceAccount")
                     .toInt(),
                 0);
        QCOMPARE(settledUpdates(), 1 * intPerChange);

        evaluate("jsPreferenceAccount.setIntIdent(1); jsPreferenceAccount.setStrUser('ada'); "
                 "jsPreferenceAccount.save();");
        QCOMPARE(settledUpdates(), 2 * intPerChange);
        evaluate("jsPreferenceAccount.selectOpen('SELECT * FROM PreferenceAccount WHERE strWebsite = ?', "
                 "['example.org']); var listAccount = JSON.parse(jsPreferenceAccount.getAll()); "
                 "jsPreferenceAccount.selectClose();");
        QCOMPARE(evaluate("listAccount.length + ' ' + listAccount[0].strUser + ' ' + "
                          "typeof jsPreferenceAccount.count() + ' ' + jsPreferenceAccount.count()")
                     .toString(),
                 QString("1 ada number 1"));
        evaluate("jsPreferenceAccount.remove();");
        QCOMPARE(settledUpdates(), 3 * intPerChange);
        evaluate("jsPreferenceAccount.create(); jsPreferenceAccount.create(); jsPreferenceAccount.clear();");
        QCOMPARE(settledUpdates(), 6 * intPerChange);

        // Neither the page's own statements nor reading tell it anything.
        evaluate("jsPreferenceAccount.create();");
        QCOMPARE(settledUpdates(), 7 * intPerChange);
        evaluate("jsPreferenceAccount.selectOpen('DELETE FROM PreferenceAccount', []); jsPreferenceAccount.count(); "
                 "jsPreferenceAccount.selectOpen('SELECT * FROM PreferenceAccount', []); jsPreferenceAccount.getAll();"
                 "jsPreferenceAccount.selectClose();");
        QCOMPARE(settledUpdates(), 7 * intPerChange);
        QCOMPARE(PreferenceAccount::obtain()->count(), 0);

        QCOMPARE(objectPage->qstringlistConsole, QStringList());
    }

    void disablingThroughOneObjectSilencesEveryRegistration() {
        showPage(TestSupport::strCountingPage);
        QObject *objectFirst = Display::obtain()->objectEngine->published("jsPreferenceAccount");
        QVERIFY(objectFirst != nullptr);

        const int intFirst = PreferenceAccountObserver::obtain()->qvectorObserver.size();

        // A second load adds its registrations to those of the first: a change updates once for each.
        QVERIFY(TestSupport::reloadPage(Display::obtain()));
        QVERIFY(Display::obtain()->objectEngine->published("jsPreferenceAccount") != objectFirst);
        const int intPerChange = PreferenceAccountObserver::obtain()->qvectorObserver.size();
        QCOMPARE(intPerChange, 2 * intFirst);
        evaluate("jsPreferenceAccount.create();");
        QCOMPARE(settledUpdates(), intPerChange);

        QVERIFY(QMetaObject::invokeMethod(objectFirst, "observerDisable"));
        evaluate("jsPreferenceAccount.create(); jsPreferenceAccount.clear();");
        QCOMPARE(settledUpdates(), intPerChange);

        evaluate("jsPreferenceAccount.observerEnable(); jsPreferenceAccount.create();");
        QCOMPARE(settledUpdates(), 2 * intPerChange);
    }

    void pageWithoutItsObjectIsLeftAlone() {
        TestPage *objectPage = showPage(TestSupport::strPlainPage);
        evaluate("jsPreferenceAccount.create(); var intUpdate = { PreferenceAccount: 0 };");
        QCOMPARE(settledUpdates(), 0);
        QCOMPARE(objectPage->qstringlistConsole, QStringList());
        QCOMPARE(PreferenceAccount::obtain()->count(), 1);
    }
};

QTEST_MAIN(TestPreferenceAccountJavascriptinterface)
#include "test_preferenceaccountjavascriptinterface.moc"
