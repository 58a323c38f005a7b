#include "display/DisplayAddress.h"

#include <QTest>
#include <QUrl>

class TestDisplayAddress : public QObject {
    Q_OBJECT

private slots:
    void rewriteUrl_data() {
        QTest::addColumn<QString>("strDirectory");
        QTest::addColumn<QString>("strRequested");
        QTest::addColumn<QString>("strExpected");

        QTest::newRow("asset with query is mapped, query dropped") << "/opt/app"
                                                                   << "file:///android_asset/js/a.js?v=3"
                                                                   << "file:///opt/app/assets/js/a.js";
        QTest::newRow("asset without query") << "/opt/app"
                                             << "file:///android_asset/css/main.css"
                                             << "file:///opt/app/assets/css/main.css";
        QTest::newRow("plain file URL unchanged") << "/opt/app"
                                                  << "file:///opt/app/assets/index.html"
                                                  << "file:///opt/app/assets/index.html";
        QTest::newRow("web URL loses its query") << "/opt/app"
                                                 << "https://example.com/path?x=1&y=2"
                                                 << "https://example.com/path";
        QTest::newRow("other scheme loses its query") << "/opt/app"
                                                      << "ftp://example.com/f?x"
                                                      << "ftp://example.com/f";
        QTest::newRow("fragment without question mark kept") << "/opt/app"
                                                             << "file:///android_asset/index.html#list"
                                                             << "file:///opt/app/assets/index.html#list";
        QTest::newRow("question mark in fragment cuts it") << "/opt/app"
                                                           << "http://example.com/a#frag?x"
                                                           << "http://example.com/a#frag";
        QTest::newRow("prefix without trailing slash not mapped") << "/opt/app"
                                                                  << "file:///android_asset"
                                                                  << "file:///android_asset";
        QTest::newRow("folder with a space") << "/opt/my app"
                                             << "file:///android_asset/js/a.js?v=3"
                                             << "file:///opt/my app/assets/js/a.js";
        QTest::newRow("non-ASCII folder") << "/opt/пароль"
                                          << "file:///android_asset/x.js"
                                          << "file:///opt/пароль/assets/x.js";
    }

    void rewriteUrl() {
        QFETCH(QString, strDirectory);
        QFETCH(QString, strRequested);
        QFETCH(QString, strExpected);

        const QUrl objectResult = DisplayAddress::rewriteUrl(QUrl(strRequested), strDirectory);
        QVERIFY(objectResult.isValid());
        QVERIFY(!objectResult.hasQuery());
        QCOMPARE(objectResult, QUrl(strExpected, QUrl::TolerantMode));
    }

    void folderWithReservedCharactersNamesTheRightFile() {
        const QUrl objectResult = DisplayAddress::rewriteUrl(QUrl("file:///android_asset/x.js?v=1"), "/opt/a?b#c");
        QCOMPARE(objectResult.toLocalFile(), QString("/opt/a?b#c/assets/x.js"));
        QVERIFY(!objectResult.hasFragment());
    }

    void shippedDocument_data() {
        QTest::addColumn<QString>("strUrl");
        QTest::addColumn<bool>("boolPage");
        QTest::addColumn<bool>("boolDocument");

        QTest::newRow("the page") << "file:///opt/app/assets/index.html" << true << true;
        QTest::newRow("the page with query and fragment") << "file:///opt/app/assets/index.html?x#y" << true << true;
        QTest::newRow("the page as an asset") << "file:///android_asset/index.html" << true << true;
        QTest::newRow("another asset") << "file:///opt/app/assets/js/list.js" << false << true;
        QTest::newRow("an empty frame") << "about:blank" << false << true;
        QTest::newRow("the data folder") << "file:///opt/app/res/PreferenceAccount.ini" << false << false;
        QTest::newRow("out of assets by dots") << "file:///opt/app/assets/../res/language.xml" << false << false;
        QTest::newRow("out of assets by encoded dots")
            << "file:///opt/app/assets/%2E%2E/res/language.xml" << false << false;
        QTest::newRow("a folder named like assets") << "file:///opt/app/assets2/index.html" << false << false;
        QTest::newRow("a file on a host") << "file://host/opt/app/assets/index.html" << false << false;
        QTest::newRow("a web address") << "http://127.0.0.1/opt/app/assets/index.html" << false << false;
        QTest::newRow("a script address") << "javascript:alert(1)" << false << false;
        QTest::newRow("a data address") << "data:text/html,<b>x</b>" << false << false;
    }

    void shippedDocument() {
        QFETCH(QString, strUrl);
        QFETCH(bool, boolPage);
        QFETCH(bool, boolDocument);

        QCOMPARE(DisplayAddress::isShippedPage(QUrl(strUrl), "/opt/app"), boolPage);
        QCOMPARE(DisplayAddress::isShippedDocument(QUrl(strUrl), "/opt/app"), boolDocument);
    }
};

QTEST_GUILESS_MAIN(TestDisplayAddress)
#include "test_displayaddress.moc"
