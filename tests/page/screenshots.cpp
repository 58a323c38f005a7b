// Saves a picture of every screen of the page in several languages, as the program shows it:
//   tessaloquin_screenshots [output folder] [language ...]
// Languages without a catalogue show the default texts in that language's direction.
#include "PageDriver.h"

#include "display/Display.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QSettings>
#include <QTest>
#include <QTextStream>

namespace {

const QList<PageAccount> qlistDemo = {
    account("github.com", "ada@example.org", "ada-l", "Work; two-factor codes on the phone", 20, "!?"),
    account("mail.example.org", "ada@example.org", "", "", 15, ""),
    account("bank.example", "ada@example.org", "40118822", "Customer number as user name", 12, "#"),
    account("www.GitHub.com", "ada@example.org", "", "Old account before the move", 15, ""),
    account("shop.example", "ada.lovelace@example.net", "adal", "", 16, "@"),
    account("\u4f8b\u5b50.\u4e2d\u56fd", "ada@example.org", "", "", 15, "!"),
    account("forum.example", "ada@example.org", "analytical", "", 10, "!?@#"),
    account("library.example", "ada.lovelace@example.net", "A. Lovelace", "Card 2231", 15, ""),
    account("travel.example", "ada@example.org", "", "", 18, "?"),
    account("cloud.example", "ada@example.org", "ada", "", 27, "!#")};

class Shooter {
public:
    PageDriver objectDriver;
    QString strFolder;
    QString strLanguage;
    int intShot = 0;

    void settle(int intMs = 250) { QTest::qWait(intMs); }

    // Until the master password's strength is estimated (the estimator loads a moment after the screen shows).
    void estimated(const QString &strLevel) {
        const bool boolShown = QTest::qWaitFor(
            [this, &strLevel]() {
                return objectDriver.js("document.getElementById('master-estimate').className")
                    .toString()
                    .endsWith(strLevel);
            },
            20000);
        if (!boolShown) {
            QTextStream(stderr) << "no " << strLevel << " estimate in " << strLanguage << "\n";
        }
    }

    void shoot(const QString &strName) {
        settle();
        intShot += 1;
        const QString strPath =
            QString("%1/%2/%3-%4.png").arg(strFolder, strLanguage).arg(intShot, 2, 10, QChar('0')).arg(strName);
        QDir().mkpath(QFileInfo(strPath).absolutePath());
        objectDriver.objectDisplay->grab().save(strPath);
        QTextStream(stdout) << strPath << "\n";
    }

    void open(const QList<PageAccount> &qlistAccounts, int intSelected = 0) {
        objectDriver.restart(qlistAccounts);
        QSettings objectLanguage(TestSupport::appPath("res/PreferenceLanguage.ini"), QSettings::IniFormat);
        objectLanguage.setValue("strName", strLanguage);
        objectLanguage.sync();
        if (intSelected > 0) {
            QSettings objectSelected(TestSupport::appPath("res/PreferenceAccountSelected.ini"), QSettings::IniFormat);
            objectSelected.setValue("intIdent", intSelected);
            objectSelected.sync();
        }
        objectDriver.reload();
        // Longer texts must fit without the width of a test window growing.
        objectDriver.objectDisplay->resize(665, 690);
        settle(400);
    }

    void run() {
        intShot = 0;

        // First start: no account yet, the system's language is offered.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        open({});
        shoot("first-start");
        QLocale::setDefault(QLocale::c());

        open(qlistDemo);
        shoot("accounts");
        objectDriver.keys("example.org");
        shoot("accounts-filtered");
        objectDriver.key(Qt::Key_Down);
        objectDriver.key(Qt::Key_Down);
        shoot("accounts-keyboard");

        objectDriver.key(Qt::Key_Escape);
        objectDriver.click("#list .item");
        objectDriver.keys("correct horse battery");
        estimated("weak");
        objectDriver.click("#password-copy");
        shoot("account");
        objectDriver.js("Copying.stop();");
        objectDriver.click("#master-suggest");
        estimated("strong");
        shoot("account-suggested");
        objectDriver.key(Qt::Key_M, Qt::ControlModifier);
        objectDriver.keys("correct horse battery");
        estimated("weak");
        objectDriver.js("document.getElementById('main').scrollTop = 1000;");
        shoot("account-derivation");
        objectDriver.js("Copying.stop();");

        objectDriver.click("#account-edit");
        shoot("edit");
        objectDriver.click("#edit-delete");
        shoot("delete");
        objectDriver.key(Qt::Key_Escape);
        objectDriver.type("edit-note", "x");
        objectDriver.key(Qt::Key_Escape);
        shoot("unsaved");
        objectDriver.click("#dialog-unsaved-discard");

        // An account whose inputs look like another's: the line beside the password.
        objectDriver.key(Qt::Key_F, Qt::ControlModifier);
        objectDriver.keys("www.");
        objectDriver.key(Qt::Key_Return);
        objectDriver.key(Qt::Key_M, Qt::ControlModifier);
        objectDriver.keys("correct horse battery");
        shoot("account-warning");

        // Show on: a master longer than its field, in the script of the language, with the caret in its middle;
        // then the password shown as well.
        objectDriver.click("#master-toggle");
        objectDriver.key(Qt::Key_M, Qt::ControlModifier);
        objectDriver.keys(strLanguage == "ar"
                              ? QString("\u0643\u0644\u0645\u0629 \u0633\u0631 \u0637\u0648\u064a\u0644\u0629 "
                                        "\u062c\u062f\u0627 \u0644\u0644\u062d\u0633\u0627\u0628 2026")
                              : QString("correct horse battery staple, and then some more words"));
        for (int intKey = 0; intKey < 12; intKey += 1) {
            objectDriver.key(Qt::Key_Left);
        }
        shoot("account-shown");
        objectDriver.click("#password-toggle");
        shoot("account-shown-password");

        objectDriver.js("Navigation.show('edit', {objectAccount: null});");
        shoot("new");

        objectDriver.click("#nav-transfer");
        PageDriver::setClipboard("[{\"strWebsite\": \"news.example\", \"strMail\": \"ada@example.org\"},"
                                 " {\"strWebsite\": \"photos.example\", \"strMail\": \"ada@example.org\","
                                 " \"strUser\": \"ada\", \"intLength\": 16, \"strSpecial\": \"!\"},"
                                 " {\"strWebsite\": \"github.com\", \"strMail\": \"ada@example.org\","
                                 " \"strUser\": \"ada-l\", \"strNote\": \"Work; two-factor codes on the phone\","
                                 " \"intLength\": 16, \"strSpecial\": \"!?\"}]");
        objectDriver.click("#import-button");
        shoot("transfer");

        objectDriver.click("#nav-settings");
        shoot("settings");
        objectDriver.key(Qt::Key_F1);
        shoot("shortcuts");
        objectDriver.key(Qt::Key_Escape);
    }
};

} // namespace

int main(int argc, char **argv) {
    QApplication objectApplication(argc, argv);

    QStringList qstringlistArguments = QCoreApplication::arguments().mid(1);
    Shooter objectShooter;
    objectShooter.strFolder =
        qstringlistArguments.isEmpty() ? TestSupport::appPath("png") : qstringlistArguments.takeFirst();
    const QStringList qstringlistLanguages =
        qstringlistArguments.isEmpty() ? QStringList({"en", "de", "ar", "ja"}) : qstringlistArguments;

    objectShooter.objectDriver.start();
    for (const QString &strLanguage : qstringlistLanguages) {
        objectShooter.strLanguage = strLanguage;
        objectShooter.run();
    }
    const QStringList qstringlistErrors = objectShooter.objectDriver.objectPage->qstringlistConsole;
    for (const QString &strError : qstringlistErrors) {
        QTextStream(stderr) << "script error: " << strError << "\n";
    }
    return qstringlistErrors.isEmpty() ? 0 : 1;
}
