#pragma once

#include <QString>

// The master password's strength at the terminal, from the page's own estimate script and its vendored
// estimator run in a script engine, so that the terminal and the window never disagree.
class CliStrength {
public:
    // "Master password: Weak. With one leaked password ... It is one of the most used passwords." in English;
    // an empty text when the scripts or the English catalogue beside the program cannot be read or run.
    static QString describe(const QString &strMaster);
};
