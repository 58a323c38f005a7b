#include "Bench.h"

#include "display/Display.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

const int intNameWidth = 44;

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

QHash<QString, double> benchElsewhere(const QString &strBuild, const QString &strName) {
    QHash<QString, double> qhashMeasured;
    if (strBuild.isEmpty()) {
        return qhashMeasured;
    }
    QProcess objectProcess;
    QProcessEnvironment objectEnvironment = QProcessEnvironment::systemEnvironment();
    objectEnvironment.remove("TESSALOQUIN_BENCH_WEBKIT");
    objectProcess.setProcessEnvironment(objectEnvironment);
    objectProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    objectProcess.start(strBuild + "/bench/tessaloquin_bench", {strName});
    objectProcess.waitForFinished(600000);
    // The table's rows: the name in its column, then the figure and its unit.
    for (const QByteArray &byteLine : objectProcess.readAllStandardOutput().split('\n')) {
        const QString strLine = QString::fromUtf8(byteLine);
        bool boolNumber = false;
        const double floatMeasured = strLine.mid(intNameWidth).simplified().section(' ', 0, 0).toDouble(&boolNumber);
        if (boolNumber) {
            qhashMeasured.insert(strLine.left(intNameWidth).trimmed(), floatMeasured);
        }
    }
    return qhashMeasured;
}

// Usage: tessaloquin_bench [name...]   (no name: every benchmark)
int main(int intArgc, char **charArgv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The page benchmarks run the program's window in this process: its engine is set up as the program sets
    // it up, except that Chromium refuses its sandbox to root, as which a benchmark may run.
    Display::prepare();
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QApplication objectApplication(intArgc, charArgv);
    const QStringList qstringlistWanted = objectApplication.arguments().mid(1);

    QTextStream objectOut(stdout);
    objectOut << "machine: " << QSysInfo::prettyProductName() << ", " << QSysInfo::currentCpuArchitecture() << ", "
              << QThread::idealThreadCount() << " threads, Qt " << qVersion() << "\n";
    objectOut << QString("%1 %2 %3 %4 %5 %6 %7\n")
                     .arg("benchmark", -intNameWidth)
                     .arg("measured", 14)
                     .arg("floor/bound", 14)
                     .arg("ratio", 7)
                     .arg("goal", 7)
                     .arg("", 6)
                     .arg("QtWebKit", 14);

    bool boolAllMet = true;
    for (const Entry &objectEntry : entries()) {
        if (!qstringlistWanted.isEmpty() && !qstringlistWanted.contains(objectEntry.strName)) {
            continue;
        }
        for (const BenchResult &objectResult : objectEntry.functionBench()) {
            const QString strWebkit =
                objectResult.floatWebkit > 0 ? figure(objectResult.floatWebkit) + " " + objectResult.strUnit : "";
            QString strLine = QString("%1 %2")
                                  .arg(objectResult.strName, -intNameWidth)
                                  .arg(figure(objectResult.floatMeasured) + " " + objectResult.strUnit, 14);
            if (objectResult.floatFloor <= 0) {
                strLine += QString(" %1 %2").arg("", 36).arg(strWebkit, 14);
            } else {
                const double floatRatio = objectResult.floatMeasured / objectResult.floatFloor;
                const bool boolMet = floatRatio <= objectResult.floatGoal;
                boolAllMet = boolAllMet && boolMet;
                strLine += QString(" %1 %2 %3 %4 %5")
                               .arg(figure(objectResult.floatFloor) + " " + objectResult.strUnit, 14)
                               .arg(QString::number(floatRatio, 'f', 2), 7)
                               .arg(QString::number(objectResult.floatGoal, 'f', 2), 7)
                               .arg(boolMet ? "met" : "MISSED", 6)
                               .arg(strWebkit, 14);
            }
            objectOut << strLine.trimmed() << "\n";
            objectOut.flush();
        }
    }
    return boolAllMet ? EXIT_SUCCESS : EXIT_FAILURE;
}
