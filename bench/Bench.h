#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

// One measured figure set against a floor measured in the same run. A figure without a floor (0) is given
// for information only and has no goal.
struct BenchResult {
    QString strName;
    double floatMeasured; // nanoseconds, or bytes, per the unit
    double floatFloor;
    double floatGoal; // the largest acceptable ratio measured / floor
    QString strUnit;
    double floatWebkit = 0; // the same figure measured by a QtWebKit build, when there is one to ask
};

using BenchFunction = QList<BenchResult> (*)();

struct BenchRegistration {
    BenchRegistration(const char *strName, BenchFunction functionBench);
};

// Median over intRounds rounds of the time of one call, each round timing intRepetitions calls.
double benchMedianNanoseconds(const std::function<void()> &functionCall, int intRepetitions, int intRounds = 15);

// The measured figures, by name, of one benchmark of another build folder's benchmark executable (such as a
// QtWebKit build's, set in TESSALOQUIN_BENCH_WEBKIT); empty when there is none or it did not run.
QHash<QString, double> benchElsewhere(const QString &strBuild, const QString &strName);

#define TESSALOQUIN_BENCH(NAME)                                                                                        \
    static QList<BenchResult> NAME();                                                                                  \
    static const BenchRegistration objectRegistration_##NAME(#NAME, NAME);                                             \
    static QList<BenchResult> NAME()
