#include "display/webkit/DisplayPage.h"

#include "display/DisplayAddress.h"
#include "display/DisplayEngine.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QNetworkRequest>
#include <QUrl>
#include <QWebFrame>

#include <memory>

DisplayPage::DisplayPage(DisplayEngine *objectEngine, QObject *objectParent)
    : QWebPage(objectParent), objectEngine(objectEngine) {}

bool DisplayPage::acceptNavigationRequest(QWebFrame *objectFrame, const QNetworkRequest &objectRequest,
                                          QWebPage::NavigationType enumType) {
    // A frame inside the page shows only the page's own documents: anything else could reach the bridge objects
    // through its parent. A request for a new window has no frame and is refused, as no window is ever made
    // for it.
    if (!objectEngine->boolGuarded) {
        return QWebPage::acceptNavigationRequest(objectFrame, objectRequest, enumType);
    }
    if (objectFrame != nullptr && objectFrame != mainFrame()) {
        return DisplayAddress::isShippedDocument(objectRequest.url(), QCoreApplication::applicationDirPath()) &&
               QWebPage::acceptNavigationRequest(objectFrame, objectRequest, enumType);
    }
    return objectFrame != nullptr &&
           DisplayAddress::isShippedPage(objectRequest.url(), QCoreApplication::applicationDirPath());
}

bool DisplayPage::event(QEvent *objectEvent) {
    const QEvent::Type enumType = objectEvent->type();
    if (!objectEngine->boolGuarded ||
        (enumType != QEvent::DragEnter && enumType != QEvent::DragMove && enumType != QEvent::Drop)) {
        return QWebPage::event(objectEvent);
    }

    // The engine sees only the dragged text: it can go into a field of the page, while a dragged URL, file or
    // markup never reaches it. Answers the engine gives the copy are handed back to the real event.
    QDropEvent *objectDrop = static_cast<QDropEvent *>(objectEvent);
    if (!objectDrop->mimeData()->hasText()) {
        objectDrop->setDropAction(Qt::IgnoreAction);
        objectDrop->ignore();
        return true;
    }
    QMimeData objectText;
    objectText.setText(objectDrop->mimeData()->text());

    std::unique_ptr<QDropEvent> objectCopy;
    if (enumType == QEvent::DragEnter) {
        objectCopy.reset(new QDragEnterEvent(objectDrop->pos(), objectDrop->possibleActions(), &objectText,
                                             objectDrop->mouseButtons(), objectDrop->keyboardModifiers()));
    } else if (enumType == QEvent::DragMove) {
        objectCopy.reset(new QDragMoveEvent(objectDrop->pos(), objectDrop->possibleActions(), &objectText,
                                            objectDrop->mouseButtons(), objectDrop->keyboardModifiers()));
    } else {
        objectCopy.reset(new QDropEvent(objectDrop->posF(), objectDrop->possibleActions(), &objectText,
                                        objectDrop->mouseButtons(), objectDrop->keyboardModifiers()));
    }
    const bool boolHandled = QWebPage::event(objectCopy.get());
    objectDrop->setDropAction(objectCopy->dropAction());
    objectDrop->setAccepted(objectCopy->isAccepted());
    return boolHandled;
}

void DisplayPage::javaScriptConsoleMessage(const QString &strMessage, int intLine, const QString &strSource) {
    emit objectEngine->console(QString("%1:%2: %3").arg(strSource).arg(intLine).arg(strMessage));
}
