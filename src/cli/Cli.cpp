#include "cli/Cli.h"

#include "cli/CliClipboard.h"
#include "cli/CliMaster.h"
#include "cli/CliPlatform.h"
#include "cli/CliStrength.h"
#include "cli/CliTransfer.h"
#include "main/MainPlatform.h"
#include "main/MainUpdate.h"
#include "password/Password.h"
#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountSelected.h"
#include "preference/PreferenceSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSqlError>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <unistd.h>

namespace {

const QString strProgram = QStringLiteral("tessaloquin-cli");
// No account list comes near this; a larger input (a device, a wrong file) is refused before it fills memory.
const qint64 intImportLimit = qint64(64) << 20;

struct Command {
    const char *charName;
    const char *charUsage;
    int intMin;
    int intMax;
    QStringList qstringlistOption;
};

const QStringList qstringlistFields = {"website", "mail", "user", "note", "length", "special"};

const QList<Command> &commands() {
    static const QList<Command> qlistCommand = {
        {"list", "list [TEXT] [--json]", 0, 1, {"json"}},
        {"show", "show ACCOUNT", 1, 1, {}},
        {"password", "password ACCOUNT [--copy] [--quiet]", 1, 1, {"copy", "quiet"}},
        {"add", "add --website TEXT [--mail TEXT] [--user TEXT] [--note TEXT] [--length N] [--special CHARACTERS]", 0,
         0, qstringlistFields},
        {"edit", "edit ACCOUNT [--website TEXT] [--mail TEXT] ...", 1, 1, qstringlistFields},
        {"remove", "remove ACCOUNT [--yes]", 1, 1, {"yes"}},
        {"export", "export [FILE]", 0, 1, {}},
        {"import", "import FILE|-", 1, 1, {}},
    };
    return qlistCommand;
}

// Set once standard output has been closed at the end; nothing may touch it after that.
bool boolOutClosed = false;

// Whatever fails here is found by finishOut, which every command's end passes through.
void out(const QString &strText) {
    const QByteArray byteText = strText.toUtf8();
    std::fwrite(byteText.constData(), 1, size_t(byteText.size()), stdout);
}

void err(const QString &strText) {
    if (!boolOutClosed) {
        std::fflush(stdout);
    }
    std::fputs(strText.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

int fail(int intCode, const QString &strMessage) {
    err(strProgram + ": " + strMessage + "\n");
    return intCode;
}

// The core reports its failures on standard error for whoever looks after an installation. Here every command
// checks its own results and says in one line what failed, so those would only repeat it in other words.
void handleMessage(QtMsgType enumType, const QMessageLogContext &, const QString &strMessage) {
    if (enumType == QtFatalMsg) {
        err(strProgram + ": " + strMessage + "\n");
    }
}

QString listLine(const CliAccount &objectAccount) {
    return QString::number(objectAccount.intIdent) + '\t' + CliAccount::printable(objectAccount.strWebsite) + '\t' +
           CliAccount::printable(objectAccount.strMail) + '\t' + CliAccount::printable(objectAccount.strUser);
}

// A text on lines of at most 80 columns, broken at spaces; the lines after the first are indented.
QString wrapped(const QString &strText, int intIndent) {
    const int intWidth = 80;
    QString strResult;
    QString strLine;
    for (const QString &strWord : strText.split(' ')) {
        if (!strLine.trimmed().isEmpty() && strLine.size() + 1 + strWord.size() > intWidth) {
            strResult += strLine + '\n';
            strLine = QString(intIndent, ' ') + strWord;
        } else {
            strLine += (strLine.isEmpty() ? QString() : QString(' ')) + strWord;
        }
    }
    return strResult + strLine + '\n';
}

// A sentence continued after "warning: ", in this program's voice.
QString lowered(const QString &strText) {
    return strText.left(1).toLower() + strText.mid(1);
}

int distance(const QString &strA, const QString &strB) {
    QVector<int> qvectorRow(strB.size() + 1);
    for (int intB = 0; intB <= strB.size(); intB += 1) {
        qvectorRow[intB] = intB;
    }
    for (int intA = 1; intA <= strA.size(); intA += 1) {
        int intDiagonal = qvectorRow[0];
        qvectorRow[0] = intA;
        for (int intB = 1; intB <= strB.size(); intB += 1) {
            const int intAbove = qvectorRow[intB];
            qvectorRow[intB] = std::min({intAbove + 1, qvectorRow[intB - 1] + 1,
                                         intDiagonal + (strA.at(intA - 1) == strB.at(intB - 1) ? 0 : 1)});
            intDiagonal = intAbove;
        }
    }
    return qvectorRow[strB.size()];
}

// The word a mistyped one most likely meant: the nearest within two changes, else the only one it begins.
QString nearest(const QString &strTyped, const QStringList &qstringlistWord) {
    QString strBest;
    int intBest = std::min(3, int(strTyped.size()));
    QStringList qstringlistBegun;
    for (const QString &strWord : qstringlistWord) {
        const int intDistance = distance(strTyped.toLower(), strWord);
        if (intDistance < intBest) {
            intBest = intDistance;
            strBest = strWord;
        }
        if (strTyped.size() > 1 && strWord.startsWith(strTyped.toLower())) {
            qstringlistBegun.append(strWord);
        }
    }
    return !strBest.isEmpty() || qstringlistBegun.size() != 1 ? strBest : qstringlistBegun.first();
}

// Qt's parser names an unknown option without its dashes: the user's own spelling says which one it was, also
// inside a group of short options ("-platform").
QString typed(const QStringList &qstringlistArgv, const QString &strName) {
    const QStringList qstringlistGiven = qstringlistArgv.mid(1, qstringlistArgv.indexOf("--", 1) - 1);
    for (const QString &strArgument : qstringlistGiven) {
        const QString strOption = strArgument.section('=', 0, 0);
        if (strOption == "--" + strName || strOption == "-" + strName) {
            return strOption;
        }
    }
    for (const QString &strArgument : qstringlistGiven) {
        if (strArgument.startsWith('-') && !strArgument.startsWith("--") && strArgument.contains(strName)) {
            return strArgument.section('=', 0, 0);
        }
    }
    return (strName.size() == 1 ? "-" : "--") + strName;
}

bool sameMarkers(const QString &strA, const QString &strB) {
    for (const QChar charMarker : CliAccount::strMarkers) {
        if (strA.contains(charMarker) != strB.contains(charMarker)) {
            return false;
        }
    }
    return true;
}

// Standard output written out and closed, or the exit code 1 with what failed: a full disk or a closed pipe
// behind it leaves no "done" standing.
int finishOut(int intCode) {
    bool boolWritten = std::fflush(stdout) == 0 && !std::ferror(stdout);
    int intError = errno;
    boolOutClosed = true;
    if (std::fclose(stdout) != 0 && boolWritten) {
        boolWritten = false;
        intError = errno;
    }
    // After a failure already said, one more line would only repeat it.
    if (!boolWritten && intCode == 0) {
        return fail(1, QString("cannot write to standard output: %1; what it shows is incomplete")
                           .arg(QString::fromLocal8Bit(std::strerror(intError))));
    }
    return intCode;
}

bool isUtf8(const QByteArray &byteText) {
    QString strText;
    return CliPlatform::decodeUtf8(byteText, &strText);
}

// The first argument that is not UTF-8 text, named as the user wrote it: the option it belongs to, or its
// place; an empty text when every one is UTF-8.
QString notUtf8(int intArgc, char **charArgv) {
    for (int intIndex = 1; intIndex < intArgc; intIndex += 1) {
        const QByteArray byteArgument(charArgv[intIndex]);
        if (isUtf8(byteArgument)) {
            continue;
        }
        const QByteArray bytePrevious = intIndex > 1 ? QByteArray(charArgv[intIndex - 1]) : QByteArray();
        if (byteArgument.startsWith("-")) {
            const QByteArray byteOption = byteArgument.left(byteArgument.indexOf('='));
            return isUtf8(byteOption) ? "the value of " + QString::fromUtf8(byteOption) : QString("an option");
        }
        if (bytePrevious.startsWith("--") && !bytePrevious.contains('=') &&
            qstringlistFields.contains(QString::fromUtf8(bytePrevious.mid(2)))) {
            return "the value of " + QString::fromUtf8(bytePrevious);
        }
        return QString("argument %1").arg(intIndex);
    }
    return QString();
}

// Whether the selected-account preference holds the account now: a write that could not be stored reads back
// as what the file held before.
bool holdsSelection(const CliAccount &objectAccount) {
    PreferenceAccountSelected *objectSelected = PreferenceAccountSelected::obtain();
    return objectSelected->getIntIdent() == objectAccount.intIdent &&
           objectSelected->getStrWebsite() == objectAccount.strWebsite &&
           objectSelected->getStrMail() == objectAccount.strMail &&
           objectSelected->getStrUser() == objectAccount.strUser &&
           objectSelected->getStrNote() == objectAccount.strNote &&
           objectSelected->getIntLength() == objectAccount.intLength &&
           objectSelected->getStrSpecial() == objectAccount.strSpecial;
}

// The store says how its last change went; a change that went through but found no row names an account that
// another program has deleted meanwhile.
bool failed(const QSqlQuery &objectQuery, const QString &strWhat, int *intCode) {
    const PreferenceAccount *objectStore = PreferenceAccount::obtain();
    if (!objectStore->boolWritten) {
        *intCode = fail(1, strWhat + ": " + objectStore->strFailure);
        return true;
    }
    if (objectQuery.numRowsAffected() != 1) {
        *intCode = fail(1, strWhat + ": the account is no longer in the list");
        return true;
    }
    return false;
}

} // namespace

int Cli::main(int intArgc, char **charArgv) {
    qInstallMessageHandler(handleMessage);
    // The program's identity, with which the data in res/ was written.
    MainPlatform::setIdentity();

    // Bytes of another encoding would be stored as replacement characters without a word.
    const QString strNotUtf8 = notUtf8(intArgc, charArgv);
    if (!strNotUtf8.isEmpty()) {
        return fail(2, strNotUtf8 + " is not UTF-8 text; set the terminal to UTF-8");
    }
    QStringList qstringlistArgv;
    for (int intIndex = 0; intIndex < intArgc; intIndex += 1) {
        qstringlistArgv.append(QString::fromLocal8Bit(charArgv[intIndex]));
    }
    Cli objectCli;
    QString strError;
    if (!objectCli.parse(qstringlistArgv, &strError)) {
        // A guess at what was meant says enough.
        return fail(2, strError.endsWith('?') ? strError : strError + " (see " + strProgram + " --help)");
    }
    if (objectCli.objectParser.isSet("help")) {
        out(helpText());
        return finishOut(0);
    }
    if (objectCli.objectParser.isSet("version")) {
        out(QCoreApplication::applicationName() + " " + QCoreApplication::applicationVersion() + "\n");
        return finishOut(0);
    }
    if (objectCli.copying() && !CliClipboard::available(&strError)) {
        return fail(1, strError);
    }

    // The process's own arguments never reach Qt: no -platform or -style switch changes what runs. A platform,
    // which needs a display, is started only to reach the clipboard, so that everything else works over SSH.
    static int intQtArgc = 1;
    static char *charQtArgv[] = {charArgv[0], nullptr};
    std::unique_ptr<QCoreApplication> objectApplication(
        objectCli.copying() ? new QGuiApplication(intQtArgc, charQtArgv) : new QCoreApplication(intQtArgc, charQtArgv));

    // As at the program's start: the data in res/ kept its owner's alone, then the upgrade, before anything reads
    // the account list.
    MainPlatform::protectData();
    MainUpdate::run();
    const int intCode = objectCli.run();
    PreferenceAccount::dispel();
    return finishOut(intCode);
}

Cli::Cli() {
    // Described in helpText, where each command's options stand beside the command.
    objectParser.addOptions({
        {{"h", "help"}, QString()},
        {"version", QString()},
        {"json", QString()},
        {"copy", QString()},
        {{"q", "quiet"}, QString()},
        {{"y", "yes"}, QString()},
        {"website", QString(), "TEXT"},
        {"mail", QString(), "TEXT"},
        {"user", QString(), "TEXT"},
        {"note", QString(), "TEXT"},
        {"length", QString(), "N"},
        {"special", QString(), "CHARACTERS"},
    });
}

bool Cli::parse(const QStringList &qstringlistArgv, QString *strError) {
    if (!objectParser.parse(qstringlistArgv)) {
        const QStringList qstringlistUnknown = objectParser.unknownOptionNames();
        if (qstringlistUnknown.isEmpty()) {
            // Qt's other complaints (a value missing or not wanted) in this program's voice: lower case, the
            // option as typed without quotes, no full stop.
            *strError = lowered(objectParser.errorText()).remove(QRegularExpression("\\.$"));
            strError->replace(QRegularExpression("'(-[^']*)'"), "\\1");
            return false;
        }
        const QString strTyped = typed(qstringlistArgv, qstringlistUnknown.first());
        const QStringList qstringlistOption =
            QStringList({"help", "version", "json", "copy", "yes"}) + qstringlistFields;
        const QString strNear = nearest(QString(strTyped).remove(QRegularExpression("^-+")), qstringlistOption);
        *strError =
            "unknown option " + strTyped + (strNear.isEmpty() ? QString() : "; did you mean --" + strNear + "?");
        return false;
    }
    if (objectParser.isSet("help") || objectParser.isSet("version")) {
        return true;
    }
    qstringlistArgument = objectParser.positionalArguments();
    if (qstringlistArgument.isEmpty()) {
        *strError = "no command given";
        return false;
    }
    strCommand = qstringlistArgument.takeFirst();
    for (const Command &objectCommand : commands()) {
        if (strCommand != objectCommand.charName) {
            continue;
        }
        if (qstringlistArgument.size() < objectCommand.intMin || qstringlistArgument.size() > objectCommand.intMax) {
            *strError = "usage: " + strProgram + " " + objectCommand.charUsage;
            return false;
        }
        for (const QString &strOption : QStringList({"json", "copy", "quiet", "yes"}) + qstringlistFields) {
            if (objectParser.isSet(strOption) && !objectCommand.qstringlistOption.contains(strOption)) {
                *strError = QString("--%1 does not go with %2").arg(strOption, strCommand);
                return false;
            }
        }
        return true;
    }
    QStringList qstringlistCommand;
    for (const Command &objectCommand : commands()) {
        qstringlistCommand.append(objectCommand.charName);
    }
    const QString strNear = nearest(strCommand, qstringlistCommand);
    *strError = QString("unknown command '%1'").arg(strCommand) +
                (strNear.isEmpty() ? QString() : QString("; did you mean %1?").arg(strNear));
    return false;
}

bool Cli::copying() const {
    return strCommand == "password" && objectParser.isSet("copy");
}

int Cli::run() {
    const QList<QPair<QString, int (Cli::*)()>> qlistRun = {
        {"list", &Cli::runList},     {"show", &Cli::runShow},     {"password", &Cli::runPassword},
        {"add", &Cli::runAdd},       {"edit", &Cli::runEdit},     {"remove", &Cli::runRemove},
        {"export", &Cli::runExport}, {"import", &Cli::runImport},
    };
    for (const auto &qpairRun : qlistRun) {
        if (qpairRun.first == strCommand) {
            return (this->*qpairRun.second)();
        }
    }
    return 2;
}

QString Cli::helpText() {
    return "Usage: tessaloquin-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
           "\n"
           "The Tessaloquin account list and its passwords from a terminal. It works on the res/ folder\n"
           "beside it, the same data the program beside it shows, and gives the same passwords.\n"
           "\n"
           "Commands:\n"
           "  list [TEXT]         Accounts sorted by website, with TEXT only those whose website, mail,\n"
           "                      user name or note contain it (case does not matter): one line each,\n"
           "                      ident, website, mail and user name, separated by tabs.\n"
           "  show ACCOUNT        Every field, the exact texts that enter the password, and warnings\n"
           "                      about accounts that look alike.\n"
           "  password ACCOUNT    Asks for the master password (without echo; from standard input when\n"
           "                      that is no terminal), shows its fingerprint and how long a thief\n"
           "                      would need to find it, and prints the password.\n"
           "                      Stores the account as the selected one.\n"
           "  add                 Adds an account; --website is needed.\n"
           "  edit ACCOUNT        Changes the fields given as options.\n"
           "  remove ACCOUNT      Deletes an account; asks first, and deletes nothing without --yes\n"
           "                      when standard input is no terminal.\n"
           "  export [FILE]       Writes the account list as JSON text, as the window exports it, to FILE\n"
           "                      or standard output. Passwords are never part of it.\n"
           "  import FILE|-       Adds the accounts of such a text (from standard input with -) that are\n"
           "                      not in the list yet: all of them, or nothing when any entry is invalid.\n"
           "\n"
           "ACCOUNT is an ident (see list), an exact website, or a text that matches exactly one account.\n"
           "\n"
           "Options:\n"
           "  --json              list: prints the accounts as JSON text, as export does.\n"
           "  --copy              password: copies the password instead of printing it, and clears the\n"
           "                      clipboard again after 20 seconds or on Ctrl+C.\n"
           "  -q, --quiet         password: leaves out how long a thief would need to find the master\n"
           "                      password (one RTX 4090-class card, 5e10 SHA-1 guesses a second).\n"
           "  -y, --yes           remove: does not ask first.\n"
           "  --website TEXT      add, edit: the website or service (not empty).\n"
           "  --mail TEXT         add, edit: the mail address.\n"
           "  --user TEXT         add, edit: the user name.\n"
           "  --note TEXT         add, edit: a note.\n"
           "  --length N          add, edit: the password length, 4 to 27 (new accounts: 15).\n"
           "  --special CHARS     add, edit: the special characters the password may contain, any of\n"
           "                      ! ? @ # (\"\" for none).\n"
           "  -h, --help          Shows this help.\n"
           "  --version           Shows the version.\n"
           "\n"
           "Exit status: 0 done, 1 failed, 2 wrong command line or no single account named.\n";
}

bool Cli::load() {
    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    QString strError;
    if (!objectStore->strDamage.isEmpty()) {
        fail(1, QString("%1 is %2. It was left unchanged: keep a copy of it, it may be the last copy of the list. "
                        "To go on, move it away and import an export of the accounts.")
                    .arg(objectStore->objectDatabase.databaseName(), objectStore->strDamage == "unreadable"
                                                                         ? "damaged or no database"
                                                                         : "a database without an account table"));
        return false;
    }
    if (!objectStore->objectDatabase.isOpen()) {
        strError = objectStore->objectDatabase.lastError().text().simplified();
    } else {
        qlistAccount = CliAccount::readAll(&strError);
    }
    if (!strError.isEmpty()) {
        fail(1,
             QString("cannot read the account list %1: %2").arg(objectStore->objectDatabase.databaseName(), strError));
        return false;
    }
    return true;
}

int Cli::find(const CliAccount **objectAccount) {
    if (!load()) {
        return 1;
    }
    *objectAccount = resolve(qstringlistArgument.at(0));
    return *objectAccount == nullptr ? 2 : 0;
}

const CliAccount *Cli::resolve(const QString &strName) {
    bool boolNumber = !strName.isEmpty();
    for (const QChar charUnit : strName) {
        boolNumber = boolNumber && charUnit >= '0' && charUnit <= '9';
    }
    QList<const CliAccount *> qlistExact;
    QList<const CliAccount *> qlistMatch;
    for (const CliAccount &objectAccount : qlistAccount) {
        if (boolNumber && QString::number(objectAccount.intIdent) == strName) {
            return &objectAccount;
        }
        if (objectAccount.strWebsite == strName) {
            qlistExact.append(&objectAccount);
        }
        if (objectAccount.matches(strName)) {
            qlistMatch.append(&objectAccount);
        }
    }
    const QList<const CliAccount *> &qlistCandidate = qlistExact.isEmpty() ? qlistMatch : qlistExact;
    if (qlistCandidate.size() == 1) {
        return qlistCandidate.first();
    }
    if (qlistCandidate.isEmpty()) {
        fail(2, QString("no account matches %1").arg(CliAccount::quoted(strName)));
        return nullptr;
    }
    QList<CliAccount> qlistSorted;
    for (const CliAccount *objectAccount : qlistCandidate) {
        qlistSorted.append(*objectAccount);
    }
    CliAccount::sort(qlistSorted);
    QString strLines;
    for (const CliAccount &objectAccount : qlistSorted) {
        strLines += listLine(objectAccount) + '\n';
    }
    fail(2, QString("%1 matches %2 accounts; name one by its ident:\n%3")
                .arg(CliAccount::quoted(strName))
                .arg(qlistSorted.size())
                .arg(strLines.chopped(1)));
    return nullptr;
}

int Cli::apply(CliAccount &objectAccount, const CliAccount *objectStored) {
    if (objectParser.isSet("website")) {
        objectAccount.strWebsite = objectParser.value("website");
    }
    if (objectParser.isSet("mail")) {
        objectAccount.strMail = objectParser.value("mail");
    }
    if (objectParser.isSet("user")) {
        objectAccount.strUser = objectParser.value("user");
    }
    if (objectParser.isSet("note")) {
        objectAccount.strNote = objectParser.value("note");
    }
    if (objectParser.isSet("length")) {
        bool boolNumber = false;
        objectAccount.intLength = objectParser.value("length").toInt(&boolNumber);
        // A stored length outside the offered range (older data) may stay as it is, as in the form.
        const bool boolKept = objectStored != nullptr && objectAccount.intLength == objectStored->intLength;
        if (!boolNumber || (!boolKept && (objectAccount.intLength < CliAccount::intLengthMin ||
                                          objectAccount.intLength > CliAccount::intLengthMax))) {
            return fail(2, QString("--length takes a whole number from %1 to %2")
                               .arg(CliAccount::intLengthMin)
                               .arg(CliAccount::intLengthMax));
        }
    }
    if (objectParser.isSet("special")) {
        const QString strGiven = objectParser.value("special");
        if (!CliAccount::isMarkers(strGiven)) {
            return fail(2, "--special takes only the characters ! ? @ # (or \"\" for none)");
        }
        // Each once, in the form's order; unchanged markers keep the stored text as it was, as in the form.
        QString strSpecial;
        for (const QChar charMarker : CliAccount::strMarkers) {
            strSpecial += strGiven.contains(charMarker) ? QString(charMarker) : QString();
        }
        objectAccount.strSpecial = objectStored != nullptr && sameMarkers(strSpecial, objectStored->strSpecial)
                                       ? objectStored->strSpecial
                                       : strSpecial;
    }
    if (CliAccount::trimmed(objectAccount.strWebsite).isEmpty()) {
        return fail(2, "the website must not be empty (--website)");
    }
    return 0;
}

void Cli::select(const CliAccount &objectAccount) {
    PreferenceAccountSelected *objectSelected = PreferenceAccountSelected::obtain();
    // The page opens the selected account at its next start: a selection that was not stored is said.
    const auto warn = qScopeGuard([&objectAccount]() {
        if (!holdsSelection(objectAccount)) {
            err(QString("Warning: the account could not be stored as the selected one in %1 (is the disk full?).\n")
                    .arg(PreferenceSettings::path("PreferenceAccountSelected.ini")));
        }
    });
    objectSelected->setIntIdent(objectAccount.intIdent);
    objectSelected->setStrWebsite(objectAccount.strWebsite);
    objectSelected->setStrMail(objectAccount.strMail);
    objectSelected->setStrUser(objectAccount.strUser);
    objectSelected->setStrNote(objectAccount.strNote);
    objectSelected->setIntLength(objectAccount.intLength);
    objectSelected->setStrSpecial(objectAccount.strSpecial);
}

void Cli::printWarnings(const CliAccount &objectAccount) {
    for (const QString &strWarning : objectAccount.warnings(qlistAccount)) {
        err(wrapped(strProgram + ": warning: " + lowered(strWarning), 4));
    }
}

int Cli::refuseSame(const CliAccount &objectAccount) {
    for (const CliAccount &objectListed : qlistAccount) {
        if (objectListed.intIdent != objectAccount.intIdent && objectListed.sameFields(objectAccount)) {
            return fail(
                2,
                QString("an account with exactly these fields is already in the list: %1").arg(objectListed.intIdent));
        }
    }
    return 0;
}

int Cli::runList() {
    if (!load()) {
        return 1;
    }
    QList<CliAccount> qlistShown;
    for (const CliAccount &objectAccount : qlistAccount) {
        if (objectAccount.matches(qstringlistArgument.value(0))) {
            qlistShown.append(objectAccount);
        }
    }
    CliAccount::sort(qlistShown);
    if (objectParser.isSet("json")) {
        out(CliTransfer::exportText(qlistShown) + "\n");
        return 0;
    }
    for (const CliAccount &objectAccount : qlistShown) {
        out(listLine(objectAccount) + "\n");
    }
    return 0;
}

int Cli::runShow() {
    const CliAccount *objectAccount = nullptr;
    if (const int intFailed = find(&objectAccount)) {
        return intFailed;
    }
    QStringList qstringlistMarker;
    for (const QChar charMarker : CliAccount::strMarkers) {
        if (objectAccount->strSpecial.contains(charMarker)) {
            qstringlistMarker.append(charMarker);
        }
    }
    QStringList qstringlistNote;
    for (const QString &strLine : objectAccount->strNote.split('\n')) {
        qstringlistNote.append(CliAccount::printable(strLine));
    }
    const auto exact = [](const QString &strText) {
        return strText.isEmpty() ? QString("(empty)") : CliAccount::quoted(strText);
    };
    QString strText =
        QString("Ident:              %1\n"
                "Website:            %2\n"
                "Mail:               %3\n"
                "User name:          %4\n"
                "Note:               %5\n"
                "Length:             %6\n"
                "Special characters: %7\n"
                "\n"
                "What makes this password: exactly these texts, with the length and the special\n"
                "characters. Any change, even of case or a space, gives another password.\n"
                "  Website text:     %8\n"
                "  Mail text:        %9\n")
            .arg(QString::number(objectAccount->intIdent), CliAccount::printable(objectAccount->strWebsite),
                 CliAccount::printable(objectAccount->strMail), CliAccount::printable(objectAccount->strUser),
                 qstringlistNote.join("\n                    "), QString::number(objectAccount->intLength),
                 qstringlistMarker.isEmpty() ? QString("none") : qstringlistMarker.join(' '),
                 exact(objectAccount->strWebsite), exact(objectAccount->strMail));
    for (const QString &strWarning : objectAccount->warnings(qlistAccount)) {
        strText += wrapped("  Warning: " + strWarning, 11);
    }
    out(strText);
    return 0;
}

int Cli::runPassword() {
    const CliAccount *objectFound = nullptr;
    if (const int intFailed = find(&objectFound)) {
        return intFailed;
    }
    const CliAccount objectAccount = *objectFound;

    QString strMaster;
    QString strError;
    if (!CliMaster::read(&strMaster, &strError)) {
        return fail(1, strError);
    }
    bool boolTrueColour = false;
    const bool boolColour = CliPlatform::colourTerminal(&boolTrueColour);
    err(CliMaster::fingerprint(strMaster, boolColour, boolTrueColour) + "\n");
    if (!objectParser.isSet("quiet")) {
        const QString strStrength = CliStrength::describe(strMaster);
        err((strStrength.isEmpty() ? "Master password: its strength cannot be estimated (assets/ beside the "
                                     "program is missing or damaged)."
                                   : strStrength) +
            "\n");
    }
    QString strPassword = Password::obtain()->update(strMaster, objectAccount.strWebsite, objectAccount.strMail,
                                                     objectAccount.intLength, objectAccount.strSpecial);
    strMaster.fill(QChar(0));

    // As the page does on opening an account.
    select(objectAccount);

    int intCode = 0;
    if (!copying()) {
        out(strPassword + "\n");
    } else if (strPassword.isEmpty()) {
        intCode = fail(1, "the password of this account is empty (its length is 0): nothing to copy");
    } else {
        CliClipboard objectClipboard;
        intCode = objectClipboard.run(strPassword);
    }
    strPassword.fill(QChar(0));
    return intCode;
}

int Cli::runAdd() {
    if (!load()) {
        return 1;
    }
    CliAccount objectAccount;
    objectAccount.strWebsite = objectAccount.strMail = objectAccount.strUser = objectAccount.strNote =
        objectAccount.strSpecial = QString("");
    const int intInvalid = apply(objectAccount, nullptr);
    if (intInvalid != 0) {
        return intInvalid;
    }
    if (const int intSame = refuseSame(objectAccount)) {
        return intSame;
    }

    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    objectAccount.put();
    objectStore->create();
    if (!objectStore->boolWritten) {
        return fail(1, "the account could not be added: " + objectStore->strFailure);
    }
    objectAccount.intIdent = objectStore->objectCreate.lastInsertId().toInt();
    select(objectAccount);
    out(QString("Account added: %1.\n").arg(objectAccount.intIdent));
    printWarnings(objectAccount);
    return 0;
}

int Cli::runEdit() {
    const CliAccount *objectStored = nullptr;
    if (const int intFailed = find(&objectStored)) {
        return intFailed;
    }
    bool boolGiven = false;
    for (const QString &strField : qstringlistFields) {
        boolGiven = boolGiven || objectParser.isSet(strField);
    }
    if (!boolGiven) {
        return fail(2, "nothing to change: give --website, --mail, --user, --note, --length or --special");
    }
    CliAccount objectAccount = *objectStored;
    const int intInvalid = apply(objectAccount, objectStored);
    if (intInvalid != 0) {
        return intInvalid;
    }
    if (const int intSame = refuseSame(objectAccount)) {
        return intSame;
    }

    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    objectAccount.put();
    objectStore->save();
    int intCode = 0;
    if (failed(objectStore->objectSave, "the account could not be saved", &intCode)) {
        return intCode;
    }
    select(objectAccount);
    out(QString("Account saved: %1.\n").arg(objectAccount.intIdent));
    if (objectAccount.strWebsite != objectStored->strWebsite || objectAccount.strMail != objectStored->strMail ||
        objectAccount.intLength != objectStored->intLength ||
        !sameMarkers(objectAccount.strSpecial, objectStored->strSpecial)) {
        err(wrapped(strProgram +
                        ": warning: its password has changed with its website, mail, length or special characters",
                    4));
    }
    for (CliAccount &objectListed : qlistAccount) {
        if (objectListed.intIdent == objectAccount.intIdent) {
            objectListed = objectAccount;
        }
    }
    printWarnings(objectAccount);
    return 0;
}

int Cli::runRemove() {
    const CliAccount *objectAccount = nullptr;
    if (const int intFailed = find(&objectAccount)) {
        return intFailed;
    }
    const int intIdent = objectAccount->intIdent;
    // Without --yes it asks; where nobody can answer (a pipe, a file, a script) it deletes nothing.
    if (!objectParser.isSet("yes") && !CliPlatform::isTerminal(STDIN_FILENO)) {
        return fail(2, "remove asks first, and standard input is no terminal: nothing was deleted (give --yes)");
    }
    if (!objectParser.isSet("yes")) {
        err(QString("Delete %1 (%2)? Its password is not lost: adding the same account again gives it back. [y/N] ")
                .arg(CliAccount::printable(objectAccount->strWebsite), CliAccount::printable(objectAccount->strMail)));
        QByteArray byteAnswer;
        CliPlatform::readLine(false, 1024, &byteAnswer);
        const QString strAnswer = QString::fromUtf8(byteAnswer).trimmed().toLower();
        if (strAnswer != "y" && strAnswer != "yes") {
            return fail(1, "nothing was deleted");
        }
    }

    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    objectStore->intIdent = intIdent;
    objectStore->remove();
    int intCode = 0;
    if (failed(objectStore->objectRemove, "the account could not be deleted", &intCode)) {
        return intCode;
    }
    // As the page does: a deleted account is no longer the selected one.
    if (PreferenceAccountSelected::obtain()->getIntIdent() == intIdent) {
        PreferenceAccountSelected::obtain()->clear();
    }
    out(QString("Account deleted: %1.\n").arg(intIdent));
    return 0;
}

int Cli::runExport() {
    if (!load()) {
        return 1;
    }
    const QByteArray byteText = (CliTransfer::exportText(qlistAccount) + "\n").toUtf8();
    const QString strFile = qstringlistArgument.value(0, "-");
    const QFileInfo objectTarget(strFile);
    if (strFile == "-") {
        out(QString::fromUtf8(byteText));
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            return fail(1, QString("cannot write to standard output: %1. The export is incomplete.")
                               .arg(QString::fromLocal8Bit(std::strerror(errno))));
        }
    } else if (objectTarget.exists() && !objectTarget.isFile()) {
        // A device or a pipe (/dev/stdout, a named pipe) is written as it is: a file renamed into its place would
        // replace it.
        QFile objectFile(strFile);
        if (!objectFile.open(QIODevice::WriteOnly) || objectFile.write(byteText) != byteText.size() ||
            !objectFile.flush()) {
            return fail(
                1, QString("cannot write %1: %2. The export is incomplete.").arg(strFile, objectFile.errorString()));
        }
        objectFile.close();
        if (objectFile.error() != QFileDevice::NoError) {
            return fail(
                1, QString("cannot write %1: %2. The export is incomplete.").arg(strFile, objectFile.errorString()));
        }
    } else {
        // Written whole beside it and renamed into place, or not at all, and readable by its owner only, like the
        // data it comes from. Unbuffered: a write that Qt's buffer takes and its last flush loses (a full disk)
        // would be renamed into place all the same, as an empty or cut-off file.
        QSaveFile objectFile(strFile);
        if (!objectFile.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
            !objectFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            objectFile.write(byteText) != byteText.size() || !objectFile.commit()) {
            return fail(1, QString("cannot write %1: %2. No export was written; a file of that name is as it was.")
                               .arg(strFile, objectFile.errorString()));
        }
    }
    err(QString("Accounts exported: %1.\n").arg(qlistAccount.size()));
    return 0;
}

int Cli::runImport() {
    if (!load()) {
        return 1;
    }
    const QString strFile = qstringlistArgument.at(0);
    const QString strSource = strFile == "-" ? QString("standard input") : strFile;
    QFile objectFile(strFile);
    const bool boolOpen =
        strFile == "-" ? objectFile.open(stdin, QIODevice::ReadOnly) : objectFile.open(QIODevice::ReadOnly);
    // In pieces until the end: a pipe gives what has arrived so far at each read.
    QByteArray byteText;
    while (boolOpen && byteText.size() <= intImportLimit) {
        const QByteArray bytePiece = objectFile.read(1 << 16);
        if (bytePiece.isEmpty()) {
            break;
        }
        byteText += bytePiece;
    }
    if (!boolOpen || objectFile.error() != QFileDevice::NoError) {
        return fail(1, QString("cannot read %1: %2").arg(strSource, objectFile.errorString()));
    }
    if (byteText.size() > intImportLimit) {
        return fail(1, QString("%1 is larger than any account list (64 MiB). Nothing was changed.").arg(strSource));
    }
    // Editors on other systems may put a byte order mark at the start of a file.
    if (byteText.startsWith("\xef\xbb\xbf")) {
        byteText.remove(0, 3);
    }
    QString strText;
    if (!CliPlatform::decodeUtf8(byteText, &strText)) {
        return fail(1, QString("%1 is not UTF-8 text. Nothing was changed.").arg(strSource));
    }

    CliTransfer objectTransfer;
    objectTransfer.parse(strText);
    if (!objectTransfer.strReason.isEmpty()) {
        return fail(
            1,
            QString("%1 holds no account list (%2). Nothing was changed.").arg(strSource, objectTransfer.reasonText()));
    }
    int intSkipped = 0;
    const QList<CliAccount> qlistAdd = objectTransfer.split(qlistAccount, &intSkipped);
    QString strError;
    if (!qlistAdd.isEmpty() && !CliTransfer::write(qlistAdd, &strError)) {
        return fail(1, QString("the accounts could not be added (%1). Nothing was changed.").arg(strError));
    }
    out(QString("Accounts added: %1. Already in the list, skipped: %2.\n").arg(qlistAdd.size()).arg(intSkipped));
    return 0;
}
