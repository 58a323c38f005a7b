#include "PageDriver.h"

#include "display/Display.h"
#include "display/DisplayEngine.h"
#include "general/GeneralJavascriptinterface.h"
#include "language/LanguageJavascriptinterface.h"
#include "password/PasswordJavascriptinterface.h"
#include "preference/PreferenceAccountJavascriptinterface.h"
#include "preference/PreferenceAccountSelectedJavascriptinterface.h"
#include "preference/PreferenceLanguageJavascriptinterface.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

namespace {

// Reference values computed independently of the program.
const QString strMaster = "master";
const QString strPassword = "S50X3jGa0BtqkPX";
const QString strPasswordSpecial = "S@0X?jG!0Btq?PX";

PageAccount reference(const QString &strSpecial = QString()) {
    return account("example.com", "me@example.com", "me", QString(), 15, strSpecial);
}

// Every call of a published object's slots, with its arguments, recorded in the page before the page's scripts run.
QString recorder() {
    const QList<QPair<QString, const QMetaObject *>> qlistBridge = {
        {"jsGeneral", &GeneralJavascriptinterface::staticMetaObject},
        {"jsLanguage", &LanguageJavascriptinterface::staticMetaObject},
        {"jsPassword", &PasswordJavascriptinterface::staticMetaObject},
        {"jsPreferenceAccount", &PreferenceAccountJavascriptinterface::staticMetaObject},
        {"jsPreferenceAccountSelected", &PreferenceAccountSelectedJavascriptinterface::staticMetaObject},
        {"jsPreferenceLanguage", &PreferenceLanguageJavascriptinterface::staticMetaObject}};
    QString strScript = "window.recordedCalls = [];"
                        "function recordCalls(n, m) { var real = window[n], wrap = {}; m.forEach(function(k) {"
                        " wrap[k] = function() { var a = Array.prototype.slice.call(arguments);"
                        "  recordedCalls.push(n + '.' + k + ' ' + JSON.stringify(a)); return real[k].apply(real, a); };"
                        " }); window[n] = wrap; }";
    for (const auto &qpairBridge : qlistBridge) {
        QStringList qstringlistSlot;
        for (int intMethod = qpairBridge.second->methodOffset(); intMethod < qpairBridge.second->methodCount();
             intMethod += 1) {
            qstringlistSlot.append("'" + QString(qpairBridge.second->method(intMethod).name()) + "'");
        }
        strScript += "recordCalls('" + qpairBridge.first + "', [" + qstringlistSlot.join(", ") + "]);";
    }
    return strScript;
}

QString quotedJson(const QString &strText) {
    return QString::fromUtf8(QJsonDocument(QJsonArray({strText})).toJson(QJsonDocument::Compact)) + "[0]";
}

} // namespace

class TestPageSecrets : public QObject {
    Q_OBJECT

    PageDriver objectDriver;
    QString strBridgeScript;

    // The level the line under the master password shows ("weak", "fair", "strong"), or "" while none.
    QString level() const {
        return objectDriver
            .js("(function(m) { return m ? m[1] : ''; })"
                "(/master-estimate-(\\w+)/.exec(document.getElementById('master-estimate').className))")
            .toString();
    }

    QString fingerprint() const {
        return objectDriver
            .js("Array.prototype.map.call(document.querySelectorAll('#fingerprint svg'), function(e) {"
                " return e.getAttribute('data-colour') + ' ' + e.getAttribute('data-shape'); }).join(', ')")
            .toString();
    }

public slots:
    // Runs after the window has published its objects and before the page's own scripts.
    void changeBridges() {
        if (!strBridgeScript.isEmpty()) {
            objectDriver.objectDisplay->evaluate(strBridgeScript);
        }
    }

private slots:
    void initTestCase() {
        objectDriver.start();
        connect(objectDriver.objectDisplay->objectEngine, SIGNAL(cleared()), this, SLOT(changeBridges()));
    }

    void init() {
        strBridgeScript.clear();
        objectDriver.objectPage->qstringlistConsole.clear();
        QVERIFY(objectDriver.restart({reference()}));
    }

    void cleanup() { objectDriver.checkConsole(); }

    void derivedPasswordFollowsTheMasterPassword_data() {
        QTest::addColumn<QString>("strSpecial");
        QTest::addColumn<QString>("strExpected");
        QTest::newRow("letters and digits") << QString() << strPassword;
        QTest::newRow("all four special characters") << QString("!?@#") << strPasswordSpecial;
    }

    void derivedPasswordFollowsTheMasterPassword() {
        QFETCH(QString, strSpecial);
        QFETCH(QString, strExpected);
        QVERIFY(objectDriver.restart({reference(strSpecial)}));
        objectDriver.openFirst();
        QCOMPARE(objectDriver.focused(), QString("master"));
        QCOMPARE(objectDriver.value("password"), QString());
        QVERIFY(objectDriver.js("document.getElementById('password-copy').disabled").toBool());

        objectDriver.keys(strMaster);
        QCOMPARE(objectDriver.value("password"), strExpected);
        QCOMPARE(objectDriver.js("document.getElementById('password').type").toString(), QString("password"));
        QVERIFY(!objectDriver.text("password-strength").isEmpty());

        // A typo changes the password at once; deleting it brings the password back.
        objectDriver.keys("x");
        QVERIFY(objectDriver.value("password") != strExpected);
        objectDriver.key(Qt::Key_Backspace);
        QCOMPARE(objectDriver.value("password"), strExpected);

        // Ctrl+M from further down: the label comes into view, and typing replaces the text instead of doubling it.
        objectDriver.objectDisplay->resize(665, 400);
        objectDriver.key(Qt::Key_Tab);
        objectDriver.js("document.getElementById('main').scrollTop = document.getElementById('master').offsetTop - 2;");
        objectDriver.key(Qt::Key_M, Qt::ControlModifier);
        QVERIFY(objectDriver
                    .js("document.querySelector('#master-card label').getBoundingClientRect().top >="
                        " document.getElementById('main').getBoundingClientRect().top")
                    .toBool());
        objectDriver.keys(strMaster);
        QCOMPARE(objectDriver.value("password"), strExpected);
        objectDriver.objectDisplay->resize(665, 690);
    }

    void revealedPasswordHidesWhenTheFocusLeaves() {
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
        objectDriver.click("#password-toggle");
        QCOMPARE(objectDriver.shownSecret("password"), "password|" + strPassword);
        QCOMPARE(objectDriver.js("document.getElementById('password-toggle').getAttribute('aria-checked')").toString(),
                 QString("true"));
        // Within the password's own controls it stays revealed.
        objectDriver.key(Qt::Key_Tab);
        QCOMPARE(objectDriver.focused(), QString("password-copy"));
        QCOMPARE(objectDriver.shownSecret("password"), "password|" + strPassword);
        objectDriver.key(Qt::Key_Tab);
        QCOMPARE(objectDriver.shownSecret("password"), QString("password|"));
    }

    void masterPasswordNeverLeavesItsField() {
        const QString strSecret = "Gl\u00fchw\u00fcrmchen-42";
        objectDriver.openFirst();
        objectDriver.keys(strSecret);
        objectDriver.click("#master-toggle");
        QTRY_VERIFY(!fingerprint().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!level().isEmpty(), 20000);
        QCOMPARE(objectDriver.value("master"), strSecret);

        // Not in the markup, any attribute, the title or the address; not in any other field; in no text but the
        // line that shows it, which assistive technology is not given.
        const QString strScan =
            "(function(s) { var found = [];"
            " function count(t) { return t.split(s).length - 1; }"
            " var line = document.getElementById('master-shown'), shown = count(line.textContent);"
            " if (shown > 0 && line.getAttribute('aria-hidden') !== 'true') { found.push('line told'); }"
            " if (count(document.documentElement.outerHTML) > shown) { found.push('markup'); }"
            " if (document.title.indexOf(s) !== -1) { found.push('title'); }"
            " if (location.href.indexOf(s) !== -1) { found.push('address'); }"
            " var all = document.querySelectorAll('*');"
            " for (var i = 0; i < all.length; i += 1) {"
            "  for (var j = 0; j < all[i].attributes.length; j += 1) {"
            "   if (all[i].attributes[j].value.indexOf(s) !== -1) { found.push('attribute'); } }"
            "  if (all[i].id !== 'master' && typeof all[i].value === 'string' && all[i].value.indexOf(s) !== -1) {"
            "   found.push('field ' + all[i].id); } }"
            " if (count(document.body.textContent) > shown) { found.push('text'); }"
            " return found.join(','); })";
        QCOMPARE(objectDriver.shownSecret("master"), "password|" + strSecret);
        for (const QString &strPart : {strSecret, strSecret.left(6), strSecret.right(6)}) {
            QCOMPARE(objectDriver.js(strScan + "('" + strPart + "')").toString(), QString());
        }
        // Hidden again, no text of the page holds it.
        objectDriver.click("#master-toggle");
        QCOMPARE(objectDriver.text("master-shown"), QString());
        QVERIFY(!objectDriver.js("document.documentElement.outerHTML").toString().contains(strSecret.left(6)));
        QCOMPARE(QString(objectDriver.objectDisplay->windowTitle()).contains(strSecret), false);
    }

    // Typed, estimated and suggested: every call of the program's objects that carries a master password is the
    // derivation.
    void masterReachesOnlyTheDerivation() {
        strBridgeScript = recorder();
        QVERIFY(objectDriver.reload());
        objectDriver.openFirst();
        objectDriver.keys(strMaster + "-Zq");
        QTRY_VERIFY_WITH_TIMEOUT(!level().isEmpty(), 20000);
        objectDriver.click("#master-suggest");
        QTRY_COMPARE_WITH_TIMEOUT(level(), QString("strong"), 20000);
        for (const QString &strText : {strMaster + "-Zq", objectDriver.value("master")}) {
            const QStringList qstringlistCall =
                objectDriver
                    .js("recordedCalls.filter(function(c) { return c.indexOf(" + quotedJson(strText) + ") !== -1; })")
                    .toStringList();
            QVERIFY2(!qstringlistCall.isEmpty(), qPrintable(strText));
            for (const QString &strCall : qstringlistCall) {
                QVERIFY2(strCall.startsWith("jsPassword.update "), qPrintable(strCall));
            }
        }
    }

    // The shared table that the terminal companion's tests read as well; bad input among it gives an estimate,
    // never a script error.
    void masterEstimateFollowsTheSharedTable() {
        objectDriver.js("Timing.intFingerprintMs = 50;");
        objectDriver.openFirst();
        const QStringList qstringlistReason = {"password", "word", "name", "date", "keyboard", "repeat", "sequence"};
        for (const QJsonValue &valueMaster : TestSupport::fixtureMasters()) {
            const QString strLevel = valueMaster["strLevel"].toString();
            const QString strReason = valueMaster["strReason"].toString();
            const QByteArray byteName = valueMaster["strName"].toString().toUtf8();
            objectDriver.setValue("master", TestSupport::fixtureMaster(valueMaster));
            QTRY_VERIFY2_WITH_TIMEOUT(!level().isEmpty(), byteName.constData(), 20000);
            QVERIFY2(level() == strLevel, byteName.constData());
            const QString strLine = objectDriver.text("master-estimate");
            // The reason where the table names one; none beside a strong master.
            if (!strReason.isEmpty()) {
                QVERIFY2(strLine.contains(PageDriver::catalogue("master_reason_" + strReason)),
                         qPrintable(byteName + ": " + strLine));
            }
            for (const QString &strSaid : qstringlistReason) {
                QVERIFY2(strLevel != "strong" || !strLine.contains(PageDriver::catalogue("master_reason_" + strSaid)),
                         qPrintable(byteName + ": " + strLine));
            }
            // The derived password's label: never stronger than a weak or fair master, and saying so.
            const QString strLabel = objectDriver.text("password-strength");
            QVERIFY2(strLabel.contains(PageDriver::catalogue("strength_" + strLevel)) ||
                         (strLevel == "strong" && !strLabel.contains(PageDriver::catalogue("strength_weak"))),
                     qPrintable(byteName + ": " + strLabel));
        }
        objectDriver.setValue("master", QString());
        QTRY_COMPARE(level(), QString());
        QCOMPARE(objectDriver.text("master-estimate"), QString());
    }

    void suggestionIsSixWordsOfTheListShownOnce() {
        objectDriver.openFirst();
        objectDriver.click("#master-suggest");
        QTRY_VERIFY(!objectDriver.value("master").isEmpty());
        const QString strFirst = objectDriver.value("master");
        const QStringList qstringlistWord = strFirst.split(' ');
        QCOMPARE(qstringlistWord.size(), 6);
        QCOMPARE(objectDriver.js("EffLongWordlist.length").toInt(), 7776);
        for (const QString &strWord : qstringlistWord) {
            QVERIFY2(objectDriver.js("EffLongWordlist.indexOf(" + quotedJson(strWord) + ") !== -1").toBool(),
                     qPrintable(strWord));
        }
        // Shown, with its note, and a password derived from it.
        QCOMPARE(objectDriver.shownSecret("master"), "password|" + strFirst);
        QVERIFY(objectDriver.shown("master-suggest-note"));
        QVERIFY(!objectDriver.value("password").isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(level(), QString("strong"), 20000);

        objectDriver.click("#master-suggest");
        QTRY_VERIFY(objectDriver.value("master") != strFirst);
        QCOMPARE(objectDriver.value("master").split(' ').size(), 6);
        // Typed into, it is the user's own: the note goes.
        objectDriver.click("#master");
        objectDriver.keys("x");
        QVERIFY(!objectDriver.shown("master-suggest-note"));
    }

    void showLastsForOneView_data() {
        QTest::addColumn<QString>("strField");
        QTest::addColumn<QString>("strAction");
        QTest::newRow("master, back to the list and open again") << "master"
                                                                 << "reopen";
        QTest::newRow("master, another account selected meanwhile") << "master"
                                                                    << "select";
        QTest::newRow("master, window loses the focus") << "master"
                                                        << "blur";
        QTest::newRow("password, window loses the focus") << "password"
                                                          << "blur";
        // Left for another screen, the text goes from the page, not just from sight.
        QTest::newRow("master, back to the list") << "master"
                                                  << "back";
    }

    void showLastsForOneView() {
        QFETCH(QString, strField);
        QFETCH(QString, strAction);
        QVERIFY(objectDriver.restart({reference(), account("other.org", "you@other.org")}));
        objectDriver.openFirst();
        // A master that no text of the page holds by itself.
        objectDriver.keys(strMaster + "-Zq7");
        const QString strText = objectDriver.value(strField);
        objectDriver.click("#" + strField + "-toggle");
        QCOMPARE(objectDriver.shownSecret(strField), "password|" + strText);
        if (strAction == "back") {
            objectDriver.click("#account-back");
        } else if (strAction == "reopen") {
            objectDriver.click("#account-back");
            objectDriver.openFirst();
        } else if (strAction == "select") {
            objectDriver.js("jsPreferenceAccountSelected.setIntIdent(2);");
            QTRY_COMPARE(objectDriver.text("account-title"), QString("other.org"));
        } else {
            objectDriver.objectDisplay->objectView->clearFocus();
        }
        QTRY_COMPARE(objectDriver.shownSecret(strField), QString("password|"));
        QCOMPARE(objectDriver.text(strField + "-shown"), QString());
        QVERIFY(!objectDriver.js("document.body.textContent").toString().contains(strText));
        objectDriver.objectDisplay->objectView->setFocus();
    }

    // The master stays for the next account, selected, so that typing it again replaces it instead of adding to it.
    void masterIsSelectedOnEnteringAnAccount_data() {
        QTest::addColumn<QString>("strWay");
        QTest::newRow("back and open another") << "reopen";
        QTest::newRow("after saving an edit") << "save";
    }

    void masterIsSelectedOnEnteringAnAccount() {
        QFETCH(QString, strWay);
        QVERIFY(objectDriver.restart({reference(), account("other.org", "you@other.org")}));
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
        if (strWay == "reopen") {
            objectDriver.key(Qt::Key_Escape);
            objectDriver.click("#list .item[data-index=\"1\"]");
        } else {
            objectDriver.key(Qt::Key_E, Qt::ControlModifier);
            objectDriver.type("edit-note", "n");
            objectDriver.key(Qt::Key_S, Qt::ControlModifier);
        }
        QTRY_COMPARE(objectDriver.screen(), QString("account"));
        QCOMPARE(objectDriver.focused(), QString("master"));
        QCOMPARE(objectDriver.value("master"), strMaster);
        objectDriver.keys(strMaster);
        QCOMPARE(objectDriver.value("master"), strMaster);
    }

    // Told from the letters typed when the engine does not report the key itself.
    void capsLockIsSaidWhileTheMasterHasTheFocus() {
        objectDriver.openFirst();
        QVERIFY(!objectDriver.shown("master-caps"));
        objectDriver.keys("M");
        QVERIFY(objectDriver.shown("master-caps"));
        QCOMPARE(objectDriver.text("master-caps"), PageDriver::catalogue("master_caps_lock"));
        objectDriver.keys("a");
        QVERIFY(!objectDriver.shown("master-caps"));
        // A small letter with Shift held.
        objectDriver.key(Qt::Key_Q, Qt::ShiftModifier);
        QVERIFY(objectDriver.shown("master-caps"));
        objectDriver.click("#password-toggle");
        QVERIFY(!objectDriver.shown("master-caps"));
        objectDriver.click("#master");
        QVERIFY(objectDriver.shown("master-caps"));
        objectDriver.keys("s");
        QVERIFY(!objectDriver.shown("master-caps"));
    }

    // A ticked special character the derivation left out is said, with the nearest lengths that give it: with
    // "m2" this account's password is "QJfl" at length 4, "QJfl@" at 5, "QJfl@@" at 6 and "QJfl@@l" at 7.
    void missingSpecialCharacterIsSaid() {
        QVERIFY(objectDriver.restart({account("example.com", "me@example.com", "", "", 4, "@")}));
        objectDriver.openFirst();
        QVERIFY(!objectDriver.shown("password-special"));
        objectDriver.keys("m2");
        QCOMPARE(objectDriver.value("password"), QString("QJfl"));
        QCOMPARE(objectDriver.text("password-special"), PageDriver::catalogue("password_special_missing")
                                                            .replace("{characters}", "@")
                                                            .replace("{lengths}", "5, 6, 7"));
        objectDriver.setValue("master", "m1");
        QCOMPARE(objectDriver.value("password"), QString("IGZ@"));
        QVERIFY(!objectDriver.shown("password-special"));
    }

    void masterPasswordIsWipedAfterAWhileWithoutInput() {
        objectDriver.js("Timing.intMasterIdleMs = 800;");
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
        QCOMPARE(objectDriver.value("password"), strPassword);
        // Typing keeps it alive, and so does any other use of the screen, such as a click or copying.
        QTest::qWait(500);
        objectDriver.keys("x");
        objectDriver.key(Qt::Key_Backspace);
        QTest::qWait(500);
        objectDriver.click("#password-toggle");
        QTest::qWait(500);
        objectDriver.key(Qt::Key_Tab);
        objectDriver.key(Qt::Key_Space);
        QTest::qWait(500);
        QCOMPARE(objectDriver.value("master"), strMaster);
        QTRY_COMPARE_WITH_TIMEOUT(objectDriver.value("master"), QString(), 3000);
        QCOMPARE(objectDriver.value("password"), QString());
        QCOMPARE(fingerprint(), QString());
        QVERIFY(objectDriver.shown("notice"));
        // Undo, by key or by the engine's own action, finds nothing to bring back.
        objectDriver.click("#master");
        objectDriver.key(Qt::Key_Z, Qt::ControlModifier);
        objectDriver.js("document.execCommand('undo');");
        QCOMPARE(objectDriver.value("master"), QString());
    }

    void fingerprintWaitsForAPauseAndDependsOnTheMasterAlone() {
        objectDriver.openFirst();
        QCOMPARE(fingerprint(), QString());
        objectDriver.keys(strMaster);
        // Not while typing.
        QCOMPARE(fingerprint(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!fingerprint().isEmpty(), 2000);
        const QString strFirst = fingerprint();
        QCOMPARE(strFirst.split(", ").size(), 3);
        QVERIFY(
            !objectDriver.js("document.getElementById('fingerprint').getAttribute('aria-label')").toString().isEmpty());

        // One letter more: the old symbols go at once, other symbols come after the pause.
        objectDriver.keys("s");
        QCOMPARE(fingerprint(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!fingerprint().isEmpty(), 2000);
        QVERIFY(fingerprint() != strFirst);

        // The same master password on another account shows the same symbols; an empty field shows none.
        objectDriver.key(Qt::Key_Backspace);
        QTRY_COMPARE_WITH_TIMEOUT(fingerprint(), strFirst, 2000);
        objectDriver.js("Master.wipe();");
        QCOMPARE(fingerprint(), QString());
        objectDriver.keys(strMaster);
        objectDriver.setValue("master", QString());
        QTest::qWait(800);
        QCOMPARE(fingerprint(), QString());
    }

    // The shared fixture that the terminal companion's tests read as well.
    void fingerprintFollowsTheSharedFixture() {
        objectDriver.openFirst();
        const QJsonArray objectPairs = QJsonDocument::fromJson(TestSupport::fixture("fingerprint/fingerprints.json"))
                                           .object()
                                           .value("arrayFingerprints")
                                           .toArray();
        for (const QJsonValue &valuePair : objectPairs) {
            objectDriver.setValue("master", valuePair.toObject().value("strMaster").toString());
            QTRY_COMPARE_WITH_TIMEOUT(fingerprint(), valuePair.toObject().value("strFingerprint").toString(), 2000);
        }
    }

    // The countdown runs out, or the document goes before it does; either way only the copied password is taken
    // off, and what the user copied since stays.
    void enterCopiesAndTheCountdownClearsOnlyThatPassword_data() {
        QTest::addColumn<QString>("strCopiedMeanwhile");
        QTest::addColumn<QString>("strEnd");
        QTest::addColumn<QString>("strAfter");
        for (const QString &strEnd : QStringList(
                 {"countdown", "the program reloads the page", "the page reloads itself", "the menu's Reload"})) {
            QTest::addRow("%s, clipboard untouched", qPrintable(strEnd)) << QString() << strEnd << QString();
            QTest::addRow("%s, user copied something else", qPrintable(strEnd))
                << QString("a note of mine") << strEnd << QString("a note of mine");
        }
    }

    void enterCopiesAndTheCountdownClearsOnlyThatPassword() {
        QFETCH(QString, strCopiedMeanwhile);
        QFETCH(QString, strEnd);
        QFETCH(QString, strAfter);
        objectDriver.js("Timing.intClipboardSeconds = " + QString(strEnd == "countdown" ? "1" : "60") + ";");
        PageDriver::setClipboard("before");
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
        objectDriver.key(Qt::Key_Return);
        QCOMPARE(PageDriver::clipboard(), strPassword);
        QVERIFY(objectDriver.shown("countdown"));
        if (strEnd == "countdown") {
            QVERIFY(objectDriver.text("countdown-text").contains("1"));
        }
        if (!strCopiedMeanwhile.isEmpty()) {
            PageDriver::setClipboard(strCopiedMeanwhile);
        }
        if (strEnd == "countdown") {
            QTRY_VERIFY_WITH_TIMEOUT(!objectDriver.shown("countdown"), 3000);
        } else if (strEnd == "the program reloads the page") {
            QVERIFY(objectDriver.reload());
        } else if (strEnd == "the page reloads itself") {
            QVERIFY(TestSupport::reloadFromPage(objectDriver.objectDisplay));
        } else {
            QVERIFY(objectDriver.reloadFromMenu());
        }
        QCOMPARE(PageDriver::clipboard(), strAfter);
    }

    void copyingMailOrUserEndsTheCountdown() {
        objectDriver.js("Timing.intClipboardSeconds = 1;");
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
        objectDriver.click("#password-copy");
        QCOMPARE(PageDriver::clipboard(), strPassword);
        objectDriver.click("#account-copy-mail");
        QCOMPARE(PageDriver::clipboard(), QString("me@example.com"));
        QVERIFY(!objectDriver.shown("countdown"));
        objectDriver.click("#account-copy-user");
        QCOMPARE(PageDriver::clipboard(), QString("me"));
        QTest::qWait(1500);
        QCOMPARE(PageDriver::clipboard(), QString("me"));
    }

    void selfTestBlocksEveryPasswordWhenDerivationIsWrong_data() {
        QTest::addColumn<QString>("strScript");
        QTest::newRow("one reference result differs")
            << QString("(function(real) { window.jsPassword = {update: function(m, w, e, l, s) {"
                       " var r = real.update(m, w, e, l, s); return l === 20 ? r.toLowerCase() : r; }}; })"
                       "(window.jsPassword);");
        QTest::newRow("derivation ignores the special characters")
            << QString("(function(real) { window.jsPassword = {update: function(m, w, e, l, s) {"
                       " return real.update(m, w, e, l, ''); }}; })(window.jsPassword);");
        QTest::newRow("derivation throws")
            << QString("window.jsPassword = {update: function() { throw new Error('broken'); }};");
        QTest::newRow("derivation missing") << QString("window.jsPassword = undefined;");
    }

    void selfTestBlocksEveryPasswordWhenDerivationIsWrong() {
        QFETCH(QString, strScript);
        strBridgeScript = strScript;
        QVERIFY(objectDriver.reload());
        QVERIFY(!objectDriver.js("Derivation.passed()").toBool());
        PageDriver::setClipboard("untouched");
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
        objectDriver.key(Qt::Key_Return);
        QCOMPARE(objectDriver.value("password"), QString());
        QVERIFY(objectDriver.js("document.getElementById('password-copy').disabled").toBool());
        QVERIFY(objectDriver.js("document.getElementById('password-message').classList.contains('error')").toBool());
        QCOMPARE(objectDriver.text("password-message"),
                 objectDriver.js("Catalogue.get('password_blocked')").toString());
        QTest::qWait(700);
        QVERIFY(!objectDriver.shown("fingerprint"));
        QCOMPARE(PageDriver::clipboard(), QString("untouched"));
        objectDriver.click("#password-copy");
        QCOMPARE(PageDriver::clipboard(), QString("untouched"));
        // The failure is not the master password's fault: the message stays whatever is typed.
        objectDriver.js("Master.wipe();");
        QVERIFY(objectDriver.js("document.getElementById('password-message').classList.contains('error')").toBool());
    }

    void strengthLabelFollowsLengthAndKinds_data() {
        QTest::addColumn<QString>("strPasswordText");
        QTest::addColumn<QString>("strName");
        QTest::newRow("four letters") << QString("abcd") << QString("strength_weak");
        QTest::newRow("eight mixed") << QString("aB3dE6gH") << QString("strength_fair");
        QTest::newRow("twelve mixed") << QString("aB3dE6gH9kL1") << QString("strength_strong");
        QTest::newRow("fifteen mixed") << strPassword << QString("strength_very_strong");
        QTest::newRow("ten digits") << QString("1234567890") << QString("strength_weak");
        QTest::newRow("twenty digits") << QString("12345678901234567890") << QString("strength_strong");
    }

    void strengthLabelFollowsLengthAndKinds() {
        QFETCH(QString, strPasswordText);
        QFETCH(QString, strName);
        QCOMPARE(objectDriver.js("Derivation.strength('" + strPasswordText + "')").toString(), strName);
    }
};

QTEST_MAIN(TestPageSecrets)
#include "test_pagesecrets.moc"
