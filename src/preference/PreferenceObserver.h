#pragma once

#include <QVector>

// A registry of plain callbacks told that one kind of stored data has changed. Each kind has its own class,
// and with it its own singleton, through the tag type.
template <typename Domain> class PreferenceObserver {
public:
    static PreferenceObserver *objectSingleton;

public:
    QVector<void (*)()> qvectorObserver;
    bool boolEnabled = true;

public:
    static void init() {
        if (objectSingleton == nullptr) {
            objectSingleton = new PreferenceObserver();
        }
    }

    static PreferenceObserver *obtain() {
        init();

        return objectSingleton;
    }

    static void dispel() {
        if (objectSingleton != nullptr) {
            delete objectSingleton;
            objectSingleton = nullptr;
        }
    }

public:
    PreferenceObserver() = default;

    ~PreferenceObserver() {
        qvectorObserver.clear();
        boolEnabled = false;
    }

    PreferenceObserver(const PreferenceObserver &) = delete;
    PreferenceObserver &operator=(const PreferenceObserver &) = delete;

    void addObserver(void (*functionObserver)()) { qvectorObserver.append(functionObserver); }

    void deleteObserver(void (*functionObserver)()) {
        const int intIndex = qvectorObserver.indexOf(functionObserver);
        if (intIndex != -1) {
            qvectorObserver.remove(intIndex);
        }
    }

    void update() {
        if (!boolEnabled) {
            return;
        }

        // By position, re-reading the list after every call: a callback may add or remove entries while
        // the pass is under way.
        for (int intIndex = 0; intIndex < qvectorObserver.size(); intIndex += 1) {
            void (*functionObserver)() = qvectorObserver.at(intIndex);
            functionObserver();
        }
    }
};

template <typename Domain> PreferenceObserver<Domain> *PreferenceObserver<Domain>::objectSingleton = nullptr;
