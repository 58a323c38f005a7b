#include "Bench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

struct Entry {
    QString strName;
    BenchFunction functionBench;
};

QVector<Entry> &entries() {
    static QVector<Entry> qvectorEntries;
    return qvectorEntries;
}

// Whole numbers from 100 up; below, enough decimals to show small figures such as a bridge call's microseconds.
QString figure(double floatValue) {
    return QString::number(floatValue, 'f', floatValue >= 100 ? 0 : floatValue >= 10 ? 1 : 3);
}

} // namespace

BenchRegistration::BenchRegistration(const char *strName, BenchFunction functionBench) {
    entries().append({QString::fromUtf8(strName), functionBench});
}

double benchMedianNanoseconds(const std::function<void()> &functionCall, int intRepetitions, int intRounds) {
    QVector<double> qvectorRounds;
    functionCall(); // warm-up
    for (int intRound = 0; intRound < intRounds; intRound += 1) {
        QElapsedTimer objectTimer;
        objectTimer.start();
        for (int intRepetition = 0; intRepetition < intRepetitions; intRepetition += 1) {
            functionCall();
        }
        qvectorRounds.append(double(objectTimer.nsecsElapsed()) / intRepetitions);
    }
    std::sort(qvectorRounds.begin(), qvectorRounds.end());
    return qvectorRounds.at(qvectorRounds.size() / 2);
}

// Usage: tessaloquin_bench [name...]   (no name: every benchmark)
int main(int intArgc, char **charArgv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication objectApplication(intArgc, charArgv);
    const QStringList qstringlistWanted = objectApplication.arguments().mid(1);

    QTextStream objectOut(stdout);
    objectOut << "machine: " << QSysInfo::prettyProductName() << ", " << QSysInfo::currentCpuArchitecture() << ", "
              << QThread::idealThreadCount() << " threads, Qt " << qVersion() << "\n";
    objectOut << QString("%1 %2 %3 %4 %5\n")
                     .arg("benchmark", -44)
                     .arg("measured", 14)
                     .arg("floor", 14)
                     .arg("ratio", 7)
                     .arg("goal", 7);

    bool boolAllMet = true;
    for (const Entry &objectEntry : entries()) {
        if (!qstringlistWanted.isEmpty() && !qstringlistWanted.contains(objectEntry.strName)) {
            continue;
        }
        for (const BenchResult &objectResult : objectEntry.functionBench()) {
            if (objectResult.floatFloor <= 0) {
                objectOut << QString("%1 %2\n")
                                 .arg(objectResult.strName, -44)
                                 .arg(figure(objectResult.floatMeasured) + " " + objectResult.strUnit, 14);
                objectOut.flush();
                continue;
            }
            const double floatRatio = objectResult.floatMeasured / objectResult.floatFloor;
            const bool boolMet = floatRatio <= objectResult.floatGoal;
            boolAllMet = boolAllMet && boolMet;
            objectOut << QString("%1 %2 %3 %4 %5 %6\n")
                             .arg(objectResult.strName, -44)
                             .arg(figure(objectResult.floatMeasured) + " " + objectResult.strUnit, 14)
                             .arg(figure(objectResult.floatFloor) + " " + objectResult.strUnit, 14)
                             .arg(QString::number(floatRatio, 'f', 2), 7)
                             .arg(QString::number(objectResult.floatGoal, 'f', 2), 7)
                             .arg(boolMet ? "met" : "MISSED");
            objectOut.flush();
        }
    }
    return boolAllMet ? EXIT_SUCCESS : EXIT_FAILURE;
}
