#include "PageDriver.h"

#include "display/Display.h"
#include "display/DisplayEngine.h"
#include "language/Language.h"
#include "main/Main.h"
#include "preference/PreferenceAccount.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QProcess>
#include <QSettings>
#include <QSqlQuery>
#include <QTest>
#include <QVariant>

namespace {

const char *const strCreate = "CREATE TABLE IF NOT EXISTS PreferenceAccount (intIdent INTEGER PRIMARY KEY "
                              "AUTOINCREMENT, strWebsite TEXT, strMail TEXT, strUser TEXT, strNote TEXT, "
                              "intLength INTEGER, strSpecial TEXT)";

QString quoted(const QString &strText) {
    QString strResult = strText;
    strResult.replace("\\", "\\\\").replace("'", "\\'").replace("\n", "\\n").replace("\r", "\\r");
    return "'" + strResult + "'";
}

} // namespace

void PageDriver::start() {
    objectMain = new Main(qobject_cast<QApplication *>(QCoreApplication::instance()));
    TestSupport::resetRes(true);
    objectDisplay = Display::obtain();
    objectPage = TestSupport::installTestPage(objectDisplay);
    objectDisplay->activateWindow();
    objectDisplay->objectView->setFocus();
}

bool PageDriver::restart(const QList<PageAccount> &qlistAccounts) {
    PreferenceAccount::dispel();
    Language::dispel();
    TestSupport::resetRes(true);
    // The engine keeps the page's own storage in memory as well as in res/.
    js("if (window.localStorage) { window.localStorage.clear(); }");
    seed(qlistAccounts);
    return reload();
}

bool PageDriver::reload() {
    const bool boolLoaded = TestSupport::reloadPage(objectDisplay);
    objectDisplay->objectView->setFocus();
    return boolLoaded;
}

void PageDriver::checkConsole() {
    const QStringList qstringlistConsole = objectPage->qstringlistConsole;
    objectPage->qstringlistConsole.clear();
    QVERIFY2(qstringlistConsole.isEmpty(), qPrintable(qstringlistConsole.join("\n")));
}

QWidget *PageDriver::input() const {
    QWidget *objectView = objectDisplay->objectView;
    return objectView->focusProxy() != nullptr ? objectView->focusProxy() : objectView;
}

QVariant PageDriver::js(const QString &strScript) const {
    return TestSupport::evaluate(objectDisplay, strScript);
}

QString PageDriver::text(const QString &strId) const {
    return js("document.getElementById(" + quoted(strId) + ").textContent").toString();
}

QString PageDriver::value(const QString &strId) const {
    return js("document.getElementById(" + quoted(strId) + ").value").toString();
}

bool PageDriver::shown(const QString &strId) const {
    return js("(function(e) { return e !== null && e.getClientRects().length > 0 && "
              "getComputedStyle(e).visibility !== 'hidden'; })(document.getElementById(" +
              quoted(strId) + "))")
        .toBool();
}

QString PageDriver::shownSecret(const QString &strId) const {
    return js("(function(f, l) { return f.type + '|' + (l.getClientRects().length > 0 ? l.textContent : ''); })"
              "(document.getElementById(" +
              quoted(strId) + "), document.getElementById(" + quoted(strId + "-shown") + "))")
        .toString();
}

QString PageDriver::focused() const {
    return js("document.activeElement ? (document.activeElement.id || document.activeElement.tagName) : ''").toString();
}

QString PageDriver::screen() const {
    return js("Navigation.current()").toString();
}

QPoint PageDriver::centre(const QString &strSelector) const {
    const QString strElement = "document.querySelector(" + quoted(strSelector) + ")";
    const QVariantList qvariantlistPoint =
        js("(function(e) { if (!e) { return []; } e.scrollIntoView(false); var r = e.getBoundingClientRect();"
           " return [r.left + r.width / 2, r.top + r.height / 2]; })(" +
           strElement + ")")
            .toList();
    if (qvariantlistPoint.size() != 2) {
        return QPoint(-1, -1);
    }
    return QPoint(qRound(qvariantlistPoint.at(0).toDouble()), qRound(qvariantlistPoint.at(1).toDouble()));
}

void PageDriver::click(const QString &strSelector, bool boolDouble) {
    const QPoint objectPoint = centre(strSelector);
    if (objectPoint == QPoint(-1, -1)) {
        qWarning("nothing to click at %s", qPrintable(strSelector));
        return;
    }
    if (boolDouble) {
        // As the desktop delivers a double click: two presses close in time and place, the second followed by
        // the double-click event. Engines count clicks by either.
        QTest::lastMouseTimestamp += 1000;
        const ulong intTime = ulong(QTest::lastMouseTimestamp);
        const QPoint objectGlobal = input()->mapToGlobal(objectPoint);
        const QList<QPair<QEvent::Type, ulong>> qlistStep = {{QEvent::MouseButtonPress, 0},
                                                             {QEvent::MouseButtonRelease, 40},
                                                             {QEvent::MouseButtonPress, 120},
                                                             {QEvent::MouseButtonDblClick, 120},
                                                             {QEvent::MouseButtonRelease, 160}};
        for (const QPair<QEvent::Type, ulong> &qpairStep : qlistStep) {
            const bool boolDown = qpairStep.first != QEvent::MouseButtonRelease;
            QMouseEvent objectEvent(qpairStep.first, objectPoint, objectGlobal, Qt::LeftButton,
                                    boolDown ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            objectEvent.setTimestamp(intTime + qpairStep.second);
            QApplication::sendEvent(input(), &objectEvent);
        }
        QTest::lastMouseTimestamp += 1000;
    } else {
        QTest::mouseClick(input(), Qt::LeftButton, Qt::NoModifier, objectPoint);
    }
    handled();
}

void PageDriver::handled() const {
    if (objectDisplay->objectEngine->boolSynchronous) {
        return;
    }
    // The page takes its input in order: once it has seen a key of the driver's own, sent last, it has handled
    // everything sent before. The key goes no further than the driver's listener.
    const int intSeen =
        js("if (window.intDriverSeen === undefined) { window.intDriverSeen = 0; window.addEventListener('keydown',"
           " function(e) { if (e.key === 'F24') { window.intDriverSeen += 1; e.preventDefault();"
           " e.stopImmediatePropagation(); } }, true); } window.intDriverSeen")
            .toInt();
    QTest::keyClick(input(), Qt::Key_F24);
    if (!QTest::qWaitFor([this, intSeen]() { return js("window.intDriverSeen").toInt() > intSeen; }, 5000)) {
        qWarning("the page did not take its input");
    }
}

void PageDriver::openFirst() {
    click("#list .item");
    QTRY_COMPARE(screen(), QString("account"));
}

void PageDriver::setValue(const QString &strId, const QString &strValue, const QString &strEvent) {
    // Through JSON, which quotes any text for a script.
    js("(function(e) { e.value = " + QJsonDocument(QJsonArray({strValue})).toJson(QJsonDocument::Compact) +
       "[0]; e.dispatchEvent(new Event(" + quoted(strEvent) + ")); })(document.getElementById(" + quoted(strId) + "))");
}

void PageDriver::type(const QString &strId, const QString &strText) {
    click("#" + strId);
    keys(strText);
}

void PageDriver::key(int intKey, Qt::KeyboardModifiers enumModifiers) {
    QTest::keyClick(input(), Qt::Key(intKey), enumModifiers);
    handled();
}

void PageDriver::keys(const QString &strText) {
    for (const QChar &charKey : strText) {
        if (charKey.unicode() >= 0x20 && charKey.unicode() < 0x7f) {
            QTest::keyClick(input(), charKey.toLatin1());
        } else {
            // Keys beyond ASCII carry their text only, as an input method delivers them.
            QTest::sendKeyEvent(QTest::Click, input(), Qt::Key_unknown, QString(charKey), Qt::NoModifier);
        }
    }
    handled();
}

QAccessibleInterface *PageDriver::accessible() const {
    refreshAccessible();
    return QAccessible::queryAccessibleInterface(objectDisplay->objectView);
}

QAccessibleInterface *PageDriver::accessible(QAccessible::Role enumRole, const QString &strName) const {
    for (QAccessibleInterface *objectInterface : descendants(accessible())) {
        if (objectInterface->role() == enumRole && objectInterface->text(QAccessible::Name) == strName) {
            return objectInterface;
        }
    }
    return nullptr;
}

QList<QAccessibleInterface *> PageDriver::descendants(QAccessibleInterface *objectInterface) {
    QList<QAccessibleInterface *> qlistResult;
    for (int i = 0; i < objectInterface->childCount(); i += 1) {
        qlistResult.append(objectInterface->child(i));
        qlistResult.append(descendants(objectInterface->child(i)));
    }
    return qlistResult;
}

QString PageDriver::catalogue(const QString &strName) {
    return Language::obtain()->getStrString(strName);
}

void PageDriver::seed(const QList<PageAccount> &qlistAccounts) {
    TestSupport::withDatabase([&qlistAccounts](QSqlDatabase &objectDatabase) {
        QSqlQuery objectQuery(objectDatabase);
        objectQuery.exec(strCreate);
        objectDatabase.transaction();
        objectQuery.prepare("INSERT INTO PreferenceAccount (intIdent, strWebsite, strMail, strUser, strNote, "
                            "intLength, strSpecial) VALUES (?, ?, ?, ?, ?, ?, ?)");
        for (const PageAccount &objectAccount : qlistAccounts) {
            objectQuery.bindValue(0, objectAccount.intIdent > 0 ? QVariant(objectAccount.intIdent) : QVariant());
            objectQuery.bindValue(1, objectAccount.strWebsite);
            objectQuery.bindValue(2, objectAccount.strMail);
            objectQuery.bindValue(3, objectAccount.strUser);
            objectQuery.bindValue(4, objectAccount.strNote);
            objectQuery.bindValue(5, objectAccount.intLength);
            objectQuery.bindValue(6, objectAccount.strSpecial);
            objectQuery.exec();
        }
        objectDatabase.commit();
    });
}

QList<PageAccount> PageDriver::stored() {
    QList<PageAccount> qlistAccounts;
    TestSupport::withDatabase([&qlistAccounts](QSqlDatabase &objectDatabase) {
        QSqlQuery objectQuery(objectDatabase);
        objectQuery.exec("SELECT intIdent, strWebsite, strMail, strUser, strNote, intLength, strSpecial FROM "
                         "PreferenceAccount ORDER BY intIdent");
        while (objectQuery.next()) {
            PageAccount objectAccount;
            objectAccount.intIdent = objectQuery.value(0).toInt();
            objectAccount.strWebsite = objectQuery.value(1).toString();
            objectAccount.strMail = objectQuery.value(2).toString();
            objectAccount.strUser = objectQuery.value(3).toString();
            objectAccount.strNote = objectQuery.value(4).toString();
            objectAccount.intLength = objectQuery.value(5).toInt();
            objectAccount.strSpecial = objectQuery.value(6).toString();
            qlistAccounts.append(objectAccount);
        }
    });
    return qlistAccounts;
}

QVariant PageDriver::selected(const QString &strKey) {
    return QSettings(TestSupport::appPath("res/PreferenceAccountSelected.ini"), QSettings::IniFormat).value(strKey);
}

QVariant PageDriver::language() {
    return QSettings(TestSupport::appPath("res/PreferenceLanguage.ini"), QSettings::IniFormat).value("strName");
}

QString PageDriver::clipboard() {
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

void PageDriver::setClipboard(const QString &strText) {
    QGuiApplication::clipboard()->setText(strText, QClipboard::Clipboard);
}

QByteArray PageDriver::run(const QStringList &qstringlistCommand, const QByteArray &byteInput) {
    QProcess objectProcess;
    objectProcess.start(qstringlistCommand.first(), qstringlistCommand.mid(1));
    objectProcess.write(byteInput);
    objectProcess.closeWriteChannel();
    static_cast<void>(
        QTest::qWaitFor([&objectProcess]() { return objectProcess.state() == QProcess::NotRunning; }, 20000));
    return objectProcess.readAllStandardOutput();
}

QByteArray PageDriver::xselection(const QString &strSelection, const QString &strTarget) {
    return run({"xclip", "-o", "-selection", strSelection, "-t", strTarget});
}

PageAccount account(const QString &strWebsite, const QString &strMail, const QString &strUser, const QString &strNote,
                    int intLength, const QString &strSpecial) {
    PageAccount objectAccount;
    objectAccount.strWebsite = strWebsite;
    objectAccount.strMail = strMail;
    objectAccount.strUser = strUser;
    objectAccount.strNote = strNote;
    objectAccount.intLength = intLength;
    objectAccount.strSpecial = strSpecial;
    return objectAccount;
}

QList<PageAccount> accounts(const QJsonArray &objectArray) {
    QList<PageAccount> qlistAccounts;
    for (const QJsonValue &valueAccount : objectArray) {
        const QJsonObject objectAccount = valueAccount.toObject();
        qlistAccounts.append(
            account(objectAccount.value("strWebsite").toString(), objectAccount.value("strMail").toString(),
                    objectAccount.value("strUser").toString(), objectAccount.value("strNote").toString(),
                    objectAccount.value("intLength").toInt(15), objectAccount.value("strSpecial").toString()));
    }
    return qlistAccounts;
}

QStringList describe(const QList<PageAccount> &qlistAccounts) {
    QStringList qstringlistLine;
    for (const PageAccount &objectAccount : qlistAccounts) {
        qstringlistLine.append(
            QStringList({objectAccount.strWebsite, objectAccount.strMail, objectAccount.strUser, objectAccount.strNote,
                         QString::number(objectAccount.intLength), objectAccount.strSpecial})
                .join(" | "));
    }
    return qstringlistLine;
}
