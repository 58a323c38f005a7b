#include "PageDriver.h"

#include "display/Display.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

const QString strMaster = "Zq7-vault";

// What the program told assistive technology: the notices, the focus moves, as "focus|name|place" (place: the
// outermost named panel or dialog around it, the screen or the dialog) beside the names alone, the checked
// states ("checked|name|1") and the objects gone.
QStringList qstringlistTold;
QStringList qstringlistFocus;
QStringList qstringlistEvent;
QSet<QAccessible::Id> qsetGone;
// What the program itself hands accessibility events to, which the bus tests leave in place.
QAccessible::UpdateHandler functionProgram = nullptr;

QString place(QAccessibleInterface *objectInterface) {
    QString strPlace;
    for (QAccessibleInterface *objectParent = objectInterface->parent();
         objectParent != nullptr && objectParent->role() != QAccessible::WebDocument;
         objectParent = objectParent->parent()) {
        const QString strName = objectParent->text(QAccessible::Name);
        const bool boolPlace =
            objectParent->role() == QAccessible::Grouping || objectParent->role() == QAccessible::Dialog;
        strPlace = boolPlace && !strName.isEmpty() ? strName : strPlace;
    }
    return strPlace;
}

void record(QAccessibleEvent *objectEvent) {
    QAccessibleInterface *objectInterface = objectEvent->accessibleInterface();
    const QString strName = objectInterface ? objectInterface->text(QAccessible::Name) : QString();
    if (objectInterface == nullptr) {
        return;
    }
    if (objectEvent->type() == QAccessible::ObjectShow && objectInterface->role() == QAccessible::Notification) {
        qstringlistTold.append(strName);
    } else if (objectEvent->type() == QAccessible::Focus) {
        qstringlistFocus.append(strName);
        qstringlistEvent.append("focus|" + strName + "|" + place(objectInterface));
    } else if (objectEvent->type() == QAccessible::StateChanged &&
               static_cast<QAccessibleStateChangeEvent *>(objectEvent)->changedStates().checked) {
        qstringlistEvent.append("checked|" + strName + "|" + QString::number(objectInterface->state().checked));
    } else if (objectEvent->type() == QAccessible::ObjectDestroyed) {
        qsetGone.insert(QAccessible::uniqueId(objectInterface));
    }
}

QSet<QAccessible::Id> identities(QAccessibleInterface *objectView) {
    QSet<QAccessible::Id> qsetResult;
    for (QAccessibleInterface *objectInterface : PageDriver::descendants(objectView)) {
        qsetResult.insert(QAccessible::uniqueId(objectInterface));
    }
    return qsetResult;
}

// The identities below the view, each remembered with its role; an identity seen before with another role (a
// reader would keep the old one) goes into qstringlistStale.
QSet<QAccessible::Id> look(QAccessibleInterface *objectView, QHash<QAccessible::Id, QAccessible::Role> &qhashRole,
                           QStringList &qstringlistStale) {
    QSet<QAccessible::Id> qsetResult;
    for (QAccessibleInterface *objectInterface : PageDriver::descendants(objectView)) {
        const QAccessible::Id intId = QAccessible::uniqueId(objectInterface);
        if (qhashRole.value(intId, objectInterface->role()) != objectInterface->role()) {
            qstringlistStale.append(QString("%1 was %2, is %3 %4")
                                        .arg(intId)
                                        .arg(qhashRole.value(intId))
                                        .arg(objectInterface->role())
                                        .arg(objectInterface->text(QAccessible::Name)));
        }
        qhashRole.insert(intId, objectInterface->role());
        qsetResult.insert(intId);
    }
    return qsetResult;
}

int countRole(const QSet<QAccessible::Id> &qsetId, QAccessible::Role enumRole) {
    int intCount = 0;
    for (QAccessible::Id intId : qsetId) {
        QAccessibleInterface *objectInterface = QAccessible::accessibleInterface(intId);
        intCount += objectInterface != nullptr && objectInterface->role() == enumRole;
    }
    return intCount;
}

// Catalogue names in braces ("{master_label}") replaced by their texts.
QString expand(QString strText) {
    QRegularExpressionMatch objectMatch;
    while ((objectMatch = QRegularExpression("\\{([a-z0-9]+(?:_[a-z0-9]+)+)\\}").match(strText)).hasMatch()) {
        strText.replace(objectMatch.captured(0), PageDriver::catalogue(objectMatch.captured(1)));
    }
    return strText;
}

// Whether the lines wanted were told in this order, with anything between them; one ending in "*" wants only
// its beginning.
bool inOrder(const QStringList &qstringlistTold, const QStringList &qstringlistWanted) {
    int intAt = 0;
    for (const QString &strTold : qstringlistTold) {
        const QString strWanted = qstringlistWanted.value(intAt, "\n");
        intAt += strWanted.endsWith('*') ? strTold.startsWith(strWanted.chopped(1)) : strTold == strWanted;
    }
    return intAt == qstringlistWanted.size();
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

    // The name of the object assistive technology takes for the focus; Chromium follows the page's focus in its
    // own time.
    QString focusName() {
        QAccessibleInterface *objectFocus = objectDriver.accessible()->focusChild();
        return objectFocus != nullptr ? objectFocus->text(QAccessible::Name) : QString();
    }

    // A step as a user takes it: "click selector", "key name", "keys text" or "clipboard text".
    void act(const QString &strStep) {
        const QMap<QString, int> qmapKey = {{"Escape", Qt::Key_Escape}, {"F1", Qt::Key_F1},      {"Down", Qt::Key_Down},
                                            {"Up", Qt::Key_Up},         {"Tab", Qt::Key_Tab},    {"End", Qt::Key_End},
                                            {"Home", Qt::Key_Home},     {"Space", Qt::Key_Space}};
        const QString strArgument = strStep.section(' ', 1);
        if (strStep.startsWith("click ")) {
            objectDriver.click(strArgument);
        } else if (strStep.startsWith("keys ")) {
            objectDriver.keys(strArgument);
        } else if (strStep.startsWith("clipboard ")) {
            PageDriver::setClipboard(strArgument);
        } else {
            objectDriver.key(strArgument == "ctrl+N" ? Qt::Key_N : qmapKey.value(strArgument),
                             strArgument == "ctrl+N" ? Qt::ControlModifier : Qt::NoModifier);
        }
    }

    // Runs the reader for at most the seconds given, or until it hears the notice named, functionMeanwhile acting
    // once it listens (given what the reader printed so far), and puts what it printed into strRead. With boolEnd,
    // the reader stops once functionMeanwhile has acted.
    void readThroughTheBus(int intSeconds,
                           const std::function<void(const std::function<QString()> &)> &functionMeanwhile,
                           QString &strRead, const QString &strUntil = QString(), bool boolEnd = false) {
        QProcess objectReader;
        auto functionRead = [&objectReader, &strRead]() {
            strRead += QString::fromUtf8(objectReader.readAllStandardOutput());
            return strRead;
        };
        objectReader.start("/usr/bin/python3", {TestSupport::sourcePath("tests/page/test_pageaccessiblebus.py"),
                                                "Tessaloquin", QString::number(intSeconds), strUntil});
        QTRY_VERIFY_WITH_TIMEOUT(functionRead().contains("\nready\n"), 20000);
        functionMeanwhile(functionRead);
        if (boolEnd) {
            objectReader.closeWriteChannel();
        }
        // The reader asks the program while it runs: wait with the event loop turning.
        QTRY_VERIFY_WITH_TIMEOUT(objectReader.state() == QProcess::NotRunning, 60000);
        functionRead();
        QVERIFY2(objectReader.exitCode() == 0, objectReader.readAllStandardError().constData());
    }

private slots:
    void initTestCase() {
        objectDriver.start();
        QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
        QTRY_VERIFY(objectDriver.objectDisplay->objectView->hasFocus());
    }

    void init() {
        QVERIFY(objectDriver.restart({account("example.com", "me@example.com", "me"), account("b.org", "b@b.org")}));
        objectDriver.accessible();
        qstringlistTold.clear();
        qstringlistFocus.clear();
        qstringlistEvent.clear();
        qsetGone.clear();
        functionProgram = QAccessible::installUpdateHandler(record);
    }

    void cleanup() {
        QAccessible::installUpdateHandler(functionProgram);
        objectDriver.checkConsole();
    }

    void focusMovesByTabAndTheListsArrowsAreTold() {
        // Each step with the name the focus then has: Tab through the toolbar onto the list's active row, the
        // list's keys from row to row, the list drawn anew with an account added before the focused one, which
        // keeps the focus on its row (the next key moves on from there), and back from an account opened with
        // Enter onto its row, named as before although it is marked as the selected one now.
        const QString strB = "b.org b@b.org";
        const QString strExample = "example.com me@example.com \u00b7 me";
        const QString strAdd = "Accounts.create(Accounts.record({strWebsite: 'a.example'})); Accounts.refresh();";
        struct Step {
            int intKey;
            QString strScript;
            QString strFocus;
        };
        const QList<Step> qlistStep = {{Qt::Key_Tab, "", PageDriver::catalogue("list_sort_label")},
                                       {Qt::Key_Tab, "", PageDriver::catalogue("list_add")},
                                       {Qt::Key_Tab, "", strB},
                                       {Qt::Key_Down, "", strExample},
                                       {Qt::Key_Home, "", strB},
                                       {Qt::Key_End, "", strExample},
                                       {Qt::Key_PageUp, "", strB},
                                       {Qt::Key_PageDown, "", strExample},
                                       {0, strAdd, strExample},
                                       {Qt::Key_Up, "", strB},
                                       {Qt::Key_Up, "", "a.example"},
                                       {Qt::Key_Return, "", PageDriver::catalogue("master_label")},
                                       {Qt::Key_Escape, "", "a.example"}};
        for (const Step &objectStep : qlistStep) {
            if (objectStep.intKey == 0) {
                objectDriver.js(objectStep.strScript);
                QCOMPARE(objectDriver.focused(), QString("item-2"));
            } else {
                objectDriver.key(objectStep.intKey);
            }
            QTRY_COMPARE(last(qstringlistFocus), objectStep.strFocus);
        }
        // The row says where it stands in the whole list.
        QCOMPARE(objectDriver.accessible()->focusChild()->text(QAccessible::Description),
                 PageDriver::catalogue("list_position").replace("{position}", "1").replace("{total}", "3"));
    }

    void objectsKeepTheirIdentityAsLongAsTheirElement() {
        // Throughout, no identity ever comes back as another kind of thing.
        QHash<QAccessible::Id, QAccessible::Role> qhashRole;
        const bool boolToldGone = PageDriver::accessibleGap("told gone").isEmpty();
        QStringList qstringlistStale;
        // Chromium hands over the tree of a document loaded afresh in its own time, the last document's until
        // then (whose accounts are the same): this one's is there once its list carries a name given to it alone.
        const QString strFresh = QString::number(QDateTime::currentMSecsSinceEpoch());
        objectDriver.js("document.getElementById('list').setAttribute('aria-label', '" + strFresh + "');");
        const auto functionFresh = [this, &strFresh]() {
            const QList<QAccessibleInterface *> qlistAll = PageDriver::descendants(objectDriver.accessible());
            return std::any_of(qlistAll.begin(), qlistAll.end(), [&strFresh](QAccessibleInterface *objectInterface) {
                return objectInterface->text(QAccessible::Name) == strFresh;
            });
        };
        QTRY_VERIFY(functionFresh());
        objectDriver.js("document.getElementById('list').setAttribute('aria-label', '" +
                        PageDriver::catalogue("list_label") + "');");
        QSet<QAccessible::Id> qsetSeen = look(objectDriver.accessible(), qhashRole, qstringlistStale);
        const QAccessible::Id intFilter = QAccessible::uniqueId(
            objectDriver.accessible(QAccessible::EditableText, PageDriver::catalogue("list_filter_label")));
        // Away and back: the list's elements were hidden, not replaced, and out of a reader's reach meanwhile.
        objectDriver.openFirst();
        QTRY_VERIFY(!objectDriver.accessible(QAccessible::EditableText, PageDriver::catalogue("list_filter_label")));
        qsetSeen += look(objectDriver.accessible(), qhashRole, qstringlistStale);
        objectDriver.key(Qt::Key_Escape);
        QTRY_VERIFY(objectDriver.accessible(QAccessible::EditableText, PageDriver::catalogue("list_filter_label")));
        if (PageDriver::accessibleGap("kept hidden").isEmpty()) {
            QCOMPARE(QAccessible::uniqueId(objectDriver.accessible(QAccessible::EditableText,
                                                                   PageDriver::catalogue("list_filter_label"))),
                     intFilter);
        }
        qsetSeen += look(objectDriver.accessible(), qhashRole, qstringlistStale);
        // The shortcut list is made anew at each opening: its 12 rows are new objects with identities never
        // given before, and the old ones are told gone with the dialog.
        for (int intOpening = 0; intOpening < 2; intOpening += 1) {
            objectDriver.key(Qt::Key_F1);
            QTRY_VERIFY(objectDriver.accessible(QAccessible::Dialog, PageDriver::catalogue("shortcuts_title")));
            const QSet<QAccessible::Id> qsetOpen = look(objectDriver.accessible(), qhashRole, qstringlistStale);
            QCOMPARE(countRole(qsetOpen - qsetSeen, QAccessible::ListItem), 12);
            qsetSeen += qsetOpen;
            objectDriver.key(Qt::Key_Escape);
            QTRY_VERIFY(!boolToldGone || qsetGone.intersects(qsetOpen));
            qsetSeen += look(objectDriver.accessible(), qhashRole, qstringlistStale);
        }
        // An element that becomes another kind of thing is another object.
        objectDriver.js("document.getElementById('list-add').setAttribute('role', 'heading');");
        QTRY_VERIFY(objectDriver.accessible(QAccessible::Heading, PageDriver::catalogue("list_add")));
        QAccessibleInterface *objectHeading =
            objectDriver.accessible(QAccessible::Heading, PageDriver::catalogue("list_add"));
        QVERIFY(!qsetSeen.contains(QAccessible::uniqueId(objectHeading)));
        QVERIFY(!boolToldGone || qsetSeen.intersects(qsetGone - identities(objectDriver.accessible())));
        look(objectDriver.accessible(), qhashRole, qstringlistStale);
        QVERIFY2(qstringlistStale.isEmpty(), qPrintable(qstringlistStale.join('\n')));
    }

    void whatTheReaderIsToldAlongTheWay_data() {
        // Steps as a user takes them ("click selector", "key name", "keys text", "clipboard text"), each with what
        // it is told, each after " ~ ": focus moves and checked states, in order with anything between them, and
        // notices ("notice|=script" is a text the page computes after the step). In the end every notice has been
        // told once, and no other. Catalogue names in braces stand for their texts.
        QTest::addColumn<QStringList>("qstringlistStep");
        const QString strImport =
            "clipboard [{\"strWebsite\": \"a.example\", \"strMail\": \"a@a.example\"}, "
            "{\"strWebsite\": \"example.com\", \"strMail\": \"me@example.com\", \"strUser\": \"joe\"}]";
        const QString strShortcuts = " ~ focus|{key_tab}: {shortcut_next}|{shortcuts_title}";
        const QString strHelp = " ~ focus|F1, ?: {shortcut_help}|{shortcuts_title}";
        QTest::newRow("an account and back, its place named for it")
            << QStringList{"click #list .item ~ focus|{master_label}|b.org, b@b.org",
                           "key Escape ~ focus|{list_filter_label}|{nav_accounts}"};
        QTest::newRow("a new account by Ctrl+N") << QStringList{"key ctrl+N ~ focus|{field_website}|{edit_title_new}"};
        QTest::newRow("the fingerprint and the master password's strength once at each pause, and the toggles' states")
            << QStringList{"click #list .item",
                           "keys Zq7-vault ~ notice|{fingerprint_label}: * ~ notice|{master_level_weak}. *",
                           "keys xy ~ notice|{fingerprint_label}: * ~ notice|{master_level_weak}. *",
                           "click #master-toggle ~ checked|{master_show}|1",
                           "key Space ~ checked|{master_show}|0",
                           "click #password-toggle ~ checked|{password_show}|1"};
        QTest::newRow("the language chosen, said in the new one")
            << QStringList{"click #nav-settings ~ focus|English|{settings_title}",
                           "click #language-de ~ notice|=Catalogue.get('language_changed', {language: 'Deutsch'})"};
        QTest::newRow("an import's summary once, then its entries one by one")
            << QStringList{strImport,
                           "click #nav-transfer ~ focus|{export_button}|{transfer_title}",
                           "click #import-button ~ notice|=Catalogue.get('import_preview', {add: 2, skip: 0}) ~ "
                           "focus|a.example a@a.example|{transfer_title}",
                           "key Down ~ focus|example.com me@example.com {import_differs} {field_user} joe*",
                           "key Up ~ focus|a.example a@a.example|{transfer_title}",
                           "key Tab ~ focus|{import_confirm}|{transfer_title}"};
        QTest::newRow("the shortcuts one by one") << QStringList{
            "key F1" + strShortcuts, "key Down ~ focus|{key_shift}+{key_tab}: {shortcut_previous}|{shortcuts_title}",
            "key End" + strHelp,     "key Tab ~ focus|{action_close}|{shortcuts_title}",
            "key Tab" + strHelp,     "key Home" + strShortcuts};
    }

    void whatTheReaderIsToldAlongTheWay() {
        QFETCH(QStringList, qstringlistStep);
        QStringList qstringlistNotice;
        QStringList qstringlistOther;
        // Expanded before any step: a step may change the language.
        for (const QString &strItem : expand(qstringlistStep.join('\n')).split('\n')) {
            act(strItem.section(" ~ ", 0, 0));
            for (const QString &strWanted : strItem.split(" ~ ").mid(1)) {
                if (strWanted.startsWith("notice|")) {
                    const QString strNotice = strWanted.section('|', 1);
                    qstringlistNotice.append(strNotice.startsWith('=') ? objectDriver.js(strNotice.mid(1)).toString()
                                                                       : strNotice);
                    QTRY_VERIFY2(inOrder(qstringlistTold, qstringlistNotice), qPrintable(qstringlistTold.join('\n')));
                } else {
                    qstringlistOther.append(strWanted);
                    QTRY_VERIFY2(inOrder(qstringlistEvent, qstringlistOther), qPrintable(qstringlistEvent.join('\n')));
                }
            }
        }
        QTest::qWait(500);
        QVERIFY2(qstringlistTold.size() == qstringlistNotice.size(), qPrintable(qstringlistTold.join('\n')));
    }

    void screenChangesReachTheReaderAsFocusInTheirPlace_data() {
        // Steps as in whatTheReaderIsToldAlongTheWay, and the focus moves a reader on the bus is told, each with
        // its place. A reader takes a field it first hears of by its caret for focused already and says nothing
        // of it, so the focus must come first.
        QTest::addColumn<QStringList>("qstringlistStep");
        QTest::addColumn<QStringList>("qstringlistWanted");
        const QString strList = "focus|text|{list_filter_label}|{nav_accounts}";
        QTest::newRow("a new account by Ctrl+N")
            << QStringList{"key ctrl+N"} << QStringList{"focus|text|{field_website}|{edit_title_new}"};
        QTest::newRow("an account, named for it, and Escape back to the list")
            << QStringList{"click #list .item", "key Escape"}
            << QStringList{"focus|password text|{master_label}|b.org, b@b.org", strList};
        QTest::newRow("settings, the list, the import screen")
            << QStringList{"click #nav-settings", "key Escape", "click #nav-transfer"}
            << QStringList{"focus|radio button|English|{settings_title}", strList,
                           "focus|push button|{export_button}|{transfer_title}"};
    }

    void screenChangesReachTheReaderAsFocusInTheirPlace() {
        QFETCH(QStringList, qstringlistStep);
        QFETCH(QStringList, qstringlistWanted);
        QAccessible::installUpdateHandler(functionProgram);
        const QStringList qstringlistFocus = expand(qstringlistWanted.join('\n')).split('\n');
        QString strRead;
        readThroughTheBus(
            30,
            [&](const std::function<QString()> &functionRead) {
                // Each focus read before the next step: a reader asks about an object after it has heard of it,
                // and the next screen may have taken it away by then.
                for (int intStep = 0; intStep < qstringlistStep.size(); intStep += 1) {
                    act(qstringlistStep.at(intStep));
                    QTRY_VERIFY2_WITH_TIMEOUT(functionRead().contains("\n" + qstringlistFocus.at(intStep) + "\n"),
                                              qPrintable(qstringlistFocus.at(intStep) + "\n" + strRead), 20000);
                }
            },
            strRead, QString(), true);
        // Each field's first word after the step is its focus, in its place.
        QStringList qstringlistRead = strRead.section("\nready\n", 1).split('\n');
        for (const QString &strWanted : qstringlistFocus) {
            const QString strField = strWanted.section('|', 1, 2);
            const int intFirst = qstringlistRead.indexOf(
                QRegularExpression("^(focus|caret)\\|" + QRegularExpression::escape(strField) + "(\\|.*)?$"));
            QVERIFY2(intFirst != -1 && qstringlistRead.at(intFirst) == strWanted,
                     qPrintable(strWanted + "\n" + qstringlistRead.join('\n')));
            qstringlistRead = qstringlistRead.mid(intFirst + 1);
        }
    }

    void copiesAndTheClearingAreAnnouncedOnceEach() {
        objectDriver.js("Timing.intClipboardSeconds = 2;");
        openAccount();
        // The fingerprint comes first, then the master password's strength once its estimator has loaded.
        QTRY_VERIFY_WITH_TIMEOUT(!objectDriver.text("master-estimate").isEmpty(), 20000);
        QTRY_COMPARE(qstringlistTold.size(), 2);
        QCOMPARE(qstringlistTold.count(objectDriver.text("master-estimate")), 1);
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
        QAccessible::installUpdateHandler(functionProgram);
        openAccount();
        const QString strPassword = objectDriver.value("password");
        objectDriver.click("#master-toggle");
        objectDriver.click("#master");
        QString strRead;
        readThroughTheBus(
            60,
            [this](const std::function<QString()> &) {
                // With a reader listening, Qt hands each key to the bus first and only then to the window.
                objectDriver.key(Qt::Key_Tab);
                QTRY_COMPARE(objectDriver.focused(), QString("master-toggle"));
                QTRY_COMPARE(focusName(), PageDriver::catalogue("master_show"));
                objectDriver.click("#account-copy-mail");
            },
            strRead, PageDriver::catalogue("clipboard_copied"));
        const QStringList qstringlistWanted{"tree|document web|b.org \u2013 Tessaloquin|",
                                            "tree|panel|b.org, b@b.org|",
                                            "tree|password text|Password|" + QString(15, QChar(0x2022)),
                                            "tree|push button|Copy password|",
                                            "tree|check box|" + PageDriver::catalogue("master_show") + "|",
                                            "focus|check box|" + PageDriver::catalogue("master_show") +
                                                "|b.org, b@b.org",
                                            "notice|" + PageDriver::catalogue("clipboard_copied")};
        for (const QString &strLine : qstringlistWanted) {
            // What the reader was told, without the tree (too long to be shown whole).
            QVERIFY2(
                strRead.split('\n').contains(strLine),
                qPrintable(strLine + "\n" + strRead.split('\n').filter(QRegularExpression("^(?!tree)")).join('\n')));
        }
        QVERIFY(!strRead.contains(strPassword));
        // The master, shown: bullets still, and never its text.
        const QString strMasterRead = "tree|password text|Master password|" + QString(9, QChar(0x2022)) + "|" +
                                      PageDriver::catalogue("master_hint");
        QVERIFY(strRead.split('\n').contains(strMasterRead) && !strRead.contains(strMaster));

        // Both shown at once (the password's Show lasts while the focus stays with it), to the eye and not the bus.
        objectDriver.click("#password-toggle");
        QCOMPARE(objectDriver.shownSecret("password"), "password|" + strPassword);
        QCOMPARE(objectDriver.shownSecret("master"), "password|" + strMaster);
        QString strShown;
        readThroughTheBus(
            1, [](const std::function<QString()> &) {}, strShown);
        QVERIFY(strShown.split('\n').contains(strMasterRead));
        QVERIFY(strShown.split('\n').contains("tree|password text|Password|" + QString(15, QChar(0x2022))));
        QVERIFY(!strShown.contains(strPassword) && !strShown.contains(strMaster));
    }

    void aReaderThatComesLateFindsThePageAndItsFocus() {
        // Loaded afresh and not asked since: what the reader finds at its first look is all it has.
        QAccessible::installUpdateHandler(functionProgram);
        QVERIFY(objectDriver.reload());
        QTRY_COMPARE(objectDriver.focused(), QString("filter"));
        QString strRead;
        readThroughTheBus(
            1, [](const std::function<QString()> &) {}, strRead);
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
