#include "preference/PreferenceAccountObserver.h"
#include "preference/PreferenceAccountSelectedObserver.h"
#include "preference/PreferenceLanguageObserver.h"

#include <QString>
#include <QTest>

namespace {

QString strCalls;

void observerA() {
    strCalls += "a";
}
void observerB() {
    strCalls += "b";
}
void observerC() {
    strCalls += "c";
}

// Appends c during the pass.
void observerAppending() {
    strCalls += "+";
    if (strCalls.count('+') == 1) {
        PreferenceAccountObserver::obtain()->addObserver(observerC);
    }
}

// Removes itself, which moves the following entry onto its own position.
void observerRemovingItself() {
    strCalls += "-";
    PreferenceAccountObserver::obtain()->deleteObserver(observerRemovingItself);
}

void observerDisabling() {
    strCalls += "x";
    PreferenceAccountObserver::obtain()->boolEnabled = false;
}

} // namespace

class TestPreferenceObserver : public QObject {
    Q_OBJECT

private slots:
    void init() {
        strCalls.clear();
        PreferenceAccountObserver::dispel();
        PreferenceAccountSelectedObserver::dispel();
        PreferenceLanguageObserver::dispel();
    }

    void freshRegistryCallsNothing() {
        PreferenceAccountObserver *objectRegistry = PreferenceAccountObserver::obtain();
        QVERIFY(objectRegistry->boolEnabled);
        QVERIFY(objectRegistry->qvectorObserver.isEmpty());
        objectRegistry->update();
        QCOMPARE(strCalls, QString());
    }

    void callsInRegistrationOrderAndRemovesTheFirst() {
        PreferenceAccountObserver *objectRegistry = PreferenceAccountObserver::obtain();
        objectRegistry->addObserver(observerA);
        objectRegistry->addObserver(observerB);
        objectRegistry->addObserver(observerA);
        objectRegistry->update();
        QCOMPARE(strCalls, QString("aba"));

        objectRegistry->deleteObserver(observerA);
        strCalls.clear();
        objectRegistry->update();
        QCOMPARE(strCalls, QString("ba"));

        objectRegistry->deleteObserver(observerC); // never registered: ignored
        strCalls.clear();
        objectRegistry->update();
        QCOMPARE(strCalls, QString("ba"));
    }

    void switchedOffCallsNothingUntilSwitchedOn() {
        PreferenceAccountObserver *objectRegistry = PreferenceAccountObserver::obtain();
        objectRegistry->addObserver(observerA);
        objectRegistry->boolEnabled = false;
        objectRegistry->update();
        QCOMPARE(strCalls, QString());
        objectRegistry->boolEnabled = true;
        objectRegistry->update();
        QCOMPARE(strCalls, QString("a"));
    }

    void changesDuringAPass() {
        PreferenceAccountObserver *objectRegistry = PreferenceAccountObserver::obtain();
        objectRegistry->addObserver(observerAppending);
        objectRegistry->update();
        QCOMPARE(strCalls, QString("+c"));

        PreferenceAccountObserver::dispel();
        strCalls.clear();
        objectRegistry = PreferenceAccountObserver::obtain();
        objectRegistry->addObserver(observerRemovingItself);
        objectRegistry->addObserver(observerA);
        objectRegistry->addObserver(observerB);
        objectRegistry->update();
        QCOMPARE(strCalls, QString("-b"));

        PreferenceAccountObserver::dispel();
        strCalls.clear();
        objectRegistry = PreferenceAccountObserver::obtain();
        objectRegistry->addObserver(observerDisabling);
        objectRegistry->addObserver(observerA);
        objectRegistry->update();
        QCOMPARE(strCalls, QString("xa"));
        objectRegistry->update();
        QCOMPARE(strCalls, QString("xa"));
    }

    void lifecycle() {
        PreferenceAccountObserver *objectFirst = PreferenceAccountObserver::obtain();
        QCOMPARE(PreferenceAccountObserver::obtain(), objectFirst);
        objectFirst->addObserver(observerA);
        PreferenceAccountObserver::init();
        QCOMPARE(PreferenceAccountObserver::objectSingleton, objectFirst);
        QCOMPARE(objectFirst->qvectorObserver.size(), 1);

        objectFirst->boolEnabled = false;
        PreferenceAccountObserver::dispel();
        QVERIFY(PreferenceAccountObserver::objectSingleton == nullptr);
        PreferenceAccountObserver::dispel();
        PreferenceAccountObserver *objectSecond = PreferenceAccountObserver::obtain();
        QVERIFY(objectSecond->qvectorObserver.isEmpty());
        QVERIFY(objectSecond->boolEnabled);
    }

    void registriesAreIndependent() {
        PreferenceAccountObserver::obtain()->addObserver(observerA);
        PreferenceAccountSelectedObserver::obtain()->addObserver(observerB);
        PreferenceLanguageObserver::obtain()->addObserver(observerC);
        PreferenceAccountSelectedObserver::obtain()->boolEnabled = false;

        PreferenceAccountObserver::obtain()->update();
        PreferenceAccountSelectedObserver::obtain()->update();
        PreferenceLanguageObserver::obtain()->update();
        QCOMPARE(strCalls, QString("ac"));
        QVERIFY(PreferenceAccountObserver::obtain()->boolEnabled);
        QVERIFY(PreferenceLanguageObserver::obtain()->boolEnabled);
        QVERIFY(static_cast<void *>(PreferenceAccountObserver::obtain()) !=
                static_cast<void *>(PreferenceLanguageObserver::obtain()));
    }
};

QTEST_APPLESS_MAIN(TestPreferenceObserver)
#include "test_preferenceobserver.moc"
