#include "PageDriver.h"

#include "display/Display.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <QWebView>

#include <functional>

namespace {

const QString strMaster = "Zq7-vault";

// What the program told assistive technology: the notices, the focus moves (with the named panel or dialog
// each lies in), the checked states ("name=1") and the objects gone.
QStringList qstringlistTold;
QStringList qstringlistFocus;
QStringList qstringlistPlace;
QStringList qstringlistChecked;
QSet<QAccessible::Id> qsetGone;

// The outermost named panel or dialog around an element: the screen or the dialog it is in.
QString place(QAccessibleInterface *objectInterface) {
    QString strPlace;
    for (QAccessibleInterface *objectParent = objectInterface->parent();
         objectParent != nullptr && objectParent->role() != QAccessible::WebDocument;
         objectParent = objectParent->parent()) {
        const QString strName = objectParent->text(QAccessible::Name);
        if ((objectParent->role() == QAccessible::Grouping || objectParent->role() == QAccessible::Dialog) &&
            !strName.isEmpty()) {
            strPlace = strName;
        }
    }
    return strPlace;
}

void record(QAccessibleEvent *objectEvent) {
    QAccessibleInterface *objectInterface = objectEvent->accessibleInterface();
    if (objectEvent->type() == QAccessible::ObjectShow && objectInterface->role() == QAccessible::Notification) {
        qstringlistTold.append(objectInterface->text(QAccessible::Name));
    } else if (objectEvent->type() == QAccessible::Focus) {
        qstringlistFocus.append(objectInterface->text(QAccessible::Name));
        qstringlistPlace.append(place(objectInterface));
    } else if (objectEvent->type() == QAccessible::StateChanged &&
               static_cast<QAccessibleStateChangeEvent *>(objectEvent)->changedStates().checked) {
        qstringlistChecked.append(objectInterface->text(QAccessible::Name) + "=" +
                                  QString::number(objectInterface->state().checked));
    } else if (objectEvent->type() == QAccessible::ObjectDestroyed) {
        qsetGone.insert(QAccessible::uniqueId(objectInterface));
    }
}

// The identities of every interface below the web view's.
QSet<QAccessible::Id> identities(QAccessibleInterface *objectView) {
    QSet<QAccessible::Id> qsetResult;
    for (QAccessibleInterface *objectInterface : PageDriver::descendants(objectView)) {
        qsetResult.insert(QAccessible::uniqueId(objectInterface));
    }
    return qsetResult;
}

// The catalogue's text with its placeholders filled in.
QString filled(const QString &strName, const QMap<QString, QString> &qmapValue) {
    QString strText = PageDriver::catalogue(strName);
    for (auto objectValue = qmapValue.cbegin(); objectValue != qmapValue.cend(); ++objectValue) {
        strText.replace("{" + objectValue.key() + "}", objectValue.value());
    }
    return strText;
}

QString last(const QStringList &qstringlistEvent) {
    return qstringlistEvent.isEmpty() ? QString() : qstringlistEvent.last();
}

} // namespace

// The page on a real X server with the accessibility bus running, as a screen reader meets it.
class TestPageAccessibleBus : public QObject {
    Q_OBJECT

    PageDriver objectDriver;

    void openAccount() {
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
    }

    // Runs the reader for at most the seconds given, functionMeanwhile acting once it listens, and puts what it
    // printed into strRead.
    void readThroughTheBus(int intSeconds, const std::function<void()> &functionMeanwhile, QString &strRead) {
        QProcess objectReader;
        auto functionRead = [&objectReader, &strRead]() {
            strRead += QString::fromUtf8(objectReader.readAllStandardOutput());
            return strRead;
        };
        objectReader.start("/usr/bin/python3", {TestSupport::sourcePath("tests/page/test_pageaccessiblebus.py"),
                                                "Tessaloquin", QString::number(intSeconds)});
        QTRY_VERIFY_WITH_TIMEOUT(functionRead().contains("\nready\n"), 20000);
        functionMeanwhile();
        // The reader asks the program while it runs: wait with the event loop turning.
        QTRY_VERIFY_WITH_TIMEOUT(objectReader.state() == QProcess::NotRunning, 60000);
        functionRead();
        QVERIFY2(objectReader.exitCode() == 0, objectReader.readAllStandardError().constData());
    }

private slots:
    void initTestCase() {
        objectDriver.start();
        QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
        QTRY_VERIFY(objectDriver.objectDisplay->objectWebview->hasFocus());
    }

    void init() {
        QVERIFY(objectDriver.restart({account("example.com", "me@example.com", "me"), account("b.org", "b@b.org")}));
        objectDriver.accessible();
        qstringlistTold.clear();
        qstringlistFocus.clear();
        qstringlistPlace.clear();
        qstringlistChecked.clear();
        qsetGone.clear();
        QAccessible::installUpdateHandler(record);
    }

    void cleanup() {
        QAccessible::installUpdateHandler(nullptr);
        objectDriver.checkConsole();
    }

    void focusMovesByTabAndTheListsArrowsAreTold() {
        objectDriver.key(Qt::Key_Tab);
        QTRY_COMPARE(last(qstringlistFocus), PageDriver::catalogue("list_sort_label"));
        objectDriver.js("document.getElementById('list').focus();");
        QTRY_COMPARE(last(qstringlistFocus), QString("b.org b@b.org"));
        objectDriver.key(Qt::Key_Down);
        QTRY_COMPARE(last(qstringlistFocus), QString("example.com me@example.com \u00b7 me"));
    }

    void objectsKeepTheirIdentityAsLongAsTheirElement() {
        QAccessibleInterface *objectView = objectDriver.accessible();
        QAccessibleInterface *objectFilter =
            objectDriver.accessible(QAccessible::EditableText, PageDriver::catalogue("list_filter_label"));
        QVERIFY(objectFilter != nullptr);
        const QAccessible::Id intFilter = QAccessible::uniqueId(objectFilter);
        QSet<QAccessible::Id> qsetSeen = identities(objectView);
        // Away and back: the list's elements were hidden, not replaced.
        objectDriver.openFirst();
        qsetSeen += identities(objectDriver.accessible());
        objectDriver.key(Qt::Key_Escape);
        QTRY_COMPARE(objectDriver.screen(), QString("list"));
        QCOMPARE(QAccessible::uniqueId(
                     objectDriver.accessible(QAccessible::EditableText, PageDriver::catalogue("list_filter_label"))),
                 intFilter);
        // The shortcut list is made anew at each opening: new objects, never an identity given before, and the
        // old ones told gone.
        QSet<QAccessible::Id> qsetFirst;
        for (int intOpening = 0; intOpening < 2; intOpening += 1) {
            objectDriver.key(Qt::Key_F1);
            QTRY_COMPARE(objectDriver.focused(), QString("shortcut-0"));
            const QSet<QAccessible::Id> qsetOpen = identities(objectDriver.accessible());
            const QSet<QAccessible::Id> qsetNew = qsetOpen - qsetSeen;
            // First the dialog, its heading, its list, 12 rows and its button; then only the rows are new.
            QCOMPARE(qsetNew.size(), intOpening == 0 ? 16 : 12);
            if (intOpening == 1) {
                QVERIFY(qsetFirst.intersects(qsetGone));
            }
            qsetFirst = qsetNew;
            qsetSeen += qsetOpen;
            objectDriver.key(Qt::Key_Escape);
            QTRY_VERIFY(!objectDriver.shown("shortcuts"));
        }
        // An element that becomes another kind of thing is another object.
        const QAccessible::Id intAdd =
            QAccessible::uniqueId(objectDriver.accessible(QAccessible::Button, PageDriver::catalogue("list_add")));
        objectDriver.js("document.getElementById('list-add').setAttribute('role', 'heading');");
        QAccessibleInterface *objectHeading =
            objectDriver.accessible(QAccessible::Heading, PageDriver::catalogue("list_add"));
        QVERIFY(objectHeading != nullptr);
        QVERIFY(!qsetSeen.contains(QAccessible::uniqueId(objectHeading)));
        QVERIFY(qsetGone.contains(intAdd));
    }

    void screenChangesMoveTheFocusIntoTheirNamedPlace_data() {
        // How the screen is reached, and the name of the focus and of the place it lands in.
        QTest::addColumn<QString>("strHow");
        QTest::addColumn<QString>("strFocus");
        QTest::addColumn<QString>("strPlace");
        QTest::newRow("an account, by a click in the list")
            << "#list .item" << PageDriver::catalogue("master_label") << "b.org, b@b.org";
        QTest::newRow("a new account, by Ctrl+N")
            << "ctrl+N" << PageDriver::catalogue("field_website") << PageDriver::catalogue("edit_title_new");
        QTest::newRow("the settings, by their tab") << "#nav-settings"
                                                    << "English" << PageDriver::catalogue("settings_title");
        QTest::newRow("import and export, by their tab")
            << "#nav-transfer" << PageDriver::catalogue("export_button") << PageDriver::catalogue("transfer_title");
    }

    void screenChangesMoveTheFocusIntoTheirNamedPlace() {
        QFETCH(QString, strHow);
        QFETCH(QString, strFocus);
        QFETCH(QString, strPlace);
        if (strHow.startsWith('#')) {
            objectDriver.click(strHow);
        } else {
            objectDriver.key(Qt::Key_N, Qt::ControlModifier);
        }
        QTRY_COMPARE(last(qstringlistFocus), strFocus);
        QCOMPARE(last(qstringlistPlace), strPlace);
        // And back to the list the same way.
        objectDriver.key(Qt::Key_Escape);
        QTRY_COMPARE(last(qstringlistPlace), PageDriver::catalogue("nav_accounts"));
    }

    void theFingerprintIsToldOnceWhenItAppears() {
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
        const QString strLabel = PageDriver::catalogue("fingerprint_label") + ": ";
        QTRY_COMPARE(qstringlistTold.size(), 1);
        QVERIFY2(qstringlistTold.first().startsWith(strLabel), qPrintable(qstringlistTold.first()));
        QCOMPARE(qstringlistTold.first().count(", "), 2);
        // Typing on, it says nothing until the next pause, then the new one once.
        objectDriver.keys("xy");
        QTRY_COMPARE(qstringlistTold.size(), 2);
        QTest::qWait(500);
        QCOMPARE(qstringlistTold.size(), 2);
        QVERIFY(qstringlistTold.last().startsWith(strLabel) && qstringlistTold.last() != qstringlistTold.first());
    }

    void showIsAToggleWhoseStateIsTold_data() {
        QTest::addColumn<QString>("strToggle");
        QTest::addColumn<QString>("strName");
        QTest::newRow("master password") << "master-toggle" << PageDriver::catalogue("master_show");
        QTest::newRow("password") << "password-toggle" << PageDriver::catalogue("password_show");
    }

    void showIsAToggleWhoseStateIsTold() {
        QFETCH(QString, strToggle);
        QFETCH(QString, strName);
        openAccount();
        QAccessibleInterface *objectToggle = objectDriver.accessible(QAccessible::CheckBox, strName);
        QVERIFY(objectToggle != nullptr);
        QVERIFY(objectToggle->state().checkable && !objectToggle->state().checked);
        objectDriver.click("#" + strToggle);
        QTRY_COMPARE(qstringlistChecked, QStringList({strName + "=1"}));
        // The same object under the same name, now checked.
        QCOMPARE(objectDriver.accessible(QAccessible::CheckBox, strName), objectToggle);
        QVERIFY(objectToggle->state().checked);
        objectDriver.key(Qt::Key_Space);
        QTRY_COMPARE(qstringlistChecked, QStringList({strName + "=1", strName + "=0"}));
    }

    void listsAreReadEntryByEntry_data() {
        // What opens the list, then each key with the name the focus then has.
        QTest::addColumn<QString>("strOpen");
        QTest::addColumn<QList<int>>("qlistKey");
        QTest::addColumn<QStringList>("qstringlistFocus");
        const QString strTab = PageDriver::catalogue("key_tab");
        const QString strShift = PageDriver::catalogue("key_shift");
        QTest::newRow("shortcuts") << "F1"
                                   << QList<int>{0, Qt::Key_Down, Qt::Key_End, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Home}
                                   << QStringList{strTab + ": " + PageDriver::catalogue("shortcut_next"),
                                                  strShift + "+" + strTab + ": " +
                                                      PageDriver::catalogue("shortcut_previous"),
                                                  "F1, ?: " + PageDriver::catalogue("shortcut_help"),
                                                  PageDriver::catalogue("action_close"),
                                                  "F1, ?: " + PageDriver::catalogue("shortcut_help"),
                                                  strTab + ": " + PageDriver::catalogue("shortcut_next")};
        QTest::newRow("accounts an import adds")
            << "import" << QList<int>{0, Qt::Key_Down, Qt::Key_Up, Qt::Key_Tab}
            << QStringList{
                   "a.example a@a.example",
                   "example.com me@example.com " + PageDriver::catalogue("import_differs") + " " +
                       filled("import_change",
                              {{"field", PageDriver::catalogue("field_user")}, {"value", "joe"}, {"listed", "me"}}),
                   "a.example a@a.example", PageDriver::catalogue("import_confirm")};
    }

    void listsAreReadEntryByEntry() {
        QFETCH(QString, strOpen);
        QFETCH(QList<int>, qlistKey);
        QFETCH(QStringList, qstringlistFocus);
        if (strOpen == "F1") {
            objectDriver.key(Qt::Key_F1);
        } else {
            PageDriver::setClipboard("[{\"strWebsite\": \"a.example\", \"strMail\": \"a@a.example\"},"
                                     " {\"strWebsite\": \"example.com\", \"strMail\": \"me@example.com\","
                                     " \"strUser\": \"joe\"}]");
            objectDriver.click("#nav-transfer");
            objectDriver.click("#import-button");
        }
        for (int i = 0; i < qlistKey.size(); i += 1) {
            if (qlistKey.at(i) != 0) {
                objectDriver.key(qlistKey.at(i));
            }
            QTRY_COMPARE(last(::qstringlistFocus), qstringlistFocus.at(i));
        }
    }

    void eachNoticeIsToldOnce_data() {
        QTest::addColumn<QString>("strDo");
        QTest::addColumn<QStringList>("qstringlistNotice");
        QTest::newRow("the import's summary")
            << "import" << QStringList{filled("import_preview", {{"add", "1"}, {"skip", "0"}})};
        // Said in German: its text is read after the switch.
        QTest::newRow("a language chosen") << "language" << QStringList();
    }

    void eachNoticeIsToldOnce() {
        QFETCH(QString, strDo);
        QFETCH(QStringList, qstringlistNotice);
        if (strDo == "import") {
            PageDriver::setClipboard("[{\"strWebsite\": \"a.example\", \"strMail\": \"a@a.example\"}]");
            objectDriver.click("#nav-transfer");
            objectDriver.click("#import-button");
        } else {
            objectDriver.click("#nav-settings");
            objectDriver.click("#language-de");
            qstringlistNotice = QStringList{filled("language_changed", {{"language", "Deutsch"}})};
            QCOMPARE(PageDriver::catalogue("language_title"), QString("Sprache"));
        }
        QTRY_COMPARE(qstringlistTold.size(), 1);
        QTest::qWait(500);
        QCOMPARE(qstringlistTold, qstringlistNotice);
        // The focus does not say it a second time.
        QVERIFY(!qstringlistFocus.contains(qstringlistNotice.first()) &&
                !qstringlistPlace.contains(qstringlistNotice.first()));
    }

    void copiesAndTheClearingAreAnnouncedOnceEach() {
        objectDriver.js("Timing.intClipboardSeconds = 2;");
        openAccount();
        // The fingerprint comes first.
        QTRY_COMPARE(qstringlistTold.size(), 1);
        qstringlistTold.clear();
        objectDriver.key(Qt::Key_Enter);
        QTRY_COMPARE(last(qstringlistTold), PageDriver::catalogue("clipboard_cleared"));
        objectDriver.click("#account-copy-mail");
        QTRY_COMPARE(last(qstringlistTold), PageDriver::catalogue("clipboard_copied"));
        objectDriver.click("#account-copy-mail");
        QTRY_COMPARE(qstringlistTold.size(), 4);
        QTest::qWait(500);
        // Not the ticking of the countdown, and the same text again for a second copy.
        QCOMPARE(qstringlistTold,
                 QStringList({PageDriver::catalogue("clipboard_countdown").replace("{seconds}", "2"),
                              PageDriver::catalogue("clipboard_cleared"), PageDriver::catalogue("clipboard_copied"),
                              PageDriver::catalogue("clipboard_copied")}));
    }

    void aScreenReaderReadsThePageThroughTheBus() {
        QAccessible::installUpdateHandler(nullptr);
        openAccount();
        const QString strPassword = objectDriver.value("password");
        objectDriver.click("#master-toggle");
        objectDriver.click("#master");
        QString strRead;
        readThroughTheBus(
            60,
            [this]() {
                // With a reader listening, Qt hands each key to the bus first and only then to the window.
                objectDriver.key(Qt::Key_Tab);
                QTRY_COMPARE(objectDriver.focused(), QString("master-toggle"));
                QCOMPARE(objectDriver.accessible()->focusChild()->text(QAccessible::Name),
                         PageDriver::catalogue("master_show"));
                objectDriver.click("#account-copy-mail");
            },
            strRead);
        const QString strBullets = QString(15, QChar(0x2022));
        for (const QString &strLine :
             QStringList{"tree|document web|b.org \u2013 Tessaloquin|", "tree|panel|b.org, b@b.org|",
                         "tree|password text|Master password|" + QString(9, QChar(0x2022)) + "|" +
                             PageDriver::catalogue("master_hint"),
                         "tree|password text|Password|" + strBullets, "tree|push button|Copy password|",
                         "tree|check box|" + PageDriver::catalogue("master_show") + "|",
                         "focus|check box|" + PageDriver::catalogue("master_show") + "|b.org, b@b.org",
                         "notice|" + PageDriver::catalogue("clipboard_copied")}) {
            QVERIFY2(strRead.split('\n').contains(strLine), qPrintable(strLine + "\n" + strRead));
        }
        QVERIFY(!strRead.contains(strMaster) && !strRead.contains(strPassword));
    }

    void aReaderThatComesLateFindsThePageAndItsFocus() {
        // Loaded afresh and not asked since: what the reader finds at its first look is all it has.
        QAccessible::installUpdateHandler(nullptr);
        QVERIFY(objectDriver.reload());
        QTRY_COMPARE(objectDriver.focused(), QString("filter"));
        QString strRead;
        readThroughTheBus(
            1, []() {}, strRead);
        const QStringList qstringlistRead = strRead.split('\n');
        for (const QString &strLine : {"tree|panel|" + PageDriver::catalogue("nav_accounts") + "|",
                                       "tree|list|" + PageDriver::catalogue("list_label") + "|",
                                       "focused|text|" + PageDriver::catalogue("list_filter_label")}) {
            QVERIFY2(qstringlistRead.contains(strLine), qPrintable(strLine + "\n" + qstringlistRead.join('\n')));
        }
    }
};

QTEST_MAIN(TestPageAccessibleBus)
#include "test_pageaccessiblebus.moc"
