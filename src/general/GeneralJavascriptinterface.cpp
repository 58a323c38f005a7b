#include "general/GeneralJavascriptinterface.h"

#include "main/MainPlatform.h"

#include <QByteArray>
#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

QString GeneralJavascriptinterface::getName() {
    return QCoreApplication::applicationName();
}

QString GeneralJavascriptinterface::getVersion() {
    return QCoreApplication::applicationVersion();
}

QString GeneralJavascriptinterface::getHttp(QString strLink) {
    QString strResult;

    // A manager of its own: the window's manager rewrites asset addresses, which must not apply here.
    // The reply is its child and goes with it when the call returns.
    QNetworkAccessManager objectManager;
    QNetworkRequest objectRequest(QUrl(strLink, QUrl::TolerantMode));
    // The body as it is sent, never unpacked: Qt would unpack a compressed answer before the bound below could
    // count it, and a few megabytes unpack to gigabytes. Asked for explicitly, Qt unpacks nothing, even when a
    // server compresses all the same.
    objectRequest.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply *objectReply = objectManager.get(objectRequest);
    // What Qt holds beside what was read: the socket waits while this much is unread.
    objectReply->setReadBufferSize(1024 * 1024);

    // The body is taken as it arrives and no further than the bound: an endless answer or file:///dev/zero
    // ends the wait there instead of filling the memory.
    const int intBound = 32 * 1024 * 1024;
    QByteArray byteBody;
    QEventLoop objectLoop;
    const auto readBody = [objectReply, &byteBody, &objectLoop, intBound]() {
        while (byteBody.size() < intBound) {
            const QByteArray byteChunk = objectReply->read(intBound - byteBody.size());
            if (byteChunk.isEmpty()) {
                break;
            }
            byteBody.append(byteChunk);
        }
        if (byteBody.size() >= intBound && !objectReply->isFinished()) {
            objectReply->abort();
            objectLoop.quit();
        }
    };

    // Until the reply has finished (a failed connection finishes too), the bound is reached or 5000 ms have
    // passed. A reply that is already done would never signal again, and a quit() before exec() is
    // forgotten, so the loop only runs for a reply still under way. The timer belongs to this call: nothing
    // of it outlives the return, and every call, a nested one from the page included, waits on its own loop.
    // A call made while another one waits (from a timer of the page) ends no later than that one's limit: the
    // waiting call cannot return before it.
    static QDeadlineTimer objectEnclosing(QDeadlineTimer::Forever);
    const QDeadlineTimer objectOuter = objectEnclosing;
    objectEnclosing = qMin(objectOuter, QDeadlineTimer(5000, Qt::PreciseTimer));
    if (!objectReply->isFinished()) {
        QTimer objectTimer;
        objectTimer.setSingleShot(true);
        objectTimer.setTimerType(Qt::PreciseTimer); // a coarse timer may give up 5% early
        connect(objectReply, &QNetworkReply::readyRead, &objectLoop, readBody);
        connect(objectReply, SIGNAL(finished()), &objectLoop, SLOT(quit()));
        connect(&objectTimer, SIGNAL(timeout()), &objectLoop, SLOT(quit()));
        objectTimer.start(int(objectEnclosing.remainingTime()));
        objectLoop.exec();
    }
    objectEnclosing = objectOuter;
    readBody();
    // Nothing more of it is waited for, nor received meanwhile, once the call has its answer.
    if (!objectReply->isFinished()) {
        objectReply->abort();
    }

    // Whatever status came back, the body is the answer; a zero byte ends the text.
    const int intEnd = byteBody.indexOf('\0');
    strResult = QString::fromUtf8(byteBody.constData(), intEnd == -1 ? byteBody.size() : intEnd);

    return strResult;
}

void GeneralJavascriptinterface::openHttp(QString strLink) {
    MainPlatform::openUrl(QUrl(strLink, QUrl::TolerantMode));
}

QString GeneralJavascriptinterface::getClipboard() {
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

void GeneralJavascriptinterface::setClipboard(QString strClipboard) {
    // Marked, so that no clipboard history keeps a password or an account.
    MainPlatform::copySecret(strClipboard);
}
