#include "Bench.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QWebFrame>
#include <QWebPage>

#include <algorithm>

namespace {

const QString strBuild = TESSALOQUIN_BINARY_DIR;

QString readAsset(const QString &strRelative) {
    QFile objectFile(strBuild + "/assets/" + strRelative);
    return objectFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(objectFile.readAll()) : QString();
}

// Characters of all four kinds, from a fixed seed: the same "random" text in every run.
QString randomText(int intLength) {
    const QString strAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#$%&*+-=?@";
    quint32 intState = 20240521u + quint32(intLength);
    QString strText;
    for (int intIndex = 0; intIndex < intLength; intIndex += 1) {
        intState = intState * 1664525u + 1013904223u;
        strText.append(strAlphabet.at(int((intState >> 8) % quint32(strAlphabet.size()))));
    }
    return strText;
}

// The longest time one piece of the text holds the page, and the whole estimate, in nanoseconds.
QPair<double, double> timeEstimate(QWebFrame *objectFrame, const QString &strText) {
    // Through JSON, which quotes any text for a script.
    objectFrame->evaluateJavaScript(
        "var benchText = " + QJsonDocument(QJsonArray({strText})).toJson(QJsonDocument::Compact) + "[0];");
    const QVariantList qvariantlistTimes =
        objectFrame
            ->evaluateJavaScript(
                "(function() { var b = Estimate.pieces(benchText), m = [], t = [];"
                " for (var i = 0; i < b.length; i += 1) { var s = performance.now();"
                " m.push(Estimate.measure(benchFactory, benchText, b, i)); t.push(performance.now() - s); }"
                " Estimate.combine(m); return t; })()")
            .toList();
    double floatLongest = 0;
    double floatTotal = 0;
    for (const QVariant &variantTime : qvariantlistTimes) {
        floatLongest = std::max(floatLongest, variantTime.toDouble() * 1e6);
        floatTotal += variantTime.toDouble() * 1e6;
    }
    return {floatLongest, floatTotal};
}

} // namespace

// The master password's strength: loading the estimator into the page (never before the first screen), building
// it, and the longest time one estimate holds the page, which must stay under 100 ms for any input.
TESSALOQUIN_BENCH(strength) {
    QWebPage objectPage;
    QWebFrame *objectFrame = objectPage.mainFrame();
    // An empty page at the place of the real one; a local text loads at once.
    objectFrame->setHtml("<html><body></body></html>", QUrl::fromLocalFile(strBuild + "/assets/index.html"));

    QList<BenchResult> qlistResult;
    objectFrame->evaluateJavaScript(readAsset("js/estimate.js"));
    const QStringList qstringlistScript = objectFrame->evaluateJavaScript("Estimate.scripts('en')").toStringList();
    double floatLoad = 0;
    for (const QString &strScript : qstringlistScript) {
        const QString strSource = readAsset(strScript);
        QElapsedTimer objectTimer;
        objectTimer.start();
        objectFrame->evaluateJavaScript(strSource);
        floatLoad += double(objectTimer.nsecsElapsed());
    }
    qlistResult.append({"estimator: load its scripts (English)", floatLoad / 1e6, 0, 0, "ms"});
    QElapsedTimer objectTimer;
    objectTimer.start();
    objectFrame->evaluateJavaScript("var benchFactory = Estimate.create(zxcvbnts, 'en');");
    qlistResult.append({"estimator: build it (English)", double(objectTimer.nsecsElapsed()) / 1e6, 0, 0, "ms"});

    // Warm: the page has estimated before.
    timeEstimate(objectFrame, randomText(20));
    const QList<QPair<QString, QString>> qlistInput = {
        {"six-word passphrase", "cactus retired pebble outsider wobbly gauze"},
        {"Summer2024!", "Summer2024!"},
        {"10 random characters", randomText(10)},
        {"20 random characters", randomText(20)},
        {"32 random characters", randomText(32)},
        {"64 random characters", randomText(64)},
        {"256 random characters", randomText(256)},
        {"1000 random characters", randomText(1000)},
        {"1000 times a", QString(1000, 'a')},
    };
    double floatLongest = 0;
    for (const auto &qpairInput : qlistInput) {
        const QPair<double, double> qpairTime = timeEstimate(objectFrame, qpairInput.second);
        floatLongest = std::max(floatLongest, qpairTime.first);
        qlistResult.append({"estimate, whole: " + qpairInput.first, qpairTime.second / 1e6, 0, 0, "ms"});
    }
    // The budget, not a measured floor: no turn of the page's event loop may take longer.
    qlistResult.append({"estimate: longest hold of the page", floatLongest / 1e6, 100, 1.0, "ms"});

    return qlistResult;
}
