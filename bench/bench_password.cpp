#include "Bench.h"

#include "password/Password.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <algorithm>

namespace {

struct Input {
    const char *strName;
    QString strMasterpassword;
    QString strWebsite;
    QString strMail;
    int intLength;
    QString strSpecial;
};

// The derivation against its own core, the SHA-1 and Base64 of the same joined input, already encoded.
BenchResult measure(const Input &objectInput) {
    Password *objectPassword = Password::obtain();
    int intSink = 0;
    const QByteArray byteJoined =
        (objectInput.strMasterpassword + objectInput.strWebsite + objectInput.strMail).toUtf8();

    const auto functionUpdate = [&]() {
        intSink += objectPassword
                       ->update(objectInput.strMasterpassword, objectInput.strWebsite, objectInput.strMail,
                                objectInput.intLength, objectInput.strSpecial)
                       .size();
    };
    const auto functionFloor = [&]() {
        intSink += QCryptographicHash::hash(byteJoined, QCryptographicHash::Sha1).toBase64().size();
    };

    // Short rounds of each in turn, so that both see the same machine; the fastest round of each, since other
    // work on a shared machine can only add time.
    double floatMeasured = 0;
    double floatFloor = 0;
    for (int intRound = 0; intRound < 61; intRound += 1) {
        const double floatRoundMeasured = benchMedianNanoseconds(functionUpdate, 4000, 1);
        const double floatRoundFloor = benchMedianNanoseconds(functionFloor, 4000, 1);
        floatMeasured = intRound == 0 ? floatRoundMeasured : std::min(floatMeasured, floatRoundMeasured);
        floatFloor = intRound == 0 ? floatRoundFloor : std::min(floatFloor, floatRoundFloor);
    }
    if (intSink == 0) {
        qFatal("nothing derived");
    }
    return {QString("Password::update, ") + objectInput.strName, floatMeasured, floatFloor, 1.5, "ns"};
}

} // namespace

TESSALOQUIN_BENCH(password) {
    const Input objectTypical = {
        "typical account", "correct horse battery staple", "example.com", "someone@example.com", 16, "!?@#"};
    const Input objectWide = {"non-ASCII, whole length",
                              QString::fromUtf8("pässwörd für alle Konten"),
                              QString::fromUtf8("例子.中国"),
                              QString::fromUtf8("jürgen@example.de"),
                              -1,
                              "#"};
    return {measure(objectTypical), measure(objectWide)};
}
