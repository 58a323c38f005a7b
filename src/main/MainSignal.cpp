#include "main/MainSignal.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

MainSignal *MainSignal::objectSingleton = nullptr;

namespace {

const int intSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The writing end, for the handler, which may read nothing else.
volatile sig_atomic_t intWriting = -1;

void forward(int intSignal) {
    const int intSaved = errno;
    const char charSignal = char(intSignal);
    if (write(intWriting, &charSignal, 1) != 1) {
        // Full: a signal is waiting in it already, and one is enough.
    }
    errno = intSaved;
}

void handle(void (*functionHandler)(int)) {
    struct sigaction objectAction = {};
    objectAction.sa_handler = functionHandler;
    sigemptyset(&objectAction.sa_mask);
    // Reads and writes the signal interrupts go on by themselves.
    objectAction.sa_flags = SA_RESTART;
    for (const int intSignal : intSignals) {
        sigaction(intSignal, &objectAction, nullptr);
    }
}

} // namespace

void MainSignal::init() {
    if (objectSingleton == nullptr) {
        objectSingleton = new MainSignal();
    }
}

MainSignal *MainSignal::obtain() {
    MainSignal::init();

    return objectSingleton;
}

void MainSignal::dispel() {
    if (objectSingleton != nullptr) {
        delete objectSingleton;
        objectSingleton = nullptr;
    }
}

MainSignal::MainSignal() : QObject(nullptr) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, intSocket) != 0) {
        qWarning("MainSignal: no socket pair; signals end the program at once");
        intSocket[0] = intSocket[1] = -1;
        return;
    }
    objectNotifier = new QSocketNotifier(intSocket[0], QSocketNotifier::Read, this);
    connect(objectNotifier, SIGNAL(activated(QSocketDescriptor)), this, SLOT(update()));
    intWriting = intSocket[1];
    handle(forward);
}

MainSignal::~MainSignal() {
    handle(SIG_DFL);
    intWriting = -1;
    for (const int intEnd : intSocket) {
        if (intEnd != -1) {
            close(intEnd);
        }
    }
}

void MainSignal::update() {
    char charSignal = 0;
    while (read(intSocket[0], &charSignal, 1) == 1) {
    }
    // Asked once; a second signal, should the ending hang, ends the process at once.
    handle(SIG_DFL);
    QApplication::closeAllWindows();
    // The program ends its run whether the window closed or kept unsaved input open (Main::end).
    emit received();
}
