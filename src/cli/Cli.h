#pragma once

#include "cli/CliAccount.h"

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// The terminal companion of the program: the account list and its passwords from a command line, on the
// same res/ folder beside it and through the same store, derivation and selected-account preference.
// Exit codes: 0 done, 1 failed, 2 the command line was wrong or named no single account.
class Cli {
public:
    QCommandLineParser objectParser;
    QString strCommand;
    QStringList qstringlistArgument;
    QList<CliAccount> qlistAccount;

public:
    // The process entry: reads the command line, makes the application object the command needs (one with a
    // platform only to reach the clipboard) and runs the command.
    static int main(int intArgc, char **charArgv);

    Cli();

    // Parses the arguments (the program's name first); false with the reason on a wrong command line.
    bool parse(const QStringList &qstringlistArgv, QString *strError);
    bool copying() const;
    // Runs the parsed command; the application object exists by then.
    int run();

    static QString helpText();

private:
    // Reads the account list; false, once reported, when it cannot be read.
    bool load();
    // Reads the list and the account that the first argument names; the exit code when either fails, else 0.
    int find(const CliAccount **objectAccount);
    // The one account that ACCOUNT names; null, with the candidates reported, when it names none or several.
    const CliAccount *resolve(const QString &strName);
    // The fields given by options over objectAccount; the exit code 2 with the reason when the form would refuse
    // them, 0 otherwise.
    int apply(CliAccount &objectAccount, const CliAccount *objectStored);
    static void select(const CliAccount &objectAccount);
    void printWarnings(const CliAccount &objectAccount);
    // The exit code 2, once said, when another account of the list has every field of this one; 0 otherwise.
    int refuseSame(const CliAccount &objectAccount);

    int runList();
    int runShow();
    int runPassword();
    int runAdd();
    int runEdit();
    int runRemove();
    int runExport();
    int runImport();
};
