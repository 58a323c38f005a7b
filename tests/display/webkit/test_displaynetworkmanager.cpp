#include "display/webkit/DisplayNetworkmanager.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

class TestDisplayNetworkmanager : public QObject {
    Q_OBJECT

private slots:
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
