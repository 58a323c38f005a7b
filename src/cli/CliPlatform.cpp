#include "cli/CliPlatform.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/kd.h>
#endif

namespace {

const int intSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

struct termios objectSaved;
int intPipe[2] = {-1, -1};

void restoreAndEnd(int intSignal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &objectSaved);
    signal(intSignal, SIG_DFL);
    raise(intSignal);
}

void forward(int intSignal) {
    const int intSaved = errno;
    const char charSignal = char(intSignal);
    if (write(intPipe[1], &charSignal, 1) != 1) {
        // The pipe does not block: a signal that finds it full has one waiting in it already.
    }
    errno = intSaved;
}

void install(void (*functionHandler)(int), struct sigaction *objectPrevious) {
    struct sigaction objectAction = {};
    objectAction.sa_handler = functionHandler;
    sigemptyset(&objectAction.sa_mask);
    for (int intIndex = 0; intIndex < 4; intIndex += 1) {
        sigaction(intSignals[intIndex], &objectAction, objectPrevious == nullptr ? nullptr : &objectPrevious[intIndex]);
    }
}

} // namespace

bool CliPlatform::isTerminal(int intDescriptor) {
    return isatty(intDescriptor) == 1;
}

bool CliPlatform::capsLock(int intDescriptor) {
#ifdef __linux__
    // Only the Linux console keeps the keyboard's lights where a program can read them.
    char charLights = 0;
    return ioctl(intDescriptor, KDGKBLED, &charLights) == 0 && (charLights & LED_CAP) != 0;
#else
    Q_UNUSED(intDescriptor);
    return false;
#endif
}

bool CliPlatform::readLine(bool boolHidden, int intLimit, QByteArray *byteLine) {
    byteLine->clear();
    struct sigaction objectPrevious[4];
    const bool boolQuiet = boolHidden && tcgetattr(STDIN_FILENO, &objectSaved) == 0;
    if (boolQuiet) {
        install(restoreAndEnd, objectPrevious);
        struct termios objectHidden = objectSaved;
        // The line end still shows, so that what follows starts on a line of its own.
        objectHidden.c_lflag &= tcflag_t(~ECHO);
        objectHidden.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &objectHidden);
    }

    bool boolRead = false;
    bool boolFailed = false;
    for (;;) {
        char charByte = 0;
        const ssize_t intCount = read(STDIN_FILENO, &charByte, 1);
        if (intCount < 0 && errno == EINTR) {
            continue;
        }
        if (intCount <= 0) {
            boolFailed = intCount < 0;
            break;
        }
        boolRead = true;
        if (charByte == '\n') {
            break;
        }
        if (byteLine->size() >= intLimit) {
            boolFailed = true;
            break;
        }
        byteLine->append(charByte);
    }

    if (boolQuiet) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &objectSaved);
        for (int intIndex = 0; intIndex < 4; intIndex += 1) {
            sigaction(intSignals[intIndex], &objectPrevious[intIndex], nullptr);
        }
    }
    if (byteLine->endsWith('\r')) {
        byteLine->chop(1);
    }
    return boolRead && !boolFailed;
}

int CliPlatform::watchSignals() {
    if (intPipe[0] == -1) {
        if (pipe(intPipe) != 0) {
            intPipe[0] = intPipe[1] = -1;
            return -1;
        }
        for (int intEnd : intPipe) {
            fcntl(intEnd, F_SETFL, fcntl(intEnd, F_GETFL) | O_NONBLOCK);
            fcntl(intEnd, F_SETFD, FD_CLOEXEC);
        }
    }
    install(forward, nullptr);
    return intPipe[0];
}

int CliPlatform::takeSignal(int intDescriptor) {
    char charSignal = 0;
    return read(intDescriptor, &charSignal, 1) == 1 ? int(charSignal) : 0;
}

void CliPlatform::endBySignal(int intSignal) {
    signal(intSignal, SIG_DFL);
    raise(intSignal);
    _exit(128 + intSignal);
}

bool CliPlatform::colourTerminal(bool *boolTrueColour) {
    const QByteArray byteTerm = qgetenv("TERM");
    *boolTrueColour = qgetenv("COLORTERM") == "truecolor" || qgetenv("COLORTERM") == "24bit";
    // NO_COLOR, when set to anything, asks every program for plain text.
    return isTerminal(STDERR_FILENO) && !byteTerm.isEmpty() && byteTerm != "dumb" && qgetenv("NO_COLOR").isEmpty();
}

bool CliPlatform::decodeUtf8(const QByteArray &byteText, QString *strText) {
    // The decoder puts U+FFFD in place of every fault; valid input alone comes back byte for byte.
    *strText = QString::fromUtf8(byteText);
    return strText->toUtf8() == byteText;
}
