#include "Bench.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>

namespace {

// A folder holding a copy of an executable and of the shipped page, whose first script reports to a local
// server that it runs, and whose last one that the page's own scripts have run (the first screen is ready).
bool prepareFolder(const QTemporaryDir &objectFolder, const QString &strExecutable, quint16 intPort) {
    const QString strBuild = TESSALOQUIN_BINARY_DIR;
    if (!QFile::copy(strExecutable, objectFolder.filePath("program"))) {
        return false;
    }
    QDir().mkpath(objectFolder.filePath("res"));
    QProcess::execute("cp", {"-r", strBuild + "/assets", objectFolder.path()});
    QProcess::execute(
        "sh",
        {"-c",
         QString("cp %1/res/language*.xml %2/res/ 2>/dev/null || true").arg(strBuild, objectFolder.filePath(""))});

    QFile objectPage(objectFolder.filePath("assets/index.html"));
    if (!objectPage.open(QIODevice::ReadOnly)) {
        return false;
    }
    QByteArray byteHtml = objectPage.readAll();
    objectPage.close();
    const QByteArray byteProbe =
        QString("<head><script>new Image().src = 'http://127.0.0.1:%1/started';</script>").arg(intPort).toUtf8();
    byteHtml.replace("<head>", byteProbe);
    byteHtml.replace(
        "</body>",
        QString("<script>new Image().src = 'http://127.0.0.1:%1/ready';</script></body>").arg(intPort).toUtf8());
    if (!objectPage.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    objectPage.write(byteHtml);
    return true;
}

qint64 residentKilobytes(qint64 intPid) {
    QFile objectStatus(QString("/proc/%1/status").arg(intPid));
    if (!objectStatus.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &byteLine : objectStatus.readAll().split('\n')) {
        if (byteLine.startsWith("VmRSS:")) {
            return byteLine.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    return 0;
}

struct Start {
    double floatNanoseconds = 0;
    double floatReadyNanoseconds = 0;
    double floatKilobytes = 0;
};

// One start: the time until the page's first script runs, and the resident memory once the page has settled.
Start measureStart(const QString &strExecutable) {
    QTcpServer objectServer;
    objectServer.listen(QHostAddress::LocalHost);
    QTemporaryDir objectFolder;
    Start objectStart;
    if (!prepareFolder(objectFolder, strExecutable, objectServer.serverPort())) {
        return objectStart;
    }

    QProcess objectProcess;
    objectProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer objectTimer;
    objectTimer.start();
    objectProcess.start(objectFolder.filePath("program"), QStringList());
    if (objectServer.waitForNewConnection(30000)) {
        objectStart.floatNanoseconds = double(objectTimer.nsecsElapsed());
        delete objectServer.nextPendingConnection();
    }
    if (objectServer.waitForNewConnection(30000)) {
        objectStart.floatReadyNanoseconds = double(objectTimer.nsecsElapsed());
        delete objectServer.nextPendingConnection();
    }
    QThread::msleep(1500);
    objectStart.floatKilobytes = double(residentKilobytes(objectProcess.processId()));
    objectProcess.kill();
    objectProcess.waitForFinished();
    return objectStart;
}

double median(QVector<double> qvectorValues) {
    std::sort(qvectorValues.begin(), qvectorValues.end());
    return qvectorValues.isEmpty() ? 0 : qvectorValues.at(qvectorValues.size() / 2);
}

} // namespace

TESSALOQUIN_BENCH(startup) {
    const QString strBuild = TESSALOQUIN_BINARY_DIR;
    QVector<double> qvectorProgramTime, qvectorBareTime, qvectorProgramMemory, qvectorBareMemory, qvectorReady;
    // Alternating, so that both see the same state of the machine.
    for (int intRound = 0; intRound < 7; intRound += 1) {
        const Start objectProgram = measureStart(strBuild + "/tessaloquin");
        const Start objectBare = measureStart(strBuild + "/bench/tessaloquin_bareview");
        qvectorProgramTime.append(objectProgram.floatNanoseconds);
        qvectorReady.append(objectProgram.floatReadyNanoseconds);
        qvectorBareTime.append(objectBare.floatNanoseconds);
        qvectorProgramMemory.append(objectProgram.floatKilobytes);
        qvectorBareMemory.append(objectBare.floatKilobytes);
    }
    return {
        {"start-up until the page's first script runs", median(qvectorProgramTime) / 1e6, median(qvectorBareTime) / 1e6,
         1.25, "ms"},
        {"start-up until the first screen is ready", median(qvectorReady) / 1e6, 0, 0, "ms"},
        {"resident memory after start", median(qvectorProgramMemory) / 1024, median(qvectorBareMemory) / 1024, 1.15,
         "MiB"},
    };
}
