#include "Bench.h"

#include "password/Password.h"

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

// The time of one derivation, for information: it runs once per click, far below anything a user notices, so
// it has no goal. The fastest of several rounds, since other work on a shared machine can only add time.
BenchResult measure(const Input &objectInput) {
    Password *objectPassword = Password::obtain();
    int intSink = 0;
    const auto functionUpdate = [&]() {
        intSink += objectPassword
                       ->update(objectInput.strMasterpassword, objectInput.strWebsite, objectInput.strMail,
                                objectInput.intLength, objectInput.strSpecial)
                       .size();
    };

    double floatMeasured = 0;
    for (int intRound = 0; intRound < 21; intRound += 1) {
        const double floatRound = benchMedianNanoseconds(functionUpdate, 4000, 1);
        floatMeasured = intRound == 0 ? floatRound : std::min(floatMeasured, floatRound);
    }
    if (intSink == 0) {
        qFatal("nothing derived");
    }
    return {QString("Password::update, ") + objectInput.strName, floatMeasured, 0, 0, "ns"};
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
