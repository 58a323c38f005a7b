#include "cli/CliClipboard.h"

#include "cli/CliPlatform.h"
#include "main/MainPlatform.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString &strText) {
    std::fputs(strText.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

bool CliClipboard::available(QString *strError) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        *strError = "--copy needs a graphical session (DISPLAY is not set); without --copy the password is printed";
        return false;
    }
    return true;
}

CliClipboard::CliClipboard() {
    objectTimer.setInterval(1000);
    objectTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&objectTimer, &QTimer::timeout, [this]() { tick(); });
    objectDeadline.setSingleShot(true);
    objectDeadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&objectDeadline, &QTimer::timeout, [this]() { expire(); });
}

CliClipboard::~CliClipboard() {
    delete objectNotifier;
    strSecret.fill(QChar(0));
}

int CliClipboard::run(const QString &strPassword) {
    strSecret = strPassword;
    boolTerminal = CliPlatform::isTerminal(STDERR_FILENO);

    const int intDescriptor = CliPlatform::watchSignals();
    if (intDescriptor != -1) {
        objectNotifier = new QSocketNotifier(intDescriptor, QSocketNotifier::Read);
        QObject::connect(objectNotifier, &QSocketNotifier::activated, [this]() { interrupt(); });
    }

    // Marked as the program marks its copies, so that clipboard histories keep none of it.
    MainPlatform::copySecret(strSecret);

    objectElapsed.start();
    objectTimer.start();
    objectDeadline.start(intSeconds * 1000);
    if (!boolTerminal) {
        say(QString("Copied. The clipboard is cleared in %1 s.\n").arg(intSeconds));
    }
    tick();
    return QCoreApplication::exec();
}

void CliClipboard::tick() {
    const qint64 intLeft = qint64(intSeconds) * 1000 - objectElapsed.elapsed();
    if (boolTerminal && intLeft > 0) {
        // One line, rewritten in place.
        say(QString("\rCopied. The clipboard is cleared in %1 s. ").arg((intLeft + 999) / 1000));
    }
}

void CliClipboard::expire() {
    finish();
    QCoreApplication::exit(0);
}

void CliClipboard::interrupt() {
    intSignal = CliPlatform::takeSignal(int(objectNotifier->socket()));
    if (intSignal == 0) {
        return;
    }
    finish();
    CliPlatform::endBySignal(intSignal);
}

void CliClipboard::finish() {
    objectTimer.stop();
    objectDeadline.stop();
    if (boolTerminal) {
        say("\r\x1b[K");
    }
    QClipboard *objectClipboard = QGuiApplication::clipboard();
    // As on the page: whatever the user copied since stays.
    if (objectClipboard->text(QClipboard::Clipboard) != strSecret) {
        say("The clipboard holds something else now, so it was left alone.\n");
        return;
    }
    // Given up, so that nothing is handed to a clipboard manager at exit; taken over empty when a manager has
    // taken the password over meanwhile.
    if (objectClipboard->ownsClipboard()) {
        objectClipboard->clear(QClipboard::Clipboard);
    } else {
        objectClipboard->setText(QString(), QClipboard::Clipboard);
    }
    // The change reaches the display server before the process may end.
    QCoreApplication::processEvents();
    say("The clipboard was cleared.\n");
}
