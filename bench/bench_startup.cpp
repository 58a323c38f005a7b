#include "Bench.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <QSet>

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace {

// A folder holding a copy of a build's executable and of its shipped page, whose first script reports to a local
// server that it runs, and whose last one, once the page has loaded, how long one bridge call takes.
bool prepareFolder(const QTemporaryDir &objectFolder, const QString &strBuild, quint16 intPort) {
    if (!QFile::copy(strBuild + "/tessaloquin", objectFolder.filePath("program"))) {
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
    const QString strServer = QString("http://127.0.0.1:%1/").arg(intPort);
    byteHtml.replace(
        "<head>",
        QString("<head><script>new Image().src = '%1started/' + Date.now();</script>").arg(strServer).toUtf8());
    // The cheapest slot, in rounds of 20 ms each (the engines' clocks are too coarse for one call): what crossing
    // to the program costs, nothing else. The median round's time per call, in nanoseconds.
    // It waits until the memory has been read, so that its garbage does not count there.
    byteHtml.replace("</body>", QString("<script>window.setTimeout(function() {"
                                        " if (!window.jsGeneral) { return; } var a = [];"
                                        " for (var r = 0; r < 9; r += 1) { var s = performance.now(), t = s, n = 0;"
                                        " while (t - s < 20) { jsGeneral.getVersion(); n += 1; t = performance.now(); }"
                                        " a.push((t - s) / n); }"
                                        " a.sort(function(x, y) { return x - y; });"
                                        " new Image().src = '%1bridge/' + Math.round(a[4] * 1e6); }, 2500);"
                                        "</script></body>")
                                    .arg(strServer)
                                    .toUtf8());
    if (!objectPage.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    objectPage.write(byteHtml);
    return true;
}

// A process and every process it started, such as a web engine's zygotes and renderers.
QList<qint64> processTree(qint64 intPid) {
    QList<qint64> qlistPid = {intPid};
    for (const QString &strEntry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile objectStat("/proc/" + strEntry + "/stat");
        if (strEntry.toLongLong() > 0 && objectStat.open(QIODevice::ReadOnly)) {
            // The parent is the second field after the command, which stands in parentheses.
            const QByteArray byteStat = objectStat.readAll();
            const QList<QByteArray> qlistField = byteStat.mid(byteStat.lastIndexOf(')') + 2).split(' ');
            if (qlistField.size() > 1 && qlistField.at(1).toLongLong() > 0) {
                qlistPid.append(strEntry.toLongLong());
                qlistPid.append(-qlistField.at(1).toLongLong());
            }
        }
    }
    // Pairs of child and negated parent, walked until no more descendants turn up.
    QList<qint64> qlistTree = {intPid};
    for (bool boolGrown = true; boolGrown;) {
        boolGrown = false;
        for (int intIndex = 1; intIndex + 1 < qlistPid.size(); intIndex += 2) {
            if (qlistTree.contains(-qlistPid.at(intIndex + 1)) && !qlistTree.contains(qlistPid.at(intIndex))) {
                qlistTree.append(qlistPid.at(intIndex));
                boolGrown = true;
            }
        }
    }
    return qlistTree;
}

// The resident memory of the processes, added up per process: a page that several of them share, such as one of
// a library all of them load, counts once for each.
qint64 residentKilobytes(const QList<qint64> &qlistTree) {
    qint64 intTotal = 0;
    for (const qint64 intMember : qlistTree) {
        QFile objectStatus(QString("/proc/%1/status").arg(intMember));
        if (!objectStatus.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray &byteLine : objectStatus.readAll().split('\n')) {
            if (byteLine.startsWith("VmRSS:")) {
                intTotal += byteLine.mid(6).trimmed().split(' ').first().toLongLong();
            }
        }
    }
    return intTotal;
}

// The memory the processes hold together: every resident page counted once, however many of them map it, as the
// kernel's page map tells (readable by root only; 0 when it cannot be read).
qint64 distinctKilobytes(const QList<qint64> &qlistTree) {
    QSet<quint64> qsetFrame;
    for (const qint64 intMember : qlistTree) {
        QFile objectMaps(QString("/proc/%1/maps").arg(intMember));
        QFile objectPagemap(QString("/proc/%1/pagemap").arg(intMember));
        if (!objectMaps.open(QIODevice::ReadOnly) || !objectPagemap.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray &byteLine : objectMaps.readAll().split('\n')) {
            const QList<QByteArray> qlistRange = byteLine.split(' ').first().split('-');
            bool boolStart = false, boolEnd = false;
            const quint64 intStart = qlistRange.value(0).toULongLong(&boolStart, 16) / 4096;
            const quint64 intEnd = qlistRange.value(1).toULongLong(&boolEnd, 16) / 4096;
            // One entry of 8 bytes per page: bit 63 says resident, bits 0-54 the physical frame.
            if (!boolStart || !boolEnd || !objectPagemap.seek(qint64(intStart * 8))) {
                continue;
            }
            const QByteArray byteEntries = objectPagemap.read(qint64((intEnd - intStart) * 8));
            for (int intOffset = 0; intOffset + 8 <= byteEntries.size(); intOffset += 8) {
                quint64 intEntry = 0;
                std::memcpy(&intEntry, byteEntries.constData() + intOffset, 8);
                const quint64 intFrame = intEntry & ((quint64(1) << 55) - 1);
                if ((intEntry >> 63) != 0 && intFrame != 0) {
                    qsetFrame.insert(intFrame);
                }
            }
        }
    }
    return qint64(qsetFrame.size()) * 4;
}

struct Start {
    double floatNanoseconds = 0;
    double floatKilobytes = 0;
    double floatResidentKilobytes = 0;
    double floatBridgeNanoseconds = 0;
};

// The path of the next report to the server, or an empty text when none came within intMilliseconds.
QByteArray nextReport(QTcpServer &objectServer, int intMilliseconds) {
    if (!objectServer.hasPendingConnections() && !objectServer.waitForNewConnection(intMilliseconds)) {
        return QByteArray();
    }
    QTcpSocket *objectSocket = objectServer.nextPendingConnection();
    objectSocket->waitForReadyRead(2000);
    const QByteArray byteLine = objectSocket->readLine();
    delete objectSocket;
    return byteLine.split(' ').value(1);
}

// One start: the time until the page's first script runs, the memory of all the program's processes once the page
// has settled, and the median bridge call.
Start measureStart(const QString &strBuild, const QString &strExecutable) {
    QTcpServer objectServer;
    objectServer.listen(QHostAddress::LocalHost);
    QTemporaryDir objectFolder;
    Start objectStart;
    if (!prepareFolder(objectFolder, strBuild, objectServer.serverPort())) {
        return objectStart;
    }
    QFile::remove(objectFolder.filePath("program"));
    QFile::copy(strExecutable, objectFolder.filePath("program"));

    QProcess objectProcess;
    objectProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment objectEnvironment = QProcessEnvironment::systemEnvironment();
    // Chromium refuses its sandbox to root; a benchmark run as root has to do without it.
    if (geteuid() == 0) {
        objectEnvironment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    // What the benchmark's own window set up for itself: the program sets it for itself, the bare view not.
    objectEnvironment.remove("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY");
    objectProcess.setProcessEnvironment(objectEnvironment);
    QElapsedTimer objectTimer;
    objectTimer.start();
    const qint64 intLaunched = QDateTime::currentMSecsSinceEpoch();
    objectProcess.start(objectFolder.filePath("program"), QStringList());
    // The script says when it ran, by the clock both sides read: how long its report then takes to arrive (on
    // Qt WebEngine it passes the program's request filter, busy with the rest of the page) does not count.
    const QByteArray byteStarted = nextReport(objectServer, 30000);
    if (byteStarted.startsWith("/started/")) {
        objectStart.floatNanoseconds = double(byteStarted.mid(9).toLongLong() - intLaunched) * 1e6;
    }
    QThread::msleep(qMax<qint64>(0, 1500 - objectTimer.elapsed() + qint64(objectStart.floatNanoseconds / 1e6)));
    const QList<qint64> qlistTree = processTree(objectProcess.processId());
    objectStart.floatResidentKilobytes = double(residentKilobytes(qlistTree));
    objectStart.floatKilobytes = double(distinctKilobytes(qlistTree));
    if (objectStart.floatKilobytes == 0) {
        objectStart.floatKilobytes = objectStart.floatResidentKilobytes;
    }
    // A bare view has no bridge and sends nothing more.
    QElapsedTimer objectWait;
    objectWait.start();
    while (!strExecutable.endsWith("bareview") && objectWait.elapsed() < 8000) {
        const QByteArray byteReport = nextReport(objectServer, int(8000 - objectWait.elapsed()));
        if (byteReport.startsWith("/bridge/")) {
            objectStart.floatBridgeNanoseconds = byteReport.mid(8).toDouble();
            break;
        }
    }
    objectProcess.kill();
    objectProcess.waitForFinished();
    return objectStart;
}

double median(QVector<double> qvectorValues) {
    std::sort(qvectorValues.begin(), qvectorValues.end());
    return qvectorValues.isEmpty() ? 0 : qvectorValues.at(qvectorValues.size() / 2);
}

struct Starts {
    QVector<double> qvectorTime, qvectorMemory, qvectorResident, qvectorBridge;
    void append(const Start &objectStart) {
        qvectorTime.append(objectStart.floatNanoseconds);
        qvectorMemory.append(objectStart.floatKilobytes);
        qvectorResident.append(objectStart.floatResidentKilobytes);
        qvectorBridge.append(objectStart.floatBridgeNanoseconds);
    }
};

} // namespace

TESSALOQUIN_BENCH(startup) {
    const QString strBuild = TESSALOQUIN_BINARY_DIR;
    // A QtWebKit build folder to hold this build against, when this one runs another engine.
    const QString strOther = qEnvironmentVariable("TESSALOQUIN_BENCH_WEBKIT");
    Starts objectProgram, objectBare, objectOther;
    // Alternating, so that all see the same state of the machine.
    for (int intRound = 0; intRound < 7; intRound += 1) {
        objectProgram.append(measureStart(strBuild, strBuild + "/tessaloquin"));
        objectBare.append(measureStart(strBuild, strBuild + "/bench/tessaloquin_bareview"));
        if (!strOther.isEmpty()) {
            objectOther.append(measureStart(strOther, strOther + "/tessaloquin"));
        }
    }
    const double floatOtherTime = median(objectOther.qvectorTime) / 1e6;
    const double floatOtherMemory = median(objectOther.qvectorMemory) / 1024;
    QList<BenchResult> qlistResult = {
        {"start-up until the page's first script runs", median(objectProgram.qvectorTime) / 1e6,
         median(objectBare.qvectorTime) / 1e6, 1.25, "ms", floatOtherTime},
        {"memory of all processes after start", median(objectProgram.qvectorMemory) / 1024,
         median(objectBare.qvectorMemory) / 1024, 1.15, "MiB", floatOtherMemory},
        {"the same, shared pages once per process", median(objectProgram.qvectorResident) / 1024, 0, 0, "MiB",
         median(objectOther.qvectorResident) / 1024},
        {"one bridge call", median(objectProgram.qvectorBridge) / 1e3, 0, 0, "us",
         median(objectOther.qvectorBridge) / 1e3},
    };
    if (!strOther.isEmpty()) {
        qlistResult += {
            {"start-up, this engine against QtWebKit", median(objectProgram.qvectorTime) / 1e6, floatOtherTime, 2,
             "ms"},
            {"memory, this engine against QtWebKit", median(objectProgram.qvectorMemory) / 1024, floatOtherMemory, 3,
             "MiB"},
            {"one bridge call against a 250 us bound", median(objectProgram.qvectorBridge) / 1e3, 250, 1, "us"},
        };
    }
    return qlistResult;
}
