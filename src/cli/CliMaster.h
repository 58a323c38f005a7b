#pragma once

#include <QString>

// The master password at the terminal: read once, never echoed, and shown only as the page's fingerprint,
// three coloured symbols that differ when the password differs.
class CliMaster {
public:
    // From the terminal without echo, after a prompt on standard error; or one line of standard input when that
    // is no terminal. False, with the reason, when none was given or it is not UTF-8 text.
    static bool read(QString *strMaster, QString *strError);

    // "Fingerprint: red circle, blue star, green heart", with each symbol drawn in its colour before its name
    // when boolColour is set.
    static QString fingerprint(const QString &strMaster, bool boolColour, bool boolTrueColour);
};
