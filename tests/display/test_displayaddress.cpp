#include "display/DisplayNetworkmanager.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

class TestDisplayNetworkmanager : public QObject {
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

        const QUrl objectResult = DisplayNetworkmanager::rewriteUrl(QUrl(strRequested), strDirectory);
        QVERIFY(objectResult.isValid());
        QVERIFY(!objectResult.hasQuery());
        QCOMPARE(objectResult, QUrl(strExpected, QUrl::TolerantMode));
    }

    void folderWithReservedCharactersNamesTheRightFile() {
        const QUrl objectResult =
            DisplayNetworkmanager::rewriteUrl(QUrl("file:///android_asset/x.js?v=1"), "/opt/a?b#c");
        QCOMPARE(objectResult.toLocalFile(), QString("/opt/a?b#c/assets/x.js"));
        QVERIFY(!objectResult.hasFragment());
    }

    void requestsGoThroughTheRewriting() {
        TestSupport::writeFile("assets/js/a.js", "var a = 1;\n");
        DisplayNetworkmanager objectManager(nullptr);

        QNetworkReply *objectReply = objectManager.get(QNetworkRequest(QUrl("file:///android_asset/js/a.js?v=3")));
        QSignalSpy objectSpy(objectReply, SIGNAL(finished()));
        QVERIFY(objectReply->isFinished() || objectSpy.wait(5000));
        QCOMPARE(objectReply->url(), QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/assets/js/a.js"));
        QCOMPARE(objectReply->error(), QNetworkReply::NoError);
        QCOMPARE(objectReply->readAll(), QByteArray("var a = 1;\n"));
        delete objectReply;
    }
};

QTEST_GUILESS_MAIN(TestDisplayNetworkmanager)
#include "test_displaynetworkmanager.moc"
