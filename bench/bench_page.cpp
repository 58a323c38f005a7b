#include "Bench.h"

#include "PageDriver.h"
#include "display/Display.h"
#include "display/DisplayEngine.h"
#include "preference/PreferenceAccount.h"
#include "support/TestSupport.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

const int intAccounts = 10000;
const int intImported = 1000;
const int intRounds = 3;

// The texts of real translation catalogues (German, Arabic, Japanese): notes and user names as people write
// them, right-to-left and CJK among them. Made-up ones where the catalogues are not on this machine.
QStringList realTexts() {
    QStringList qstringlistText;
    for (const char *strName : {"de", "ar", "ja"}) {
        QFile objectFile(QString(TESSALOQUIN_CATALOGUE_FIXTURES) + "/strings-" + strName + ".xml");
        QDomDocument objectDocument;
        if (!objectFile.open(QIODevice::ReadOnly) || !objectDocument.setContent(&objectFile)) {
            continue;
        }
        const QDomNodeList objectStrings = objectDocument.elementsByTagName("string");
        for (int intIndex = 0; intIndex < objectStrings.size(); intIndex += 1) {
            qstringlistText.append(objectStrings.at(intIndex).toElement().text());
        }
    }
    if (qstringlistText.isEmpty()) {
        qstringlistText = QStringList({QString::fromUtf8("Zugang für die Familie"), QString::fromUtf8("حساب العمل"),
                                       QString::fromUtf8("買い物用のアカウント")});
    }
    return qstringlistText;
}

// Accounts numbered from intFirst: about every third has a note, every fifth a user name from the texts.
QList<PageAccount> made(int intFirst, int intCount, const QStringList &qstringlistText) {
    QList<PageAccount> qlistAccounts;
    for (int i = intFirst; i < intFirst + intCount; i += 1) {
        const QString strText = qstringlistText.at(i % qstringlistText.size());
        qlistAccounts.append(account(QString("site%1.example").arg((i * 7919) % 100000, 5, 10, QChar('0')),
                                     QString("user%1@mail%2.example").arg(i).arg(i % 37),
                                     i % 5 == 0 ? strText.left(24) : QString("user-%1").arg(i),
                                     i % 3 == 0 ? strText : QString(), 4 + i % 24, i % 2 == 0 ? "!" : ""));
    }
    return qlistAccounts;
}

QString importText(const QList<PageAccount> &qlistAccounts) {
    QJsonArray objectArray;
    for (const PageAccount &objectAccount : qlistAccounts) {
        objectArray.append(QJsonObject({{"strWebsite", objectAccount.strWebsite},
                                        {"strMail", objectAccount.strMail},
                                        {"strUser", objectAccount.strUser},
                                        {"strNote", objectAccount.strNote},
                                        {"intLength", objectAccount.intLength},
                                        {"strSpecial", objectAccount.strSpecial}}));
    }
    return QString::fromUtf8(QJsonDocument(objectArray).toJson());
}

const char *const strReport = "window.benchDrawn = function() { window.requestAnimationFrame(function() {"
                              " window.setTimeout(function() { console.log('tessaloquin-bench drawn'); }, 0); }); };";

// Waits for the page's word that a frame after a change has been made (the callback of the next animation
// frame has run, and the turn after it), then has the window paint that frame: on screen, as far as a program
// can tell.
class Drawn : public QObject {
public:
    explicit Drawn(PageDriver &objectDriver) : objectDriver(objectDriver) {
        connect(objectDriver.objectDisplay->objectEngine, &DisplayEngine::console, this,
                [this](const QString &strMessage) {
                    if (strMessage.contains("tessaloquin-bench drawn")) {
                        intDrawn += 1;
                        objectLoop.quit();
                    }
                });
    }

    // The page reports after each event of these kinds on these elements, once the page's own listeners ran.
    void install() {
        objectDriver.js(QString(strReport) + " document.getElementById('filter').addEventListener('input', benchDrawn);"
                                             " document.getElementById('list').addEventListener('keydown', benchDrawn);"
                                             " ['import-button', 'import-confirm'].forEach(function(s) {"
                                             " document.getElementById(s).addEventListener('click', benchDrawn); });");
    }

    // True when a report beyond the first intBefore came (and the window has painted) before the wait ran out.
    bool wait(int intBefore) {
        QTimer objectTimeout;
        objectTimeout.setSingleShot(true);
        connect(&objectTimeout, &QTimer::timeout, &objectLoop, &QEventLoop::quit);
        objectTimeout.start(30000);
        while (intDrawn == intBefore && objectTimeout.isActive()) {
            objectLoop.exec();
        }
        objectDriver.input()->repaint();
        return intDrawn > intBefore;
    }

    int intDrawn = 0;

private:
    PageDriver &objectDriver;
    QEventLoop objectLoop;
};

// Clicks a button of the page where a user would, and returns the milliseconds until the frame after its work.
double clickDrawn(PageDriver &objectDriver, Drawn &objectDrawn, const QString &strSelector) {
    const QPoint objectPoint = objectDriver.centre(strSelector);
    const int intBefore = objectDrawn.intDrawn;
    QElapsedTimer objectTimer;
    objectTimer.start();
    QTest::mouseClick(objectDriver.input(), Qt::LeftButton, Qt::NoModifier, objectPoint);
    return objectDrawn.wait(intBefore) ? objectTimer.nsecsElapsed() / 1e6 : -1;
}

double median(QList<double> qlistValues) {
    std::sort(qlistValues.begin(), qlistValues.end());
    return qlistValues.isEmpty() ? 0 : qlistValues.at(qlistValues.size() / 2);
}

} // namespace

// The page's own timings over many accounts, through the real window and page as a user drives them: keys and
// clicks into the view, each measured until the frame that shows its result.
TESSALOQUIN_BENCH(page) {
    const QStringList qstringlistText = realTexts();
    const QList<PageAccount> qlistAccounts = made(0, intAccounts, qstringlistText);
    const QString strImport = importText(made(intAccounts, intImported, qstringlistText));

    PageDriver objectDriver;
    objectDriver.start();
    Drawn objectDrawn(objectDriver);
    QList<double> qlistEmpty, qlistListed, qlistKeystroke, qlistMove, qlistImport;
    bool boolSound = true;
    for (int intRound = 0; intRound < intRounds; intRound += 1) {
        // The window asks for its page, which reads the whole list and draws its first rows; the same page over
        // an empty list shows what the list itself adds.
        for (QList<double> *qlistTimes : {&qlistEmpty, &qlistListed}) {
            PreferenceAccount::dispel();
            TestSupport::resetRes(true);
            PageDriver::seed(qlistTimes == &qlistEmpty ? QList<PageAccount>() : qlistAccounts);
            QElapsedTimer objectTimer;
            objectTimer.start();
            boolSound = boolSound && objectDriver.reload();
            const int intBefore = objectDrawn.intDrawn;
            objectDriver.js(QString(strReport) + " benchDrawn();");
            boolSound = boolSound && objectDrawn.wait(intBefore);
            qlistTimes->append(objectTimer.nsecsElapsed() / 1e6);
        }
        boolSound = boolSound && objectDriver.js("Accounts.all().length").toInt() == intAccounts;
        objectDrawn.install();

        // Typing narrows the list step by step; deleting widens it again over all of them.
        objectDriver.click("#filter");
        const QString strTyped = "user12@mail";
        for (int intKey = 0; intKey < 2 * strTyped.size(); intKey += 1) {
            const int intReports = objectDrawn.intDrawn;
            QElapsedTimer objectKey;
            objectKey.start();
            if (intKey < strTyped.size()) {
                QTest::keyClick(objectDriver.input(), strTyped.at(intKey).toLatin1());
            } else {
                QTest::keyClick(objectDriver.input(), Qt::Key_Backspace);
            }
            qlistKeystroke.append(objectDrawn.wait(intReports) ? objectKey.nsecsElapsed() / 1e6 : 1e9);
        }
        boolSound = boolSound && objectDriver.js("ListScreen.view().length").toInt() == intAccounts;

        // Down from the filter into the list, then through it with the list's own keys, near and far.
        QTest::keyClick(objectDriver.input(), Qt::Key_Down);
        for (int intKey : {Qt::Key_Down, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Up,
                           Qt::Key_PageUp, Qt::Key_Home, Qt::Key_Down, Qt::Key_PageDown}) {
            const int intReports = objectDrawn.intDrawn;
            QElapsedTimer objectKey;
            objectKey.start();
            QTest::keyClick(objectDriver.input(), Qt::Key(intKey));
            qlistMove.append(objectDrawn.wait(intReports) ? objectKey.nsecsElapsed() / 1e6 : 1e9);
        }

        // The import screen reads the clipboard, shows what it would add, and adds it on confirmation; the time
        // between the two clicks is the user's.
        PageDriver::setClipboard(strImport);
        objectDriver.click("#nav-transfer");
        const double floatPreview = clickDrawn(objectDriver, objectDrawn, "#import-button");
        const double floatConfirm = clickDrawn(objectDriver, objectDrawn, "#import-confirm");
        qlistImport.append(floatPreview < 0 || floatConfirm < 0 ? 1e9 : floatPreview + floatConfirm);
        boolSound = boolSound && objectDriver.js("Accounts.all().length").toInt() == intAccounts + intImported;
        objectDriver.click("#transfer-back");
    }
    if (!boolSound) {
        qFatal("the page did not list, filter or import as it should");
    }
    const double floatWorst = *std::max_element(qlistKeystroke.cbegin(), qlistKeystroke.cend());
    Display::dispel();
    PreferenceAccount::dispel();
    TestSupport::resetRes();

    QList<BenchResult> qlistResult = {{"10,000 accounts: page loaded, list drawn", median(qlistListed), 500, 1, "ms"},
                                      {"the same page over no accounts", median(qlistEmpty), 0, 0, "ms"},
                                      {"filter keystroke over 10,000, median", median(qlistKeystroke), 100, 1, "ms"},
                                      {"filter keystroke over 10,000, slowest", floatWorst, 0, 0, "ms"},
                                      {"moving key in the list of 10,000, median", median(qlistMove), 100, 1, "ms"},
                                      {"moving key in the list of 10,000, slowest",
                                       *std::max_element(qlistMove.cbegin(), qlistMove.cend()), 0, 0, "ms"},
                                      {"1,000 accounts imported through the page", median(qlistImport), 3000, 1, "ms"}};
    // The same rows from a QtWebKit build, when this one runs another engine.
    if (TestSupport::boolWebengine) {
        const QHash<QString, double> qhashWebkit =
            benchElsewhere(qEnvironmentVariable("TESSALOQUIN_BENCH_WEBKIT"), "page");
        for (BenchResult &objectResult : qlistResult) {
            objectResult.floatWebkit = qhashWebkit.value(objectResult.strName);
        }
    }
    return qlistResult;
}
