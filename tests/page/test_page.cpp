#include "PageDriver.h"

#include "display/Display.h"
#include "language/Language.h"
#include "main/MainUpdate.h"
#include "preference/PreferenceAccount.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

const QList<PageAccount> qlistThree = {account("mail.example", "zed@example.org", "zed"),
                                       account("Bank.example", "ann@example.org", "customer-7", "branch downtown"),
                                       account("apps.example", "bob@example.org", "bob", "", 20, "#")};

// Whether the focus is on something drawn on the screen shown (screens not shown stay laid out, inert).
const QString strFocusShown =
    "document.activeElement.offsetParent !== null && document.activeElement.closest('.screen[inert]') === null";

} // namespace

class TestPageFlows : public QObject {
    Q_OBJECT

    PageDriver objectDriver;

    // The websites of the rows drawn, top to bottom.
    QStringList rows() const {
        return objectDriver
            .js("Array.prototype.filter.call(document.querySelectorAll('#list .item'), function(e) { return !e.hidden; "
                "})"
                ".sort(function(a, b) { return a.offsetTop - b.offsetTop; })"
                ".map(function(e) { return e.querySelector('.item-site').textContent; })")
            .toStringList();
    }

    QString catalogue(const QString &strName, const QString &strValues = "{}") const {
        return objectDriver.js("Catalogue.get('" + strName + "', " + strValues + ")").toString();
    }

    // Texts the page shows that look like catalogue names: a name the catalogue lacks.
    QStringList names() const {
        return objectDriver
            .js("(function() { var found = []; var walker = document.createTreeWalker(document.body, "
                "NodeFilter.SHOW_TEXT, null, false);"
                " var pattern = /^[a-z]+(_[a-z0-9]+)+$/;"
                " while (walker.nextNode()) { var t = walker.currentNode.nodeValue.trim(); if (pattern.test(t)) { "
                "found.push(t); } }"
                " var all = document.querySelectorAll('[aria-label], [title], [placeholder]');"
                " for (var i = 0; i < all.length; i += 1) { ['aria-label', 'title', 'placeholder'].forEach(function(a) "
                "{"
                "  var v = all[i].getAttribute(a); if (v !== null && pattern.test(v)) { found.push(v); } }); }"
                " return found; })()")
            .toStringList();
    }

    // Runs steps separated by "|": "click <selector>", "ctrl <letter>", "keys <text>", "focus <id>" (checks
    // where the focus is) or a key: esc, enter, tab, backtab, down, left, f1.
    void act(const QString &strSteps) {
        const QMap<QString, int> qmapKeys = {
            {"esc", Qt::Key_Escape}, {"enter", Qt::Key_Return}, {"tab", Qt::Key_Tab}, {"backtab", Qt::Key_Backtab},
            {"down", Qt::Key_Down},  {"left", Qt::Key_Left},    {"f1", Qt::Key_F1}};
        for (const QString &strStep : strSteps.split('|', Qt::SkipEmptyParts)) {
            const QString strWhat = strStep.section(' ', 0, 0);
            const QString strArgument = strStep.section(' ', 1);
            if (strWhat == "click") {
                objectDriver.click(strArgument);
            } else if (strWhat == "ctrl") {
                objectDriver.key(strArgument.at(0).unicode(), Qt::ControlModifier);
            } else if (strWhat == "keys") {
                objectDriver.keys(strArgument);
            } else if (strWhat == "focus") {
                QCOMPARE(objectDriver.focused(), strArgument);
            } else {
                // Shift+Tab arrives as Backtab with Shift still held, as a keyboard sends it.
                objectDriver.key(qmapKeys.value(strStep, Qt::Key_unknown),
                                 strStep == "backtab" ? Qt::ShiftModifier : Qt::NoModifier);
            }
        }
    }

private slots:
    void initTestCase() { objectDriver.start(); }

    void init() { objectDriver.objectPage->qstringlistConsole.clear(); }

    void cleanup() {
        objectDriver.checkConsole();
        QLocale::setDefault(QLocale::c());
    }

    void listIsSortedFilteredAndCounted() {
        QVERIFY(objectDriver.restart(qlistThree));
        QCOMPARE(objectDriver.screen(), QString("list"));
        QCOMPARE(objectDriver.focused(), QString("filter"));
        QCOMPARE(rows(), QStringList({"apps.example", "Bank.example", "mail.example"}));
        QCOMPARE(objectDriver.text("list-count"), catalogue("list_count_all", "{total: 3}"));

        // Website, mail, user name and note are searched, without regard to case.
        objectDriver.keys("ANN@");
        QCOMPARE(rows(), QStringList({"Bank.example"}));
        QCOMPARE(objectDriver.text("list-count"), catalogue("list_count_filtered", "{count: 1, total: 3}"));
        QCOMPARE(objectDriver.js("document.querySelector('#list mark').textContent").toString(), QString("ann@"));
        objectDriver.key(Qt::Key_Escape);
        objectDriver.keys("downtown");
        QCOMPARE(rows(), QStringList({"Bank.example"}));
        objectDriver.key(Qt::Key_Escape);
        objectDriver.keys("nothing like it");
        QCOMPARE(rows(), QStringList());
        QVERIFY(objectDriver.shown("list-empty"));
        QCOMPARE(objectDriver.text("list-empty"), catalogue("list_no_match"));

        // Escape empties the filter; a second Escape on the list changes nothing.
        objectDriver.key(Qt::Key_Escape);
        QCOMPARE(objectDriver.value("filter"), QString());
        QCOMPARE(rows().size(), 3);
        objectDriver.key(Qt::Key_Escape);
        QCOMPARE(objectDriver.screen(), QString("list"));

        objectDriver.setValue("sort", "mail", "change");
        QCOMPARE(rows(), QStringList({"Bank.example", "apps.example", "mail.example"}));
        objectDriver.setValue("sort", "user", "change");
        QCOMPARE(rows(), QStringList({"apps.example", "Bank.example", "mail.example"}));
    }

    // The shared fixture that the terminal companion's tests read as well.
    void listFollowsTheSharedFilterFixture() {
        const QJsonObject objectFixture = QJsonDocument::fromJson(TestSupport::fixture("list/filter.json")).object();
        QVERIFY(objectDriver.restart(accounts(objectFixture.value("arrayAccounts").toArray())));
        for (const QJsonValue &valueCase : objectFixture.value("arrayCases").toArray()) {
            objectDriver.setValue("filter", valueCase.toObject().value("strFilter").toString());
            QVariantList qvariantlistExpected;
            for (const QJsonValue &valueIdent : valueCase.toObject().value("arrayIdents").toArray()) {
                qvariantlistExpected.append(valueIdent.toInt());
            }
            QCOMPARE(objectDriver.js("ListScreen.view().map(function(a) { return a.intIdent; })").toList(),
                     qvariantlistExpected);
        }
    }

    void listIsWorkedByKeyboard() {
        QVERIFY(objectDriver.restart(qlistThree));
        objectDriver.keys("example");
        objectDriver.key(Qt::Key_Down);
        QCOMPARE(objectDriver.focused(), QString("item-0"));
        objectDriver.key(Qt::Key_Down);
        objectDriver.key(Qt::Key_End);
        objectDriver.key(Qt::Key_Up);
        QCOMPARE(objectDriver.js("document.querySelector('#list .item-active .item-site').textContent").toString(),
                 QString("Bank.example"));
        objectDriver.key(Qt::Key_Return);
        QCOMPARE(objectDriver.screen(), QString("account"));
        QCOMPARE(objectDriver.text("account-title"), QString("Bank.example"));
        QCOMPARE(objectDriver.focused(), QString("master"));
        // Back on the list, the focus stands on the account just used, as it was opened from its row.
        objectDriver.key(Qt::Key_Escape);
        QCOMPARE(objectDriver.screen(), QString("list"));
        QCOMPARE(objectDriver.js("document.activeElement.firstChild.textContent").toString(), QString("Bank.example"));
    }

    void addEditAndDeleteReachTheDatabase() {
        QVERIFY(objectDriver.restart());
        QVERIFY(objectDriver.shown("list-empty"));
        objectDriver.key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(objectDriver.screen(), QString("edit"));
        QCOMPARE(objectDriver.focused(), QString("edit-website"));
        QCOMPARE(objectDriver.value("edit-length"), QString("15"));
        QVERIFY(!objectDriver.shown("edit-delete"));

        // Saving without a website is refused with a message at the field.
        objectDriver.click("#edit-save");
        QVERIFY(objectDriver.shown("edit-website-error"));
        QCOMPARE(PageDriver::stored().size(), 0);

        objectDriver.keys("shop.example");
        objectDriver.key(Qt::Key_Tab);
        objectDriver.keys("me@shop.example");
        objectDriver.key(Qt::Key_Tab);
        objectDriver.keys("me");
        objectDriver.key(Qt::Key_Tab);
        objectDriver.keys("first line");
        objectDriver.key(Qt::Key_Return);
        objectDriver.keys("second line");
        objectDriver.key(Qt::Key_Tab);
        QCOMPARE(objectDriver.focused(), QString("edit-length"));
        objectDriver.key(Qt::Key_Down);
        objectDriver.key(Qt::Key_Down);
        objectDriver.click("#edit-special-0");
        objectDriver.click("#edit-special-3");
        objectDriver.key(Qt::Key_S, Qt::ControlModifier);

        QTRY_COMPARE(PageDriver::stored().size(), 1);
        PageAccount objectStored = PageDriver::stored().first();
        QCOMPARE(objectStored.strWebsite, QString("shop.example"));
        QCOMPARE(objectStored.strMail, QString("me@shop.example"));
        QCOMPARE(objectStored.strUser, QString("me"));
        QCOMPARE(objectStored.strNote, QString("first line\nsecond line"));
        QCOMPARE(objectStored.intLength, 17);
        QCOMPARE(objectStored.strSpecial, QString("!#"));
        // The new account is the selected one, and it is shown.
        QCOMPARE(objectDriver.screen(), QString("account"));
        QCOMPARE(objectDriver.text("account-title"), QString("shop.example"));
        QCOMPARE(PageDriver::selected("intIdent").toInt(), objectStored.intIdent);

        // Editing warns as soon as the password would change, and saves in place.
        objectDriver.key(Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(objectDriver.screen(), QString("edit"));
        QVERIFY(!objectDriver.shown("edit-warning"));
        objectDriver.click("#edit-user");
        objectDriver.keys("-2");
        QVERIFY(!objectDriver.shown("edit-warning"));
        objectDriver.click("#edit-mail");
        objectDriver.keys("x");
        QVERIFY(objectDriver.shown("edit-warning"));
        objectDriver.key(Qt::Key_Backspace);
        QVERIFY(!objectDriver.shown("edit-warning"));
        objectDriver.key(Qt::Key_Return); // Enter in a field saves the form
        QTRY_COMPARE(PageDriver::stored().first().strUser, QString("me-2"));
        QCOMPARE(PageDriver::stored().size(), 1);
        QCOMPARE(PageDriver::stored().first().intIdent, objectStored.intIdent);
        QCOMPARE(PageDriver::stored().first().strMail, QString("me@shop.example"));
        QCOMPARE(PageDriver::selected("strUser").toString(), QString("me-2"));
        QCOMPARE(objectDriver.text("account-user"), QString("me-2"));

        // Deleting asks first; cancelling keeps the account.
        objectDriver.click("#account-edit");
        objectDriver.click("#edit-delete");
        QVERIFY(objectDriver.shown("dialog-delete"));
        QCOMPARE(objectDriver.focused(), QString("dialog-delete-cancel"));
        objectDriver.key(Qt::Key_Return);
        QVERIFY(!objectDriver.shown("dialog-delete"));
        QCOMPARE(objectDriver.focused(), QString("edit-delete"));
        QCOMPARE(PageDriver::stored().size(), 1);
        objectDriver.click("#edit-delete");
        objectDriver.click("#dialog-delete-confirm");
        QTRY_COMPARE(PageDriver::stored().size(), 0);
        QCOMPARE(objectDriver.screen(), QString("list"));
        QCOMPARE(PageDriver::selected("intIdent").toInt(), 0);
        QVERIFY(objectDriver.shown("list-empty"));
    }

    void storedLengthOutsideTheOfferedRangeIsKept() {
        QVERIFY(objectDriver.restart({account("old.example", "o@example", "", "", 40, "!$")}));
        objectDriver.click("#list .item");
        objectDriver.click("#account-edit");
        QCOMPARE(objectDriver.value("edit-length"), QString("40"));
        objectDriver.click("#edit-note");
        objectDriver.keys("kept");
        objectDriver.click("#edit-save");
        QTRY_COMPARE(PageDriver::stored().first().strNote, QString("kept"));
        QCOMPARE(PageDriver::stored().first().intLength, 40);
        // Unchanged markers keep the stored text with its inert characters.
        QCOMPARE(PageDriver::stored().first().strSpecial, QString("!$"));
    }

    void selectedAccountSurvivesAReload() {
        QVERIFY(objectDriver.restart(qlistThree));
        objectDriver.click("#list .item[data-index=\"1\"]");
        QCOMPARE(objectDriver.screen(), QString("account"));
        QCOMPARE(objectDriver.text("account-title"), QString("Bank.example"));
        QCOMPARE(PageDriver::selected("intIdent").toInt(), 2);
        QCOMPARE(PageDriver::selected("strWebsite").toString(), QString("Bank.example"));
        QCOMPARE(PageDriver::selected("strNote").toString(), QString("branch downtown"));

        QVERIFY(objectDriver.reload());
        QCOMPARE(objectDriver.screen(), QString("account"));
        QCOMPARE(objectDriver.text("account-title"), QString("Bank.example"));
        QCOMPARE(objectDriver.focused(), QString("master"));
        objectDriver.key(Qt::Key_Escape);
        QCOMPARE(objectDriver.screen(), QString("list"));
        QVERIFY(
            objectDriver.js("document.querySelector('#list .item-selected .item-site').textContent === 'Bank.example'")
                .toBool());

        // A selection whose account is gone opens the list.
        objectDriver.js("Accounts.remove(2);");
        QVERIFY(objectDriver.reload());
        QCOMPARE(objectDriver.screen(), QString("list"));
    }

    void escapeGoesBackOneStep() {
        QVERIFY(objectDriver.restart(qlistThree));
        objectDriver.click("#list .item");
        objectDriver.click("#account-edit");
        QCOMPARE(objectDriver.screen(), QString("edit"));
        objectDriver.key(Qt::Key_Escape);
        QCOMPARE(objectDriver.screen(), QString("account"));
        objectDriver.key(Qt::Key_Escape);
        QCOMPARE(objectDriver.screen(), QString("list"));

        // The shortcut list closes first, then the screen goes back.
        objectDriver.click("#nav-settings");
        objectDriver.key(Qt::Key_F1);
        QVERIFY(objectDriver.shown("shortcuts"));
        QCOMPARE(objectDriver.focused(), QString("shortcut-0"));
        objectDriver.key(Qt::Key_Escape);
        QVERIFY(!objectDriver.shown("shortcuts"));
        QCOMPARE(objectDriver.screen(), QString("settings"));

        // Escape the page leaves to the window arrives as the window's own script.
        objectDriver.js("window.setTimeout(function() {Navigation.updateBackward();}, 0);");
        QTRY_COMPARE(objectDriver.screen(), QString("list"));
        QTest::keyClick(objectDriver.objectDisplay, Qt::Key_Escape);
        QTest::qWait(50);
        QCOMPARE(objectDriver.screen(), QString("list"));
    }

    // Where each way ends: the screen, the user name stored for the account it starts from (apps.example, user
    // bob) and how often the whole list was read again.
    void flowsEndWhereTheUserExpects_data() {
        QTest::addColumn<QString>("strSteps");
        QTest::addColumn<QString>("strEnd");
        const QString strEdit = "click #list .item|click #account-edit|click #edit-user|keys -2|";
        // Back goes once to where the user came from, never to a screen just replaced.
        QTest::newRow("edit, save, back") << strEdit + "ctrl S|esc"
                                          << "list bob-2 1";
        QTest::newRow("new account, save, back") << "ctrl N|keys new.example|ctrl S|esc"
                                                 << "list bob 1";
        QTest::newRow("tabs back and forth, back")
            << "click #nav-transfer|click #nav-settings|click #nav-transfer|click #nav-settings|esc"
            << "list bob 0";
        QTest::newRow("tabs from an account, back") << "click #list .item|click #nav-transfer|click #nav-settings|esc"
                                                    << "account bob 0";
        QTest::newRow("delete")
            << "click #list .item|click #account-edit|click #edit-delete|click #dialog-delete-confirm"
            << "list - 1";
        // Leaving a form with changes asks, with the focus on keeping them.
        QTest::newRow("unchanged, back") << "click #list .item|click #account-edit|esc"
                                         << "account bob 0";
        QTest::newRow("Escape, keep editing") << strEdit + "esc|focus dialog-unsaved-keep|esc|focus edit-user"
                                              << "edit bob 0";
        QTest::newRow("Back, discard") << strEdit + "click #edit-back|click #dialog-unsaved-discard"
                                       << "account bob 0";
        QTest::newRow("Cancel, save by keyboard") << strEdit + "click #edit-cancel|backtab|backtab|enter"
                                                  << "account bob-2 1";
        QTest::newRow("a tab, save") << strEdit + "click #nav-transfer|click #dialog-unsaved-save|esc"
                                     << "account bob-2 1";
        QTest::newRow("Ctrl+F, discard") << strEdit + "ctrl F|click #dialog-unsaved-discard"
                                         << "list bob 0";
        QTest::newRow("Ctrl+N, discard by keyboard") << strEdit + "ctrl N|backtab|enter|focus edit-website"
                                                     << "edit bob 0";
        // A delete is undone from its notice, by key or by its button.
        const QString strDelete =
            "click #list .item|click #account-edit|click #edit-delete|click #dialog-delete-confirm|";
        QTest::newRow("delete, Ctrl+Z") << strDelete + "ctrl Z|focus filter"
                                        << "list bob 2";
        QTest::newRow("delete, Undo") << strDelete + "click #undo-button|focus filter"
                                      << "list bob 2";
        QTest::newRow("delete, typing, Ctrl+Z") << strDelete + "keys b|ctrl Z|ctrl Z"
                                                << "list bob 2";
    }

    void flowsEndWhereTheUserExpects() {
        QFETCH(QString, strSteps);
        QFETCH(QString, strEnd);
        QVERIFY(objectDriver.restart(qlistThree));
        objectDriver.js("window.intReloads = 0; (function(call) { Bridge.call = function(o, m, a, f) {"
                        " window.intReloads += m === 'selectOpen' && / ORDER BY intIdent$/.test(a[0]) ? 1 : 0;"
                        " return call(o, m, a, f); }; })(Bridge.call);");
        act(strSteps);
        QTest::qWait(100);
        QString strUser = "-";
        for (const PageAccount &objectAccount : PageDriver::stored()) {
            strUser = objectAccount.strWebsite == "apps.example" ? objectAccount.strUser : strUser;
        }
        QVERIFY(!objectDriver.shown("dialog-unsaved"));
        QCOMPARE(QStringList({objectDriver.screen(), strUser, objectDriver.js("window.intReloads").toString()}),
                 strEnd.split(' '));
    }

    // The engine's undo history spans every screen: typing the master password, then Ctrl+Z elsewhere, must
    // neither change the master nor move the focus onto a screen that is not shown.
    void undoStaysOnTheScreenShown_data() {
        QTest::addColumn<QString>("strSteps");
        QTest::addColumn<QString>("strMaster");
        QTest::addColumn<QString>("strFocused");
        const QString strTyped = "click #list .item|keys secret|";
        QTest::newRow("list") << strTyped + "esc|ctrl Z|keys x"
                              << "secret"
                              << "filter x";
        QTest::newRow("list, its own typing undone") << strTyped + "esc|keys abc|ctrl Z|ctrl Z"
                                                     << "secret"
                                                     << "filter ";
        QTest::newRow("edit") << strTyped + "ctrl E|ctrl Z|click #edit-note|ctrl Z|keys x"
                              << "secret"
                              << "edit-note x";
        QTest::newRow("transfer") << strTyped + "click #nav-transfer|ctrl Z|ctrl Y"
                                  << "secret"
                                  << "export-button ";
        QTest::newRow("settings") << strTyped + "click #nav-settings|ctrl Z"
                                  << "secret"
                                  << "language-en ";
        QTest::newRow("account, its own typing undone") << strTyped + "ctrl Z"
                                                        << ""
                                                        << "master ";
        // A run of typing goes back whole, and comes back with redo; moving the caret starts another.
        QTest::newRow("list, undone and redone") << strTyped + "esc|keys abc|ctrl Z|ctrl Y"
                                                 << "secret"
                                                 << "filter abc";
        QTest::newRow("list, typing after a caret move undone") << strTyped + "esc|keys ab|left|keys c|ctrl Z"
                                                                << "secret"
                                                                << "filter ab";
        QTest::newRow("account, typing over the selected master undone")
            << strTyped + "esc|click #list .item|keys new|ctrl Z"
            << "secret"
            << "master secret";
        QTest::newRow("account, typing over the selected master undone and redone")
            << strTyped + "esc|click #list .item|keys new|ctrl Z|ctrl Z|ctrl Y"
            << "new"
            << "master new";
        // Shown, the line follows what undo brings back.
        QTest::newRow("account, shown master, typing undone")
            << strTyped + "click #master-toggle|click #master|keys 42|ctrl Z"
            << "secret"
            << "master secret";
    }

    void undoStaysOnTheScreenShown() {
        QFETCH(QString, strSteps);
        QFETCH(QString, strMaster);
        QFETCH(QString, strFocused);
        QVERIFY(objectDriver.restart(qlistThree));
        act(strSteps);
        QCOMPARE(objectDriver.value("master"), strMaster);
        const QString strActive = objectDriver.focused();
        QCOMPARE(strActive + " " + (strActive == "language-en" ? "" : objectDriver.value(strActive)), strFocused);
        QVERIFY(objectDriver.js(strFocusShown).toBool());
        const bool boolShown =
            objectDriver.js("document.getElementById('master-toggle').getAttribute('aria-checked') === 'true'")
                .toBool();
        QCOMPARE(objectDriver.shownSecret("master"), "password|" + (boolShown ? strMaster : QString()));
    }

    void deleteIsUndoneWithEveryField() {
        QVERIFY(objectDriver.restart(qlistThree));
        const QList<PageAccount> qlistBefore = PageDriver::stored();
        objectDriver.click("#list .item");
        QTRY_COMPARE(objectDriver.screen(), QString("account"));
        objectDriver.js("Timing.intUndoMs = 1500;");
        act("click #account-edit|click #edit-delete|click #dialog-delete-confirm");
        QCOMPARE(PageDriver::stored().size(), 2);
        QCOMPARE(objectDriver.text("undo-text"), catalogue("notice_deleted"));
        // Reached by keyboard, and kept while the focus is on it.
        objectDriver.js("document.getElementById('undo-button').focus();");
        QTest::qWait(2000);
        objectDriver.key(Qt::Key_Space);
        QStringList qstringlistBefore = describe(qlistBefore);
        QStringList qstringlistAfter = describe(PageDriver::stored());
        qstringlistBefore.sort();
        qstringlistAfter.sort();
        QCOMPARE(qstringlistAfter, qstringlistBefore);
        QCOMPARE(PageDriver::selected("strWebsite").toString(), QString("apps.example"));
        QCOMPARE(objectDriver.screen(), QString("list"));
        QVERIFY(objectDriver.js(strFocusShown).toBool());

        // Once the notice has gone, Ctrl+Z brings nothing back.
        act("click #list .item|click #account-edit|click #edit-delete|click #dialog-delete-confirm");
        QTRY_VERIFY_WITH_TIMEOUT(!objectDriver.shown("undo"), 3000);
        objectDriver.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(PageDriver::stored().size(), 2);
    }

    void everyControlIsLabelledAndReachedByTab_data() {
        QTest::addColumn<QString>("strScreen");
        QTest::addColumn<QStringList>("qstringlistControls");
        QTest::newRow("list") << "list"
                              << QStringList({"nav-accounts", "nav-transfer", "nav-settings", "nav-shortcuts", "filter",
                                              "sort", "list-add", "item-0"});
        QTest::newRow("account") << "account"
                                 << QStringList({"account-back", "account-edit", "master", "master-toggle",
                                                 "password-toggle", "password-copy", "account-copy-mail",
                                                 "account-copy-user"});
        QTest::newRow("edit") << "edit"
                              << QStringList({"edit-back", "edit-website", "edit-mail", "edit-user", "edit-note",
                                              "edit-length", "edit-special-0", "edit-special-3", "edit-save",
                                              "edit-cancel", "edit-delete"});
        QTest::newRow("transfer") << "transfer" << QStringList({"transfer-back", "export-button", "import-button"});
        QTest::newRow("settings") << "settings" << QStringList({"settings-back", "language-en"});
    }

    void everyControlIsLabelledAndReachedByTab() {
        QFETCH(QString, strScreen);
        QFETCH(QStringList, qstringlistControls);
        QVERIFY(objectDriver.restart(qlistThree));
        objectDriver.click("#list .item");
        objectDriver.js("Navigation.show('" + strScreen + "', {objectAccount: AccountScreen.account()});");
        objectDriver.keys("x"); // something in the master field, so the password's buttons work
        QCOMPARE(objectDriver.screen(), strScreen);

        QStringList qstringlistReached;
        for (int i = 0; i < 40; i += 1) {
            objectDriver.key(Qt::Key_Tab);
            qstringlistReached.append(objectDriver.focused());
            // Nothing of a screen not shown; past the last control, the document itself.
            QVERIFY2(objectDriver.js("document.activeElement === document.body || " + strFocusShown).toBool(),
                     qPrintable(qstringlistReached.last()));
        }
        for (const QString &strControl : qstringlistControls) {
            QVERIFY2(qstringlistReached.contains(strControl), qPrintable(strControl + " not reached"));
        }
        // Every field has a name a screen reader can say.
        const QStringList qstringlistUnlabelled =
            objectDriver
                .js("Array.prototype.filter.call(document.querySelectorAll('input, select, textarea'), function(e) {"
                    " if (e.offsetParent === null) { return false; }"
                    " var label = e.id ? document.querySelector('label[for=\"' + e.id + '\"]') : null;"
                    " var wrapped = e.parentNode && e.parentNode.tagName === 'LABEL';"
                    " return !(label && label.textContent.trim()) && !wrapped && !e.getAttribute('aria-label'); })"
                    ".map(function(e) { return e.id; })")
                .toStringList();
        QVERIFY2(qstringlistUnlabelled.isEmpty(), qPrintable(qstringlistUnlabelled.join(", ")));
        QCOMPARE(names(), QStringList());
    }

    void everyVisibleTextComesFromTheCatalogue_data() {
        QTest::addColumn<QString>("strSteps");
        QTest::newRow("list, filtered") << "keys example";
        QTest::newRow("account, password copied") << "click #list .item|keys master|enter|click #account-copy-mail";
        QTest::newRow("new account refused") << "ctrl N|ctrl S";
        QTest::newRow("delete question") << "click #list .item|click #account-edit|click #edit-delete";
        QTest::newRow("unsaved question") << "click #list .item|click #account-edit|keys x|esc";
        QTest::newRow("export") << "click #nav-transfer|click #export-button";
        QTest::newRow("import preview") << "click #nav-transfer|click #import-button";
        QTest::newRow("settings") << "click #nav-settings";
        QTest::newRow("shortcuts") << "f1";
    }

    // Under a catalogue whose every text is marked, any visible text without the mark that is not (part of)
    // stored data or a language's own name was written into the page instead of taken from the catalogue.
    void everyVisibleTextComesFromTheCatalogue() {
        QFETCH(QString, strSteps);
        QVERIFY(objectDriver.restart(qlistThree));
        TestSupport::writeFile("res/language - xx.xml",
                               TestSupport::readFile("res/language.xml")
                                   .replace("\">", "\">\xc2\xa7")
                                   .replace("<?xml version=\"1.0\" encoding=\"utf-8\xc2\xa7", ""));
        objectDriver.js("jsPreferenceLanguage.setStrName('xx');");
        QTRY_VERIFY(objectDriver.text("nav-accounts").startsWith("\u00a7"));
        PageDriver::setClipboard("[{\"strWebsite\": \"apps.example\", \"strMail\": \"bob@example.org\"}]");
        act(strSteps);
        const QString strUnmarked =
            objectDriver
                .js("(function() { var allowed = ['Tessaloquin'], found = [];"
                    " Catalogue.languages.forEach(function(l) { allowed.push(l.strName); });"
                    " Accounts.all().forEach(function(a) { allowed.push(a.strWebsite, a.strMail, a.strUser, "
                    "a.strNote); });"
                    " var w = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT, null, false);"
                    " while (w.nextNode()) { var t = w.currentNode.nodeValue.trim();"
                    "  if (t && w.currentNode.parentNode.getClientRects().length && t.indexOf('\u00a7') < 0 &&"
                    "   !/^([0-9\\s!?@#+\u00b7\u2026\u2191\u2193]|F1|[A-Z]$)*$/.test(t) &&"
                    "   !allowed.some(function(a) { return a.indexOf(t) >= 0; })) { found.push(t); } }"
                    " var all = document.querySelectorAll('[placeholder], [title], [aria-label]');"
                    " for (var i = 0; i < all.length; i += 1) { ['placeholder', 'title', 'aria-label'].forEach("
                    "  function(a) { var v = all[i].getAttribute(a); if (v && v.indexOf('\u00a7') < 0) { "
                    "found.push(v); } }); }"
                    " return found.join(' | '); })()")
                .toString();
        QCOMPARE(strUnmarked, QString());
    }

    void languageChoiceChangesTextsDirectionAndPreference() {
        QVERIFY(objectDriver.restart(qlistThree));
        // A catalogue for German with one text of its own, so the switch is visible whatever ships.
        QByteArray byteGerman = TestSupport::readFile("res/language.xml");
        byteGerman.replace("<string name=\"nav_accounts\">Accounts</string>",
                           "<string name=\"nav_accounts\">Konten</string>");
        TestSupport::writeFile("res/language - de.xml", byteGerman);

        objectDriver.click("#nav-settings");
        QCOMPARE(objectDriver.js("document.querySelector('#language-list input:checked').value").toString(),
                 QString("en"));
        objectDriver.click("#language-de");
        QTRY_COMPARE(PageDriver::language().toString(), QString("de"));
        QTRY_COMPARE(objectDriver.text("nav-accounts"), QString("Konten"));
        QCOMPARE(objectDriver.js("document.documentElement.getAttribute('lang')").toString(), QString("de"));
        QCOMPARE(objectDriver.screen(), QString("settings"));

        objectDriver.click("#language-ar");
        QTRY_COMPARE(PageDriver::language().toString(), QString("ar"));
        QCOMPARE(objectDriver.js("document.documentElement.getAttribute('dir')").toString(), QString("rtl"));
        // Mirrored: the first tab now stands right of the last.
        QVERIFY(objectDriver
                    .js("document.getElementById('nav-accounts').getBoundingClientRect().left >"
                        " document.getElementById('nav-shortcuts').getBoundingClientRect().left")
                    .toBool());
        QVERIFY(objectDriver.reload());
        QCOMPARE(objectDriver.js("document.documentElement.getAttribute('dir')").toString(), QString("rtl"));

        // Back to English, through the keyboard.
        objectDriver.click("#nav-settings");
        objectDriver.click("#language-en");
        QTRY_COMPARE(PageDriver::language().toString(), QString("en"));
        QCOMPARE(objectDriver.js("document.documentElement.getAttribute('dir')").toString(), QString("ltr"));
        QCOMPARE(objectDriver.text("nav-accounts"), QString("Accounts"));
        QCOMPARE(names(), QStringList());
    }

    void firstStartOffersTheSystemLanguage_data() {
        QTest::addColumn<QLocale>("objectLocale");
        QTest::addColumn<bool>("boolAccounts");
        QTest::addColumn<bool>("boolOffered");
        QTest::newRow("German system, no account") << QLocale(QLocale::German, QLocale::Germany) << false << true;
        QTest::newRow("German system, accounts") << QLocale(QLocale::German, QLocale::Germany) << true << false;
        QTest::newRow("English system") << QLocale(QLocale::English, QLocale::UnitedKingdom) << false << false;
        QTest::newRow("unknown language") << QLocale(QLocale::Swedish, QLocale::Sweden) << false << false;
    }

    void firstStartOffersTheSystemLanguage() {
        QFETCH(QLocale, objectLocale);
        QFETCH(bool, boolAccounts);
        QFETCH(bool, boolOffered);
        QLocale::setDefault(objectLocale);
        QVERIFY(objectDriver.restart(boolAccounts ? qlistThree : QList<PageAccount>()));
        QCOMPARE(objectDriver.shown("offer"), boolOffered);
        if (!boolOffered) {
            return;
        }
        QVERIFY(objectDriver.text("offer-text").contains("Deutsch"));
        // Ignored, it goes with the first account and does not come back with an empty list.
        objectDriver.js("Accounts.create(Accounts.record({strWebsite: 'a'})); Accounts.refresh(); Accounts.remove(1);"
                        " Accounts.refresh();");
        QVERIFY(!objectDriver.shown("offer"));
        // Declined, it keeps English as a choice and is not made again at the next start.
        QVERIFY(objectDriver.reload());
        objectDriver.click("#offer-decline");
        QCOMPARE(PageDriver::language().toString(), QString("en"));
        QVERIFY(objectDriver.reload());
        QVERIFY(!objectDriver.shown("offer"));

        objectDriver.js("jsPreferenceLanguage.clearStrName();");
        QVERIFY(objectDriver.reload());
        objectDriver.click("#offer-accept");
        QTRY_COMPARE(PageDriver::language().toString(), QString("de"));
        QVERIFY(!objectDriver.shown("offer"));
    }

    void arrowKeysInSettingsApplyOnlyOnceChosen() {
        QVERIFY(objectDriver.restart(qlistThree));
        objectDriver.js("Timing.intLanguageSettleMs = 60000; window.intRetext = 0; (function(retext) {"
                        " Catalogue.retext = function() { window.intRetext += 1; retext(); }; })(Catalogue.retext);");
        const QString strState = "document.documentElement.lang + window.intRetext";
        act("click #nav-settings|down|down|down|focus language-hi");
        QTest::qWait(100);
        QCOMPARE(objectDriver.js(strState).toString(), QString("en0"));
        objectDriver.key(Qt::Key_Return);
        QTRY_COMPARE(PageDriver::language().toString(), QString("hi"));
        QTest::qWait(100);
        QCOMPARE(objectDriver.js(strState).toString(), QString("hi1"));
        // Left resting, the mark applies by itself, once.
        objectDriver.js("Timing.intLanguageSettleMs = 50;");
        objectDriver.key(Qt::Key_Down);
        QTRY_COMPARE(PageDriver::language().toString(), QString("it"));
        QTest::qWait(100);
        QCOMPARE(objectDriver.js(strState).toString(), QString("it2"));
    }

    void pageFollowsChangesMadeElsewhere() {
        QVERIFY(objectDriver.restart(qlistThree));
        // A new account stored by other means appears in the list.
        objectDriver.js("jsPreferenceAccount.setIntIdent(0); jsPreferenceAccount.setStrWebsite('zoo.example');"
                        " jsPreferenceAccount.setStrMail('z@example'); jsPreferenceAccount.setStrUser('');"
                        " jsPreferenceAccount.setStrNote(''); jsPreferenceAccount.setIntLength(15);"
                        " jsPreferenceAccount.setStrSpecial(''); jsPreferenceAccount.create();");
        QTRY_COMPARE(rows().size(), 4);
        QCOMPARE(rows().last(), QString("zoo.example"));

        // The selection changed elsewhere: the account screen follows.
        objectDriver.click("#list .item");
        QCOMPARE(objectDriver.text("account-title"), QString("apps.example"));
        objectDriver.js("jsPreferenceAccountSelected.setIntIdent(1);");
        QTRY_COMPARE(objectDriver.text("account-title"), QString("mail.example"));

        // Its account deleted elsewhere: back to the list.
        objectDriver.js("jsPreferenceAccount.setIntIdent(1); jsPreferenceAccount.remove();");
        QTRY_COMPARE(objectDriver.screen(), QString("list"));
        QCOMPARE(rows().size(), 3);

        // The language changed elsewhere.
        TestSupport::writeFile("res/language - fr.xml",
                               TestSupport::readFile("res/language.xml")
                                   .replace("<string name=\"nav_settings\">Settings</string>",
                                            "<string name=\"nav_settings\">R\xc3\xa9glages</string>"));
        objectDriver.js("jsPreferenceLanguage.setStrName('fr');");
        QTRY_COMPARE(objectDriver.text("nav-settings"), QString("R\u00e9glages"));
    }

    void similarAndDuplicateAccountsAreExplained() {
        QVERIFY(objectDriver.restart({account("example.com", "me@example.com"),
                                      account(" www.Example.com", "ME@example.com"),
                                      account("example.com", "me@example.com", "second")}));
        objectDriver.click("#list .item-site");
        QTRY_COMPARE(objectDriver.screen(), QString("account"));
        const QString strWarnings = objectDriver.text("derivation-warnings");
        QCOMPARE(objectDriver.js("document.querySelectorAll('#derivation-warnings li').length").toInt(), 2);
        QVERIFY(strWarnings.contains(catalogue("warn_duplicate", "{count: 1}")));
        QVERIFY(strWarnings.contains(" www.Example.com"));
        // Beside the password, a line says that there are warnings, and leads to them.
        QVERIFY(objectDriver.shown("password-warning"));
        objectDriver.click("#password-warning-show");
        QCOMPARE(objectDriver.focused(), QString("derivation"));

        objectDriver.js("Navigation.reset('list');");
        objectDriver.keys("www");
        objectDriver.key(Qt::Key_Return);
        QCOMPARE(objectDriver.text("derivation-website"), QString(" www.Example.com"));
        QVERIFY(objectDriver.text("derivation-warnings").contains(catalogue("warn_spaces")));
    }

    void lookalikeRowsSayWhatDiffersAndTheSameIsRefused() {
        const QList<PageAccount> qlistAlike = {account("a.example", "me@a.example", "me", "", 15, ""),
                                               account("a.example", "me@a.example", "me", "", 20, "#!"),
                                               account("b.example", "b@b.example")};
        QVERIFY(objectDriver.restart(qlistAlike));
        const QString strSubs = "Array.prototype.map.call(document.querySelectorAll('#list .item'), function(e) {"
                                " return e.querySelector('.item-sub').textContent; }).slice(0, 3)";
        const QString strAlike = "me@a.example \u00b7 me \u00b7 ";
        QCOMPARE(objectDriver.js(strSubs).toStringList(),
                 QStringList({strAlike + catalogue("list_differs", "{length: 15, special: '" +
                                                                       catalogue("account_special_none") + "'}"),
                              strAlike + catalogue("list_differs", "{length: 20, special: '! #'}"), "b@b.example"}));

        // Made the same as the other, the form refuses it, and so it does for a new account.
        objectDriver.click("#list .item[data-index=\"1\"]");
        act("ctrl E|click #edit-special-0|click #edit-special-3");
        objectDriver.setValue("edit-length", "15", "change");
        act("ctrl S");
        QCOMPARE(objectDriver.screen(), QString("edit"));
        QCOMPARE(objectDriver.text("edit-failed"), catalogue("edit_duplicate"));
        act("click #dialog-unsaved-discard|ctrl N|keys b.example");
        objectDriver.setValue("edit-mail", "b@b.example");
        act("ctrl S");
        QCOMPARE(objectDriver.text("edit-failed"), catalogue("edit_duplicate"));
        QCOMPARE(describe(PageDriver::stored()), describe(qlistAlike));
    }

    // The page's own preference, in the engine's storage.
    void sortOrderIsKeptAcrossStarts() {
        QVERIFY(objectDriver.restart(qlistThree));
        objectDriver.setValue("sort", "mail", "change");
        QVERIFY(objectDriver.reload());
        QCOMPARE(objectDriver.value("sort"), QString("mail"));
        QCOMPARE(rows(), QStringList({"Bank.example", "apps.example", "mail.example"}));
    }

    // Closing the window asks what Escape asks; Keep editing keeps it open. A clean form lets it close at once.
    void closingTheWindowAsksAsEscapeDoes() {
        qApp->setQuitOnLastWindowClosed(false);
        QVERIFY(objectDriver.restart(qlistThree));
        act("click #list .item|click #account-edit|click #edit-user|keys -2");
        objectDriver.objectDisplay->close();
        QTRY_VERIFY(objectDriver.shown("dialog-unsaved"));
        QCOMPARE(objectDriver.focused(), QString("dialog-unsaved-keep"));
        // Asked twice, it asks once.
        objectDriver.objectDisplay->close();
        QTest::qWait(100);
        act("enter");
        QTest::qWait(200);
        QVERIFY(objectDriver.objectDisplay->isVisible());
        QCOMPARE(objectDriver.screen(), QString("edit"));
        QCOMPARE(objectDriver.focused(), QString("edit-user"));

        objectDriver.objectDisplay->close();
        QTRY_VERIFY(objectDriver.shown("dialog-unsaved"));
        objectDriver.click("#dialog-unsaved-save");
        QTRY_VERIFY(!objectDriver.objectDisplay->isVisible());
        QCOMPARE(describe(PageDriver::stored()).filter("bob-2").size(), 1);
        for (const bool boolClose : {true, false}) {
            objectDriver.objectDisplay->show();
            objectDriver.objectDisplay->objectView->setFocus();
            if (boolClose) {
                objectDriver.objectDisplay->close();
                QTRY_VERIFY(!objectDriver.objectDisplay->isVisible());
            }
        }
    }

    void mixedDirectionTextTakesItsWholeWidth_data() {
        QTest::addColumn<QString>("strText");
        QTest::addColumn<QString>("strLetters");
        QTest::newRow("Arabic and digits") << QString("\u0627\u0644\u062d\u0633\u0627\u0628\u0627\u062a: 10")
                                           << QString("\u0627\u0644\u062d\u0633\u0627\u0628\u0627\u062a");
        QTest::newRow("Arabic word before a comma")
            << QString("\u0628\u0627\u0644\u0636\u0628\u0637\u060c") << QString("\u0628\u0627\u0644\u0636\u0628\u0637");
        QTest::newRow("Hebrew and Latin")
            << QString("\u05e9\u05dc\u05d5\u05dd example.com") << QString("\u05e9\u05dc\u05d5\u05dd");
    }

    // The engine measures right-to-left letters that share a text node with other characters as if they had no
    // width; the page must still give such a text its whole width in a right-to-left layout.
    void mixedDirectionTextTakesItsWholeWidth() {
        QFETCH(QString, strText);
        QFETCH(QString, strLetters);
        QVERIFY(objectDriver.restart());
        const QString strMeasure =
            "(function(text) { var p = document.createElement('p'); p.setAttribute('dir', 'rtl');"
            " p.style.whiteSpace = 'nowrap'; var s = document.createElement('span'); p.appendChild(s);"
            " document.body.appendChild(p); Dom.text(s, text); var w = s.offsetWidth;"
            " var t = s.textContent; document.body.removeChild(p); return [w, t]; })";
        const QVariantList qvariantlistWhole = objectDriver.js(strMeasure + "('" + strText + "')").toList();
        const QVariantList qvariantlistLetters = objectDriver.js(strMeasure + "('" + strLetters + "')").toList();
        QCOMPARE(qvariantlistWhole.at(1).toString(), strText);
        QVERIFY2(qvariantlistWhole.at(0).toInt() > qvariantlistLetters.at(0).toInt(),
                 qPrintable(
                     QString("%1 <= %2").arg(qvariantlistWhole.at(0).toInt()).arg(qvariantlistLetters.at(0).toInt())));
    }

    void failedWritesAreSaidAndLoseNothing_data() {
        QTest::addColumn<bool>("boolFull");
        QTest::newRow("a full disk") << true;
        QTest::newRow("a database another connection holds") << false;
    }

    void failedWritesAreSaidAndLoseNothing() {
        QFETCH(bool, boolFull);
        QVERIFY(objectDriver.restart({account("bank.example", "ann@example.org", "ann")}));
        TestSupport::writeFile("res/PreferenceLanguage.ini", "[General]\nstrName=en\n");
        const QString strFolder = "{folder: '" + TestSupport::appPath("res") + "'}";
        {
            QSqlDatabase objectOther = QSqlDatabase::addDatabase("QSQLITE", "other");
            objectOther.setDatabaseName(TestSupport::appPath("res/PreferenceAccount.sqlite"));
            QVERIFY(objectOther.open() && (boolFull || QSqlQuery(objectOther).exec("BEGIN IMMEDIATE")));
            std::unique_ptr<TestSupport::FullFolder> objectFull(boolFull ? new TestSupport::FullFolder("res")
                                                                         : nullptr);
            QVERIFY(!boolFull || objectFull->boolMounted);
            QVERIFY(objectDriver.reload());
            QCOMPARE(objectDriver.text("folder-alert"), catalogue("folder_not_writable", strFolder));

            PageDriver::setClipboard("[{\"strWebsite\": \"new.example\", \"strMail\": \"n@example.org\"}]");
            objectDriver.click("#nav-transfer");
            objectDriver.click("#import-button");
            objectDriver.click("#import-confirm");
            QCOMPARE(objectDriver.text("import-result"), catalogue("import_failed", strFolder));
            objectDriver.click("#nav-settings");
            objectDriver.click("#language-de");
            QCOMPARE(objectDriver.shown("language-failed"), boolFull);
            QCOMPARE(PageDriver::language().toString(), QString(boolFull ? "en" : "de"));
            objectDriver.click("#language-en");

            // What was typed stays in the form, which says why it could not be saved.
            objectDriver.click("#nav-accounts");
            objectDriver.click("#list-add");
            objectDriver.type("edit-website", "shop.example");
            objectDriver.click("#edit-save");
            QCOMPARE(objectDriver.value("edit-website"), QString("shop.example"));
            QCOMPARE(objectDriver.text("edit-failed"), catalogue("save_failed", strFolder));
            // Leaving it asks first, as for any input not yet saved.
            objectDriver.js("Navigation.show('edit', {objectAccount: Accounts.byIdent(1)});");
            objectDriver.click("#dialog-unsaved-discard");
            objectDriver.click("#edit-delete");
            objectDriver.click("#dialog-delete-confirm");
            QCOMPARE(objectDriver.text("edit-failed"), catalogue("delete_failed", strFolder));
            objectDriver.type("edit-user", "-2");
            objectDriver.click("#edit-save");
            QCOMPARE(objectDriver.screen(), QString("edit"));
            QCOMPARE(objectDriver.text("edit-failed"), catalogue("save_failed", strFolder));
            QCOMPARE(PageDriver::stored().size(), 1);
            QCOMPARE(PageDriver::stored().first().strUser, QString("ann"));
            objectOther.close();
        }
        QSqlDatabase::removeDatabase("other");
        // Saved as soon as the fault is gone.
        objectDriver.click("#edit-save");
        QCOMPARE(PageDriver::stored().first().strUser, QString("ann-2"));
    }

    // Damaged data found at start is said on the page, and the files are left as they were, but for the values
    // that had to go from a settings file. Rows with such values come last: the program tells of them for the
    // rest of its run.
    void startFaultsAreToldAndChangeNothing_data() {
        QTest::addColumn<QString>("strFile");
        QTest::addColumn<QByteArray>("byteContent");
        QTest::addColumn<QString>("strNotice");
        QTest::addColumn<QByteArray>("byteAfter");
        const QByteArray byteRandom = QByteArray::fromHex("8be0ff0013c4a59e").repeated(512);
        QTest::newRow("text in place of the database")
            << "PreferenceAccount.sqlite" << QByteArray("minutes of the meeting, not an account list\n")
            << "notice_database_unreadable" << QByteArray();
        QTest::newRow("random bytes in place of the database")
            << "PreferenceAccount.sqlite" << byteRandom << "notice_database_unreadable" << QByteArray();
        QTest::newRow("a view in place of the table")
            << "PreferenceAccount.sqlite" << QByteArray("CREATE VIEW PreferenceAccount AS SELECT * FROM Kept")
            << "notice_database_table" << QByteArray();
        QTest::newRow("a database without the table")
            << "PreferenceAccount.sqlite" << QByteArray("DROP TABLE Kept") << "notice_database_table" << QByteArray();
        // Refused unread like an unreadable one: the page goes on, with the texts' names for want of texts.
        QTest::newRow("a catalogue beyond 4 MiB")
            << "language - en.xml"
            << "<resources><string name=\"nav_accounts\">" + QByteArray(5 << 20, 'x') + "</string></resources>"
            << "" << QByteArray();
        QTest::newRow("an empty language name") << "PreferenceLanguage.ini" << QByteArray("[General]\nstrName=\n") << ""
                                                << QByteArray("[General]\nstrName=en\n");
        QTest::newRow("unreadable values in a settings file")
            << "PreferenceAccountSelected.ini"
            << QByteArray("[General]\nintIdent=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\nstrWebsite=kept\n")
            << "notice_settings_removed" << QByteArray("[General]\n\nstrWebsite=kept\n");
    }

    void startFaultsAreToldAndChangeNothing() {
        QFETCH(QString, strFile);
        QFETCH(QByteArray, byteContent);
        QFETCH(QString, strNotice);
        QFETCH(QByteArray, byteAfter);
        PreferenceAccount::dispel();
        Language::dispel();
        TestSupport::resetRes(true);
        const QString strRelative = "res/" + strFile;
        if (byteContent.startsWith("CREATE") || byteContent.startsWith("DROP")) {
            PageDriver::seed({account("kept.example", "k@example")});
            QVERIFY(TestSupport::executeSql("ALTER TABLE PreferenceAccount RENAME TO Kept"));
            QVERIFY(TestSupport::executeSql(QString::fromUtf8(byteContent)));
        } else {
            TestSupport::writeFile(strRelative, byteContent);
        }
        const QByteArray byteBefore = TestSupport::readFile(strRelative);
        MainUpdate::run();
        QVERIFY(objectDriver.reload());

        const QString strPath = "{file: '" + TestSupport::appPath(strRelative) + "'}";
        const bool boolDatabase = strNotice.startsWith("notice_database");
        QCOMPARE(objectDriver.text("data-alert"),
                 strNotice.isEmpty() ? QString()
                 : boolDatabase      ? catalogue(strNotice, strPath) + " " + catalogue("notice_database_action")
                                     : catalogue(strNotice, strPath));
        QVERIFY(!objectDriver.text("data-alert").contains("notice_"));
        // No invitation to start anew on top of the list, nor a wrong word about the folder.
        QCOMPARE(objectDriver.shown("list-empty"), !boolDatabase);
        QCOMPARE(objectDriver.shown("list-count"), !boolDatabase || byteContent.startsWith("CREATE VIEW"));
        QCOMPARE(objectDriver.js("document.getElementById('list-add').disabled").toBool(), boolDatabase);
        QCOMPARE(objectDriver.shown("folder-alert"), false);
        // The texts are the catalogue's, in English when no language was named.
        const bool boolCatalogue = !strFile.startsWith("language");
        QCOMPARE(names().isEmpty(), boolCatalogue);
        QCOMPARE(objectDriver.text("nav-accounts"), QString(boolCatalogue ? "Accounts" : "nav_accounts"));

        // Nothing the page does afterwards writes to a database that is no account list.
        objectDriver.js("jsPreferenceAccount.setStrWebsite('new.example'); jsPreferenceAccount.create();");
        QCOMPARE(TestSupport::readFile(strRelative), byteAfter.isEmpty() ? byteBefore : byteAfter);
    }

    void aboutShowsNameAndVersion() {
        QVERIFY(objectDriver.restart());
        objectDriver.click("#nav-settings");
        QCOMPARE(objectDriver.text("about-name"), QString("Tessaloquin"));
        QCOMPARE(objectDriver.text("about-version"), catalogue("about_version", "{version: '4.5'}"));
        QVERIFY(objectDriver.text("about-version").contains("4.5"));
        // The title names the screen, then the program.
        QCOMPARE(objectDriver.js("document.title").toString(), catalogue("settings_title") + " \u2013 Tessaloquin");
        // Every drawn symbol of the fingerprint has a name in the catalogue.
        QVERIFY(objectDriver
                    .js("['circle', 'square', 'triangle', 'diamond', 'star', 'heart', 'hexagon', "
                        "'cross'].every(function(s) {"
                        " return Catalogue.has('shape_' + s); }) && ['red', 'orange', 'yellow', 'green', 'turquoise',"
                        " 'blue', 'purple', 'pink'].every(function(c) { return Catalogue.has('colour_' + c); })")
                    .toBool());
    }
};

QTEST_MAIN(TestPageFlows)
#include "test_page.moc"
